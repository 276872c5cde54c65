// An in-process server on loopback ports chosen by the system, with the game
// rules installed, a level named "arena" and its characters, and raw wire
// peers that join it.
#pragma once
#include "../game/game_fixture.h"
#include "core/game_settings.h"
#include "game/net_rules.h"
#include "wire_peer.h"

#include <memory>

class NetServerTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    std::filesystem::create_directories(dir / "data/maps/arena");
    level = std::make_unique<TLevel>("arena", false);
    MakeCharacters();
    Characters = characters.get();
    NetRuleHooks = {};
    NetRuleHooks.Settings = &settings;
    InstallNetRules(*Network);
    Network->OnError = [this](const std::string& m, const std::string&) { errors.push_back(m); };
  }
  void TearDown() override {
    peers.clear();
    Network->Close();
    Characters = nullptr;
    NetRuleHooks = {};
    GameTest::TearDown();
  }

  void Serve(int32_t maxPlayers = 8, uint32_t stallMs = 10000) {
    Network->StallMs = stallMs;
    ASSERT_TRUE(Network->StartServer(maxPlayers, 0, 0, 1000, false, "Arena Server"));
  }
  uint16_t TCPPort() const { return static_cast<uint16_t>(Network->Server->TCPPort); }
  uint16_t UDPPort() const { return static_cast<uint16_t>(Network->Server->UDPPort); }

  void Poll() { Network->Poll(); }
  bool PollUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    return Until([this] {
      Poll();
      for (auto& p : peers) p->Drain();
    }, done, timeoutMs);
  }

  // A peer that has connected and been told the level (message 2).
  TWirePeer& Connect(int receiveBuffer = 0) {
    peers.push_back(std::make_unique<TWirePeer>(TCPPort(), receiveBuffer));
    TWirePeer& p = *peers.back();
    EXPECT_TRUE(p.Connected);
    EXPECT_TRUE(PollUntil([&] { return p.Find(2) != nullptr || !p.Open; }));
    return p;
  }
  // Ready (1, announcing its UDP port), start information, then its state.
  TWirePeer& Join(const std::string& name = "Bob", int team = 0, int receiveBuffer = 0) {
    TWirePeer& p = Connect(receiveBuffer);
    TWireMessage ready = Wire(1);
    ready.F[0] = p.UDPPort;
    p.Send(ready);
    EXPECT_TRUE(PollUntil([&] { return p.Find(7) != nullptr; }));
    p.Send(State(name, team, team == 0 ? 0 : 10));
    const int32_t me = static_cast<int32_t>(p.Find(7)->F[1]);
    EXPECT_TRUE(PollUntil([&] { return Characters->At(me)->Name == name; }));
    return p;
  }
  static TWireMessage State(const std::string& name, int team, int model, int slot = 1, int pistol = 0,
                            int rifle = -1) {
    TWireMessage m = Wire(3, name, team ? "1" : "0");
    m.F[0] = 0;
    m.F[1] = static_cast<float>(model);
    m.F[3] = static_cast<float>(slot);
    m.F[4] = static_cast<float>(pistol);
    m.F[5] = static_cast<float>(rifle);
    return m;
  }

  TGameSettings settings;
  std::vector<std::unique_ptr<TWirePeer>> peers;
  std::vector<std::string> errors;
};
