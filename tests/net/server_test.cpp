// The server against raw wire peers on loopback: the handshake in its order,
// refusal when full, slot and character reuse, chat relaying and splitting.
#include "net_fixture.h"

#include <algorithm>

namespace {

std::vector<std::string> ChatLines(const TWirePeer& p) {
  std::vector<std::string> lines;
  for (const auto& m : p.Received)
    if (m.Code == 5) lines.push_back(m.S[0] + "|" + m.S[1] + "|" + m.S[2]);
  return lines;
}

}  // namespace

TEST_F(NetServerTest, JoiningTakesTheFirstFreeSlotAndGetsTheStartInformationInOrder) {
  Serve();
  settings.Gravity = 120;
  settings.Speed = 0.75;
  TWirePeer& a = Join("A");
  TWirePeer& b = Join("B");
  TWirePeer& c = Join("C");
  a.Close();
  b.Close();
  ASSERT_TRUE(PollUntil([&] { return Network->Server->ConnectedCount() == 1; }));
  EXPECT_FALSE(Characters->At(1)->InUse);
  EXPECT_FALSE(Characters->At(2)->InUse);
  EXPECT_TRUE(PollUntil([&] { return c.CountOf(9) == 2; }));
  c.Received.clear();

  // Slots 0 and 1 free, slot 2 taken: the newcomer plays character 1.
  TWirePeer& d = Connect();
  ASSERT_EQ(d.Received.at(0).Code, 2);
  EXPECT_EQ(d.Received[0].S[0], "arena");
  ASSERT_TRUE(PollUntil([&] { return c.Find(8) != nullptr; }));
  EXPECT_EQ(c.Find(8)->S[0], "4");
  EXPECT_EQ(c.Find(8)->S[1], "1");

  TWireMessage ready = Wire(1);
  ready.F[0] = d.UDPPort;
  d.Send(ready);
  ASSERT_TRUE(PollUntil([&] { return d.CountOf(23) == 2; }));
  EXPECT_EQ(d.Codes(), (std::vector<uint8_t>{2, 7, 9, 21, 4, 4, 23, 4, 23}));
  const TWireMessage& info = d.Received[1];
  EXPECT_EQ(info.S[0], "Arena Server");
  EXPECT_EQ(info.F[0], 4.0f);
  EXPECT_EQ(info.F[1], 1.0f);
  EXPECT_EQ(d.Received[2].S[0], "2");
  EXPECT_EQ(d.Received[3].S[0], "120");
  EXPECT_EQ(d.Received[3].S[1], "0.75");
  EXPECT_EQ(d.Received[4].S[2], "0");
  EXPECT_EQ(d.Received[5].S[2], "2");
  EXPECT_EQ(d.Received[6].S[0], "1");
  EXPECT_EQ(d.Received[7].S[2], "3");
  EXPECT_EQ(d.Received[7].S[0], "C");
  EXPECT_TRUE(Network->Server->Slot(0)->Started);
  EXPECT_TRUE(Characters->At(1)->InUse);
}

TEST_F(NetServerTest, TheOneTooManyIsRefusedWithMessageOneAndTheConsoleLine) {
  Serve(2);
  Join();
  peers.push_back(std::make_unique<TWirePeer>(TCPPort()));
  TWirePeer& late = *peers.back();
  ASSERT_TRUE(PollUntil([&] { return !late.Open; }));
  EXPECT_EQ(late.Codes(), (std::vector<uint8_t>{1}));
  EXPECT_EQ(Network->Server->ConnectedCount(), 1);
  EXPECT_NE(std::find(console.begin(), console.end(), "UNetwork: Game is full, one client has been kicked."),
            console.end());
  EXPECT_EQ(Characters->Count, 2);
}

TEST_F(NetServerTest, MaxPlayersOutsideOneTo255IsRefused) {
  for (int32_t bad : {0, -1, 256}) {
    EXPECT_FALSE(Network->StartServer(bad, 0, 0, 1000, false, "x"));
    EXPECT_FALSE(Network->IsServer);
  }
  EXPECT_EQ(errors.size(), 3u);
}

TEST_F(NetServerTest, ATakenPortEndsTheStartWithTheSocketError) {
  Serve();
  const int32_t udp = Network->Server->UDPPort;
  TNetwork other;
  other.DiscoveryPort = 0;
  std::string error;
  other.OnError = [&](const std::string& m, const std::string&) { error = m; };
  EXPECT_FALSE(other.StartServer(4, udp, 0, 1000, false, "x"));
  EXPECT_EQ(error.rfind("SDLNet_UDP_Open: ", 0), 0u) << error;
}

