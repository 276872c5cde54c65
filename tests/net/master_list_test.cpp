// The master's rules on a clock of the test's own: what lists a server and
// what never does, the filters, expiry and the shutdown heartbeat, and the
// caps and limits under forged heartbeats and floods.
#include <gtest/gtest.h>

#include <algorithm>

#include "net/master_list.h"
#include "net/out_of_band.h"

namespace {

constexpr TServerAddress kServer{0x7F000001, 27960};
constexpr TServerAddress kBrowser{0x7F000009, 40000};

class MasterListTest : public ::testing::Test {
 protected:
  static TMasterOptions Options() {
    TMasterOptions o;
    o.ExpiryMs = 60000;
    o.MaxServers = 40;
    o.MaxPerAddress = 4;
    o.MaxPending = 50;
    return o;
  }

  std::vector<TMasterAnswer> Send(const std::string& packet, TServerAddress from) {
    std::vector<TMasterAnswer> out;
    list.Receive(reinterpret_cast<const uint8_t*>(packet.data()), packet.size(), from, now, out);
    return out;
  }
  // The challenge of the single getinfo among the answers; empty when none.
  static std::string ChallengeIn(const std::vector<TMasterAnswer>& answers, TServerAddress to) {
    if (answers.size() != 1 || !(answers[0].To == to)) return "";
    const std::string& b = answers[0].Bytes;
    const std::optional<TServerQuery> q = ParseServerQuery(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    return q && q->Kind == TQueryKind::Info ? q->Challenge : "";
  }
  static std::string Answer(const std::string& challenge, int clients = 1, int bots = 0, int maxClients = 8,
                            const std::string& game = "Grimvale") {
    TServerStatus s;
    s.Info = {"Some server", "arena", clients, maxClients, 0, 0};
    s.Bots = bots;
    std::string packet = EncodeInfoResponse(s, challenge);
    if (game != "Grimvale") packet.replace(packet.find("Grimvale"), 8, game);
    return packet;
  }
  // Heartbeat, challenge, answer: what a live server does.
  void Register(TServerAddress from, int clients = 1, int bots = 0, int maxClients = 8) {
    const std::string challenge = ChallengeIn(Send(EncodeHeartbeat(), from), from);
    ASSERT_FALSE(challenge.empty());
    EXPECT_TRUE(Send(Answer(challenge, clients, bots, maxClients), from).empty());
  }
  std::vector<TServerAddress> Listed(bool empty = true, bool full = true) {
    std::vector<TServerAddress> all;
    for (const TMasterAnswer& a : Send(EncodeGetServers({"Grimvale", QueryProtocol(), empty, full}), kBrowser)) {
      EXPECT_TRUE(a.To == kBrowser);
      const auto p = DecodeServerList(reinterpret_cast<const uint8_t*>(a.Bytes.data()), a.Bytes.size());
      EXPECT_TRUE(p);
      if (p) all.insert(all.end(), p->Servers.begin(), p->Servers.end());
    }
    now += 1000;  // the browser's next list is within its rate
    return all;
  }
  bool IsListed(TServerAddress a) {
    const auto all = Listed();
    return std::find(all.begin(), all.end(), a) != all.end();
  }

  TMasterList list{Options()};
  uint64_t now = 1000;
};

}  // namespace

TEST_F(MasterListTest, OnlyAnAnswerFromTheSameAddressEchoingTheChallengeListsAServer) {
  const std::string challenge = ChallengeIn(Send(EncodeHeartbeat(), kServer), kServer);
  ASSERT_EQ(challenge.size(), 12u);
  EXPECT_TRUE(Send(EncodeHeartbeat(), kServer).empty()) << "a waiting challenge is not sent again";
  EXPECT_NE(ChallengeIn(Send(EncodeHeartbeat(), {kServer.Host, 27961}), {kServer.Host, 27961}), challenge);

  Send(Answer("wrong"), kServer);
  Send(Answer(""), kServer);
  Send(Answer(challenge), {kServer.Host, 27962});
  Send(Answer(challenge), {0x7F000002, kServer.Port});
  Send(Answer(challenge, 1, 0, 8, "Othergame"), {kServer.Host, 27961});
  EXPECT_EQ(list.Listed(), 0u);
  EXPECT_TRUE(Listed().empty());

  Send(Answer(challenge), kServer);
  EXPECT_EQ(Listed(), std::vector<TServerAddress>{kServer});
  Send(Answer(challenge), kServer);
  EXPECT_EQ(list.Listed(), 1u) << "a challenge lists once";

  // An answer after the challenge's time lists nothing.
  const TServerAddress late{0x7F000003, 27960};
  const std::string lateChallenge = ChallengeIn(Send(EncodeHeartbeat(), late), late);
  now += Options().ChallengeMs;
  Send(Answer(lateChallenge), late);
  EXPECT_FALSE(IsListed(late));
}

TEST_F(MasterListTest, TheFiltersCountPeopleNotBots) {
  struct Case {
    int Clients, Bots, Max;
    bool Plain, WithEmpty, WithFull;
  } cases[] = {
      {2, 0, 8, true, true, true},     // some people, room left
      {0, 0, 8, false, true, false},   // nobody
      {4, 4, 8, false, true, false},   // bots only: empty of people
      {8, 3, 8, true, true, true},     // bots give their places up: not full
      {8, 0, 8, false, false, true},   // full of people
      {1, 0, 1, false, false, true},
  };
  uint32_t host = 0x7F000010;
  for (const Case& c : cases) Register({++host, 27960}, c.Clients, c.Bots, c.Max);
  const auto plain = Listed(false, false), withEmpty = Listed(true, false), withFull = Listed(false, true);
  host = 0x7F000010;
  for (const Case& c : cases) {
    const TServerAddress a{++host, 27960};
    auto in = [&](const std::vector<TServerAddress>& l) { return std::find(l.begin(), l.end(), a) != l.end(); };
    EXPECT_EQ(in(plain), c.Plain) << c.Clients << "/" << c.Bots << "/" << c.Max;
    EXPECT_EQ(in(withEmpty), c.WithEmpty) << c.Clients << "/" << c.Bots << "/" << c.Max;
    EXPECT_EQ(in(withFull), c.WithFull) << c.Clients << "/" << c.Bots << "/" << c.Max;
  }
  // Another protocol or game is another list.
  EXPECT_TRUE(Send(EncodeGetServers({"Grimvale", QueryProtocol() + 1, true, true}), kBrowser).size() == 1);
}

TEST_F(MasterListTest, ServersExpireUnlessRenewedAndGoAtOnceWhenTheyStopAnswering) {
  Register(kServer);
  const TServerAddress other{0x7F000002, 27960};
  Register(other);
  now += Options().ExpiryMs - 2000;
  Register(other);  // renewed
  now += 2000;
  EXPECT_EQ(Listed(), std::vector<TServerAddress>{other}) << "past its time a server is not listed, expired or not";
  list.Expire(now);
  EXPECT_EQ(list.Listed(), 1u);

  // The shutdown heartbeat: challenged afresh, no answer, dropped at its time.
  EXPECT_FALSE(ChallengeIn(Send(EncodeHeartbeat(), other), other).empty());
  now += Options().ChallengeMs - 1;
  list.Expire(now);
  EXPECT_EQ(list.Listed(), 1u);
  now += 1;
  list.Expire(now);
  EXPECT_EQ(list.Listed(), 0u);
}

TEST_F(MasterListTest, ForgedHeartbeatsFromEverywhereNeitherGrowTheTablesNorPushAServerOff) {
  Register(kServer);
  // Many addresses, many ports each, none of which will answer; and forged
  // heartbeats in the listed server's own name, which it answers.
  size_t challenges = 0;
  for (uint32_t round = 0; round < 20; ++round) {
    for (uint32_t host = 0; host < 200; ++host)
      for (uint16_t port = 1; port <= 3; ++port) challenges += Send(EncodeHeartbeat(), {0x0B000000 + host, port}).size();
    const std::vector<TMasterAnswer> toServer = Send(EncodeHeartbeat(), kServer);
    if (!toServer.empty()) Send(Answer(ChallengeIn(toServer, kServer)), kServer);
    EXPECT_LE(list.Pending(), Options().MaxPending);
    now += 1000;
    list.Expire(now);
  }
  EXPECT_LE(challenges, Options().MaxPending * 5) << "challenges go out within the caps";
  EXPECT_TRUE(IsListed(kServer));
  now += Options().ExpiryMs - 5000;
  EXPECT_TRUE(IsListed(kServer)) << "its answers to the forged heartbeats renewed it";

  // One address holds at most MaxPerAddress servers, and the list its cap:
  // latecomers wait, nobody is evicted.
  list.Expire(now);
  for (uint16_t port = 1; port <= 10; ++port) {
    const TServerAddress a{0x0C000001, port};
    const std::string c = ChallengeIn(Send(EncodeHeartbeat(), a), a);
    if (!c.empty()) Send(Answer(c), a);
  }
  EXPECT_EQ(list.Listed(), 1 + Options().MaxPerAddress);
  for (uint32_t host = 1; host <= 60; ++host) {
    const TServerAddress a{0x0D000000 + host, 1};
    const std::string c = ChallengeIn(Send(EncodeHeartbeat(), a), a);
    if (!c.empty()) Send(Answer(c), a);
  }
  EXPECT_EQ(list.Listed(), Options().MaxServers);
  EXPECT_TRUE(IsListed(kServer));
}

TEST_F(MasterListTest, ListsAreRationedPerAddressAndMalformedPacketsAreIgnored) {
  Register(kServer);
  const std::string ask = EncodeGetServers({"Grimvale", QueryProtocol(), true, true});
  int answered = 0;
  for (int i = 0; i < 50; ++i) answered += !Send(ask, kBrowser).empty();
  EXPECT_EQ(answered, 3) << "a burst of three, then one a second";
  now += 1000;
  EXPECT_FALSE(Send(ask, kBrowser).empty());
  EXPECT_FALSE(Send(ask, {kBrowser.Host + 1, kBrowser.Port}).empty()) << "another address has its own ration";

  for (const std::string& junk : {std::string("heartbeat DarkPlaces"), OutOfBandPacket("heartbeat"),
                                  OutOfBandPacket("infoResponse\n\\x"), OutOfBandPacket(std::string(2000, 'a')),
                                  std::string("\xFF\xFF\xFF"), std::string()})
    EXPECT_TRUE(Send(junk, {0x0E000001, 5}).empty());
  EXPECT_EQ(list.Counters().Malformed, 6u);
  EXPECT_EQ(list.Pending(), 0u);
}
