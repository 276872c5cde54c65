// The server's commands as the console and the dedicated server run them: on
// a server with a client and bots, and on a client, where the server's
// commands change nothing and say why.
#include "core/game_settings.h"
#include "game/ki.h"
#include "game/net_rules.h"
#include "game/server_commands.h"
#include "game_fixture.h"

#include <functional>

namespace {

class ServerCommandTest : public GameTest {
 protected:
  void TearDown() override {
    delete KI;
    KI = nullptr;
    Characters = nullptr;
    GameTest::TearDown();
  }
  // Runs the line; what it printed, lines joined by '\n'.
  std::string Run(const std::string& line) {
    std::string printed;
    recognised = RunServerCommand(line, &settings, [&](const std::string& text) {
      printed += (printed.empty() ? "" : "\n") + text;
    });
    return printed;
  }
  std::vector<TNetMessage> ToServer() const { return SentTo(-2); }

  TGameSettings settings;
  bool recognised = false;
};

struct TCommandCase {
  const char* Line;
  const char* Prints;  // the start of what is printed
  std::function<bool()> Holds;
};

}  // namespace

TEST_F(ServerCommandTest, OnAServerTheyChangeTheGameAndTellTheClients) {
  StartServer();
  MakeCharacters();
  Characters = characters.get();
  characters->At(0)->SetName("Host");
  const int32_t slot = AddStartedClient();
  TServerClient& client = *Network->Server->Slot(slot);
  client.PeerAddress = 0x7F000001;
  client.PeerPort = 40000;
  TCharacter& human = Player(0, {0, 1, 0});
  human.SetName("Human");
  KI = new TKI(characters.get());
  const std::string status = "Server \"test\", map -, TCP " + std::to_string(Network->Server->TCPPort) + ", UDP " +
                             std::to_string(Network->Server->UDPPort) +
                             ": 4 of 8 players (2 bots)\nhost \"Host\" CT kills 0 deaths 0 local\n"
                             "slot 0 \"Human\" CT kills 0 deaths 0 127.0.0.1:40000\n"
                             "slot 1 \"Alder\" T kills 0 deaths 0 bot\nslot 2 \"Basil\" T kills 0 deaths 0 bot";
  auto lastToClient = [&] { return SentTo(slot).empty() ? TNetMessage{} : SentTo(slot).back(); };

  const TCommandCase cases[] = {
      {"addbot", "Bot Alder joined the terrorists.", [&] { return KI->BotCount() == 1; }},
      {"AddBot T", "Bot Basil joined the terrorists.", [&] { return KI->BotCount() == 2; }},
      {"addbot x", "addbot takes t or ct.", [&] { return KI->BotCount() == 2; }},
      {"status", status.c_str(), [] { return true; }},
      {"netstat", "client 0: rtt 0 ms, jitter 0 ms, loss 0% in, unknown out, in 0 B/s, out 0 B/s", [] { return true; }},
      {"botskill HARD", "Bot skill is now: hard", [&] { return KI->Skill == TBotSkill::Hard; }},
      {"botskill silly", "botskill takes easy, normal or hard.", [&] { return KI->Skill == TBotSkill::Hard; }},
      {"kickbot", "One bot kicked.", [&] { return KI->BotCount() == 1 && !characters->At(3)->InUse; }},
      {"kickbots", "1 bot kicked.", [&] { return KI->BotCount() == 0 && Network->Server->ConnectedCount() == 1; }},
      {"kickbot", "There is no bot to kick.", [] { return true; }},
      {"say Hello There", "",
       [&] { return lastToClient().Code == ServerMsg::Chat && lastToClient().S1 == "<>Host: Hello There"; }},
      {"grav 300", "Gravity is now: 300",
       [&] { return settings.Gravity == 300 && lastToClient().Code == ServerMsg::Physics && lastToClient().S1 == "300"; }},
      {"speed 2", "Speed is now: 2", [&] { return settings.Speed == 2 && lastToClient().S2 == "2"; }},
  };
  for (const TCommandCase& c : cases) {
    SCOPED_TRACE(c.Line);
    const std::string printed = Run(c.Line);
    EXPECT_TRUE(recognised);
    EXPECT_EQ(printed.substr(0, std::string(c.Prints).size()), c.Prints) << printed;
    EXPECT_TRUE(c.Holds());
  }
  characters->RoundOver = false;  // the empty teams ended the first round as the bots came
  EXPECT_EQ(Run("respawn"), "");
  EXPECT_TRUE(characters->RoundOver);
  EXPECT_EQ(lastToClient().Code, ServerMsg::RoundOver);
  for (const char* other : {"quit", "sayhello", "addbots", "statusx", "name bob"}) {
    Run(other);
    EXPECT_FALSE(recognised) << other << " is the caller's to run or nobody's";
  }
}

// Full: one place taken by the host's player, the rest by clients and bots.
TEST_F(ServerCommandTest, AddbotOnAFullServerSaysSo) {
  Network->StartServer(2, 0, 0, 1000, false, "test");
  MakeCharacters();
  Characters = characters.get();
  KI = new TKI(characters.get());
  EXPECT_EQ(Run("addbot"), "Bot Alder joined the terrorists.");
  EXPECT_EQ(Run("addbot"), "No free slot for a bot.");
  Network->Server->HostSeats = 0;  // a dedicated server's place is free for one more
  EXPECT_EQ(Run("addbot"), "Bot Basil joined the counter-terrorists.");
}

TEST_F(ServerCommandTest, OnAClientTheServersCommandsChangeNothingAndSayWhy) {
  Network->StartClient("127.0.0.1", 1, 1, "me");
  Network->Client->Transmit = [this](const TNetMessage& m) { sent.push_back({-2, m}); };
  Network->Client->Started = true;
  InstallNetRules(*Network);
  MakeCharacters();
  Characters = characters.get();
  const std::string serverOnly = "Only the server has bots: start a game of your own for that.";
  const TCommandCase cases[] = {
      {"addbot", serverOnly.c_str(), [&] { return characters->Count == 1; }},
      {"kickbot", serverOnly.c_str(), [] { return true; }},
      {"kickbots", serverOnly.c_str(), [] { return true; }},
      {"botskill easy", serverOnly.c_str(), [] { return true; }},
      {"status", "status: this machine runs no server.", [] { return true; }},
      {"grav 300", "Gravity is now: 100", [&] { return settings.Gravity == 100; }},
      {"respawn", "", [&] { return !characters->RoundOver; }},
      // The player's own chat line, as the chat window sends it.
      {"say Hi all", "",
       [&] { return ToServer().size() == 1 && ToServer()[0].Code == ClientMsg::Chat && ToServer()[0].S2 == "Hi all"; }},
  };
  for (const TCommandCase& c : cases) {
    SCOPED_TRACE(c.Line);
    EXPECT_EQ(Run(c.Line), c.Prints);
    EXPECT_TRUE(c.Holds());
  }
}