TEST_F(NetServerTest, ChatLinesAreSplitIntoPiecesOf25AndCutAfter75) {
  Serve();
  TWirePeer& bob = Join("Bob");
  TWirePeer& other = Join("Other");
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"hi", "<>Bob: hi||"},
      {std::string(18, 'a'), "<>Bob: " + std::string(18, 'a') + "||"},               // the line is 25 long
      {std::string(19, 'a'), "<>Bob: " + std::string(18, 'a') + "|a|"},              // 26: one into S2
      {std::string(50, 'b'), "<>Bob: " + std::string(18, 'b') + "|" + std::string(25, 'b') + "|" + std::string(7, 'b')},
  };
  for (const Case& c : cases) {
    other.Received.clear();
    TWireMessage m = Wire(2, "", c.text.substr(0, 25), c.text.size() > 25 ? c.text.substr(25) : "");
    bob.Send(m);
    ASSERT_TRUE(PollUntil([&] { return !ChatLines(other).empty(); })) << c.text;
    EXPECT_EQ(ChatLines(other), std::vector<std::string>{c.expected});
  }
  // A 25-character name and 50 characters of text: the 79-character line loses its last 4.
  bob.Send(State(std::string(25, 'N'), 0, 0));
  ASSERT_TRUE(PollUntil([&] { return Characters->At(1)->Name.size() == 25; }));
  other.Received.clear();
  bob.Send(Wire(2, "", std::string(25, 'x'), std::string(25, 'y')));
  ASSERT_TRUE(PollUntil([&] { return !ChatLines(other).empty(); }));
  EXPECT_EQ(ChatLines(other)[0], "<>" + std::string(23, 'N') + "|NN: " + std::string(21, 'x') + "|" +
                                     std::string(4, 'x') + std::string(21, 'y'));
}

TEST_F(NetServerTest, TeamChatReachesOnlyTheSendersTeamAndTheHostWhenItIsInIt) {
  Serve();
  Characters->At(0)->SetName("Host");
  TWirePeer& counter = Join("Ct", 0);
  TWirePeer& t1 = Join("T1", 1);
  TWirePeer& t2 = Join("T2", 1);
  TWireMessage teamOnly = Wire(2, "", "go");
  teamOnly.F[0] = 1.0f;
  t1.Send(teamOnly);
  ASSERT_TRUE(PollUntil([&] { return !ChatLines(t2).empty(); }));
  PollUntil([] { return false; }, 100);
  EXPECT_EQ(ChatLines(t2), std::vector<std::string>{"<>T1: go||"});
  EXPECT_EQ(ChatLines(t1).size(), 1u);
  EXPECT_TRUE(ChatLines(counter).empty());
  EXPECT_EQ(std::count(console.begin(), console.end(), "<>T1: go"), 0);

  Characters->At(0)->SetTeam(1);
  t1.Send(teamOnly);
  ASSERT_TRUE(PollUntil([&] { return ChatLines(t2).size() == 2; }));
  EXPECT_EQ(std::count(console.begin(), console.end(), "<>T1: go"), 1);

  // The server's own player chats to everybody.
  Network->SendChat("hello", false);
  ASSERT_TRUE(PollUntil([&] { return ChatLines(counter).size() == 1; }));
  EXPECT_EQ(ChatLines(counter)[0], "<>Host: hello||");
  EXPECT_EQ(std::count(console.begin(), console.end(), "<>Host: hello"), 1);
}

TEST_F(NetServerTest, ClosingAtLevelEndWritesWhatWasQueuedThenClosesEveryConnection) {
  Serve();
  TWirePeer& a = Join("A");
  TWirePeer& b = Join("B");
  a.Received.clear();
  b.Received.clear();
  const int32_t tcp = Network->Server->TCPPort;
  BroadcastPhysics(80, 1.5);  // what the console sends when it changes gravity or speed
  Network->Close();
  ASSERT_TRUE(PollUntil([&] { return !a.Open && !b.Open; }));
  for (TWirePeer* p : {&a, &b}) {
    // The last physics message: the start's own (100, 0.5) may still have
    // been on its way when the peer's list was cleared.
    const TWireMessage* physics = nullptr;
    for (const TWireMessage& m : p->Received)
      if (m.Code == 21) physics = &m;
    ASSERT_NE(physics, nullptr);
    EXPECT_EQ(physics->S[0], "80");
    EXPECT_EQ(physics->S[1], "1.5");
  }
  // The ports are free again for the next level's server.
  EXPECT_TRUE(Network->StartServer(8, 0, tcp, 1000, false, "Again"));
}

// A server without a player of its own (dedicated): every place of MaxPlayers
// is a client's, character 0 is out of play, and a client keeps it out of play
// when the next one joins (message 8 marks every character in use on a client).
// Its team chat goes to the server's log whatever the team.
TEST_F(NetServerTest, WithoutAHostPlayerCharacterZeroStaysOutOfPlayOnEveryClient) {
  Serve(2);
  Network->Server->HostSeats = 0;
  Characters->At(0)->SetInUse(false);
  TWirePeer& a = Join("A", 1);  // a terrorist; character 0 stays on the other team
  EXPECT_EQ(a.Find(9)->S[0], "0");  // in the start information
  a.Received.clear();
  Join("B");
  ASSERT_TRUE(PollUntil([&] { return a.Find(9) != nullptr; }));
  const std::vector<uint8_t> codes = a.Codes();
  const auto joined = std::find(codes.begin(), codes.end(), 8);
  ASSERT_NE(joined, codes.end());
  EXPECT_LT(joined - codes.begin(), std::find(codes.begin(), codes.end(), 9) - codes.begin());
  EXPECT_EQ(a.Find(9)->S[0], "0");
  EXPECT_EQ(Network->Server->ConnectedCount(), 2);  // both places taken by clients
  EXPECT_FALSE(Characters->At(0)->InUse);

  // Team chat of either team reaches the operator's log: no player of its own puts it in one.
  TWireMessage teamOnly = Wire(2, "", "go");
  teamOnly.F[0] = 1.0f;
  a.Send(teamOnly);
  EXPECT_TRUE(PollUntil([&] { return std::count(console.begin(), console.end(), "<>A: go") == 1; }));
}
