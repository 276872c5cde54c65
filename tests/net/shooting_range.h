// A shooting range through the impairment relay: the server of this process
// with its host's character as the target, and a wire-level client that
// draws the target as the game's client does (stamped samples, a little
// behind the newest) and shoots at what it draws, telling the server the
// moment of its picture. Lag compensation's tests and the netplay benchmark
// share it. Needs the session, the rules, the weapons and the characters.
#pragma once
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "game/characters.h"
#include "game/remote_view.h"
#include "impair_proxy.h"
#include "net/network.h"
#include "wire_peer.h"

// The client's picture of the remote character, drawn as the game's client
// draws it: from the stamped samples, a little behind the newest.
class TDrawnCharacter {
 public:
  void Datagram(const std::vector<uint8_t>& d, uint32_t now) {
    const uint32_t stamp = clock.Unwrap(static_cast<uint32_t>(d[22] | d[23] << 8) & kStampMask);
    clock.Arrived(stamp, now);
    view.Add(stamp, {{WireFloat(&d[0]), WireFloat(&d[4]), WireFloat(&d[8])}, 0, 0});
  }
  TVec3 At(uint32_t now) const { return view.At(clock.DrawTime(now)).Position; }
  bool Empty() const { return view.Empty(); }
  // The moment of the picture, as a shot tells it to the server.
  std::string Seen(uint32_t now) const { return std::to_string(std::llround(clock.DrawTime(now)) & kStampMask); }

 private:
  TSenderClock clock;
  TRemoteView view;
};

// The server with the target (the host's character 0) and one joined peer
// (character 1) through the relay.
struct TShootingRange {
  explicit TShootingRange(const TImpairment& impairment) {
    Network->StartServer(4, 0, 0, 1000, false, "Range");
    proxy = std::make_unique<TImpairProxy>(static_cast<uint16_t>(Network->Server->TCPPort),
                                           static_cast<uint16_t>(Network->Server->UDPPort), impairment);
    target = Characters->At(0);
    target->SetModel(10);
    target->SetHealth(100);
    peer = std::make_unique<TWirePeer>(proxy->ProxyTCPPort);
    auto poll = [] { Network->Poll(); };
    Until(poll, [&] { peer->Drain(); return peer->Find(2) != nullptr; });
    TWireMessage ready = Wire(1);
    ready.F[0] = peer->UDPPort;
    peer->Send(ready);
    Until(poll, [&] { peer->Drain(); return peer->Find(7) != nullptr; });
    TWireMessage state = Wire(3, "Shooter", "0");
    state.F[3] = 1;  // pistol 0 in hand
    peer->Send(state);
    shooterIndex = static_cast<uint8_t>(peer->Find(7)->F[1]);
    shooter = Characters->At(shooterIndex);
    Until(poll, [&] { return shooter->ModelNr == 0 && shooter->Name == "Shooter"; }, 5000);
    shooter->SetHealth(100);
    shooter->SetPosition(0, 1.7f, 0);
    target->SetPosition(0, 1.7f, -8);
  }
  ~TShootingRange() {
    peer.reset();
    proxy.reset();
    Network->Close();
  }

  // One millisecond of the server: the rules' clock, polling, the 40 ms
  // position sends; and the peer's own datagram (it stands still).
  void Step(uint32_t now) {
    Characters->Tick(now, false);
    Network->Poll();
    if (now - lastSend >= 40) {
      lastSend = now;
      Network->SendPositions();
      const float v[5] = {shooter->X, shooter->Y, shooter->Z, 0, 0};
      peer->SendDatagram(proxy->ProxyUDPPort, WireDatagram(v, 1, shooterIndex));
    }
    for (const auto& d : peer->DrainDatagrams())
      if (d.size() == 24 && d[21] == 0) drawn.Datagram(d, now);
    peer->Drain();
    peer->Received.clear();
  }

  std::unique_ptr<TImpairProxy> proxy;
  std::unique_ptr<TWirePeer> peer;
  TCharacter* target = nullptr;
  TCharacter* shooter = nullptr;
  uint8_t shooterIndex = 0;
  TDrawnCharacter drawn;
  uint32_t lastSend = 0;
};

// Walks the target along x at the game's speed, turning every `legMs`.
inline void Strafe(TCharacter& c, uint32_t now, double speed, uint32_t legMs) {
  const double unitsPerMs = speed / 400;
  const double leg = unitsPerMs * legMs;
  const double t = std::fmod(now * unitsPerMs, 2 * leg);
  c.SetPosition(static_cast<float>(t < leg ? t - leg / 2 : 1.5 * leg - t), c.Y, c.Z);
}

// The shooter fires pistol 0 at the drawn target's point `offset` from its
// reference point, telling the moment of its picture.
inline void FireAtDrawn(TShootingRange& range, const TVec3& offset, uint32_t now) {
  const TVec3 aim = VecAdd(range.drawn.At(now), offset);
  const TVec3 from = range.shooter->HeadSphere.Centre;
  const TVec3 d = VecNormalize(VecSub(aim, from));
  TWireMessage m = Wire(4, range.drawn.Seen(now));
  const float f[6] = {from.x, from.y, from.z, d.x, d.y, d.z};
  for (int i = 0; i < 6; ++i) m.F[i] = f[i];
  range.peer->Send(m);
}
