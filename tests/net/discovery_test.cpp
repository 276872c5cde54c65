// LAN discovery on loopback: the datagrams byte for byte and what the decoders
// refuse, a running server found by the browser with the right fields, and
// the answer rate under a flood of queries.
#include "core/platform.h"
#include "net/discovery.h"
#include "net_fixture.h"

#include <optional>

namespace {

// An answer written out by hand from the documented layout.
std::vector<uint8_t> HandAnswer(uint32_t nonce, const std::string& name, const std::string& map, uint8_t players,
                                uint8_t maxPlayers, uint16_t tcp, uint16_t udp) {
  std::vector<uint8_t> b{'G', 'V', 'D', 'A', 1};
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(nonce >> (8 * i)));
  for (uint16_t port : {tcp, udp}) {
    b.push_back(static_cast<uint8_t>(port));
    b.push_back(static_cast<uint8_t>(port >> 8));
  }
  b.push_back(players);
  b.push_back(maxPlayers);
  for (const std::string* text : {&name, &map}) {
    b.push_back(static_cast<uint8_t>(text->size()));
    b.insert(b.end(), text->begin(), text->end());
  }
  return b;
}

std::optional<TServerInfo> Decode(const std::vector<uint8_t>& b, uint32_t& nonce) {
  return DecodeDiscoveryAnswer(b.data(), b.size(), nonce);
}

TEST(DiscoveryCodec, QueryAndAnswerMatchTheDocumentedBytesBothWays) {
  uint8_t query[kDiscoveryQuerySize];
  EncodeDiscoveryQuery(0x04030201, query);
  std::vector<uint8_t> expected(kDiscoveryQuerySize, 0);
  const uint8_t head[] = {'G', 'V', 'D', 'Q', 1, 1, 2, 3, 4};
  std::copy(std::begin(head), std::end(head), expected.begin());
  EXPECT_EQ(std::vector<uint8_t>(query, query + kDiscoveryQuerySize), expected);
  EXPECT_EQ(DecodeDiscoveryQuery(query, sizeof query), 0x04030201u);

  const std::vector<uint8_t> hand = HandAnswer(0xA1B2C3D4, "Arena Server", "arena", 3, 8, 5020, 5021);
  uint32_t nonce = 0;
  std::optional<TServerInfo> info = Decode(hand, nonce);
  ASSERT_TRUE(info);
  EXPECT_EQ(nonce, 0xA1B2C3D4u);
  EXPECT_EQ(info->Name, "Arena Server");
  EXPECT_EQ(info->Map, "arena");
  EXPECT_EQ(info->Players, 3);
  EXPECT_EQ(info->MaxPlayers, 8);
  EXPECT_EQ(info->TCPPort, 5020);
  EXPECT_EQ(info->UDPPort, 5021);
  uint8_t out[kDiscoveryQuerySize];
  const size_t n = EncodeDiscoveryAnswer(0xA1B2C3D4, *info, out);
  EXPECT_EQ(std::vector<uint8_t>(out, out + n), hand);
}

TEST(DiscoveryCodec, TheServerSendsOnlyWhatTheClientAccepts) {
  // Long texts with control bytes, counts and ports out of range: cut,
  // replaced and clamped so that the answer still decodes and stays small.
  TServerInfo wild{std::string(200, 'n') + "\x01", "\x07map\x7f\x85\xe9", 300, 0, 70000, -5};
  uint8_t out[kDiscoveryQuerySize];
  const size_t n = EncodeDiscoveryAnswer(7, wild, out);
  EXPECT_LE(n, kDiscoveryQuerySize);
  uint32_t nonce = 0;
  std::optional<TServerInfo> info = DecodeDiscoveryAnswer(out, n, nonce);
  // Port 0 is no port: the answer is refused rather than a wrong port shown.
  EXPECT_FALSE(info);
  wild.UDPPort = 5021;
  info = DecodeDiscoveryAnswer(out, EncodeDiscoveryAnswer(7, wild, out), nonce);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Name, std::string(kDiscoveryMaxText, 'n'));
  EXPECT_EQ(info->Map, "?map??\xe9");
  EXPECT_EQ(info->MaxPlayers, 1);
  EXPECT_EQ(info->Players, 1);
  EXPECT_EQ(info->TCPPort, 65535);
  // An empty name still gives a well-formed answer.
  EXPECT_TRUE(DecodeDiscoveryAnswer(out, EncodeDiscoveryAnswer(7, TServerInfo{"", "", 0, 4, 1, 1}, out), nonce));
}

TEST(DiscoveryCodec, MalformedQueriesAndAnswersAreRefused) {
  uint8_t query[kDiscoveryQuerySize];
  EncodeDiscoveryQuery(9, query);
  struct {
    const char* What;
    size_t At;
    uint8_t Value;
    size_t Size;
  } queries[] = {
      {"short", 0, 'G', kDiscoveryQuerySize - 1}, {"magic", 3, 'A', kDiscoveryQuerySize},
      {"version", 4, 2, kDiscoveryQuerySize},     {"padding", kDiscoveryQuerySize - 1, 1, kDiscoveryQuerySize},
  };
  for (const auto& c : queries) {
    uint8_t bytes[kDiscoveryQuerySize + 1] = {};
    std::copy(std::begin(query), std::end(query), bytes);
    bytes[c.At] = c.Value;
    EXPECT_FALSE(DecodeDiscoveryQuery(bytes, c.Size)) << c.What;
  }
  uint8_t longer[kDiscoveryQuerySize + 1] = {};
  std::copy(std::begin(query), std::end(query), longer);
  EXPECT_FALSE(DecodeDiscoveryQuery(longer, sizeof longer));

  const std::vector<uint8_t> good = HandAnswer(1, "Srv", "arena", 2, 8, 5020, 5020);
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    return b;
  };
  std::vector<uint8_t> trailing = good, truncated = good;
  trailing.push_back(0);
  truncated.pop_back();
  const struct {
    const char* What;
    std::vector<uint8_t> Bytes;
  } answers[] = {
      {"magic", with(0, 'g')},
      {"version", with(4, 0)},
      {"tcp port 0", with(9, 0)},  // 5020 = 0x139c: both bytes cleared below
      {"players above max", with(13, 9)},
      {"max 0", with(14, 0)},
      {"name length 0", with(15, 0)},
      {"name past the end", with(15, 40)},
      {"control byte in name", with(16, 0x07)},
      {"DEL in name", with(16, 0x7f)},
      {"C1 byte in map", with(20, 0x85)},
      {"map length 0", with(19, 0)},
      {"trailing byte", trailing},
      {"truncated", truncated},
      {"query magic", HandAnswer(1, "Srv", "arena", 2, 8, 5020, 5020)},
      {"udp port 0", HandAnswer(1, "Srv", "arena", 2, 8, 5020, 0)},
      {"name over 32", HandAnswer(1, std::string(33, 'n'), "arena", 2, 8, 5020, 5020)},
      {"too long", HandAnswer(1, std::string(32, 'n'), std::string(80, 'm'), 2, 8, 5020, 5020)},
  };
  for (const auto& c : answers) {
    std::vector<uint8_t> b = c.Bytes;
    if (std::string(c.What) == "tcp port 0") b[10] = 0;
    if (std::string(c.What) == "query magic") b[3] = 'Q';
    uint32_t nonce = 0;
    EXPECT_FALSE(Decode(b, nonce)) << c.What;
  }
  uint32_t nonce = 0;
  EXPECT_TRUE(Decode(good, nonce));
  EXPECT_TRUE(Decode(with(16, 0xe9), nonce));  // an accented letter of the code page is printable
}

TEST(DiscoveryTargets, ListsSplitAtCommasAndDropBlanks) {
  EXPECT_EQ(SplitDiscoveryTargets(" 127.0.0.1:6000 ,, 127.0.0.2 ,"),
            (std::vector<std::string>{"127.0.0.1:6000", "127.0.0.2"}));
  EXPECT_TRUE(SplitDiscoveryTargets("  ").empty());
}

// A plain UDP socket on loopback that asks and counts answers.
class TAsker {
 public:
  TAsker() {
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_in a = To(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  ~TAsker() { ::close(fd); }
  uint16_t Port() const {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    return ntohs(a.sin_port);
  }
  // The nonce of a query that arrived, and where it came from.
  std::optional<uint32_t> Query(sockaddr_in& from) {
    uint8_t b[256];
    socklen_t n = sizeof from;
    const ssize_t size = ::recvfrom(fd, b, sizeof b, 0, reinterpret_cast<sockaddr*>(&from), &n);
    return size < 0 ? std::nullopt : DecodeDiscoveryQuery(b, static_cast<size_t>(size));
  }
  void SendTo(const sockaddr_in& to, const std::vector<uint8_t>& bytes) {
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }
  void Send(uint16_t port, const uint8_t* bytes, size_t size) {
    sockaddr_in a = To(port);
    ::sendto(fd, bytes, size, 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  void Ask(uint16_t port, uint32_t nonce) {
    uint8_t q[kDiscoveryQuerySize];
    EncodeDiscoveryQuery(nonce, q);
    Send(port, q, sizeof q);
  }
  // Answers taken since the last call; every one must be well-formed.
  int Answers() {
    int n = 0;
    uint8_t b[256];
    ssize_t size;
    while ((size = ::recv(fd, b, sizeof b, 0)) >= 0) {
      uint32_t nonce = 0;
      EXPECT_LE(static_cast<size_t>(size), kDiscoveryQuerySize);
      EXPECT_TRUE(DecodeDiscoveryAnswer(b, static_cast<size_t>(size), nonce));
      ++n;
    }
    return n;
  }

 private:
  static sockaddr_in To(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return a;
  }
  int fd = -1;
};

class DiscoveryTest : public NetServerTest {
 protected:
  void SetUp() override {
    NetServerTest::SetUp();
    Network->DiscoveryPort = 0;
  }
  void TearDown() override {
    SetTickSource(nullptr);
    NetServerTest::TearDown();
  }
  uint16_t DiscoveryPort() const { return Network->Responder.Port(); }
  // Polls the session for a while (answers go out during the poll).
  void PollFor(int ms) {
    Until([this] { Poll(); }, [] { return false; }, ms);
  }
  // A search of the given targets run to its end.
  std::vector<TFoundServer> Search(const std::vector<std::string>& targets, uint32_t ms = 300) {
    std::string error;
    EXPECT_TRUE(Network->Finder.Start(targets, 1, error, ms)) << error;
    EXPECT_TRUE(PollUntil([] { return !Network->Finder.Searching(); }));
    return Network->Finder.Servers;
  }
};

TEST_F(DiscoveryTest, AListenServerIsFoundWithItsNameMapPlayersAndPorts) {
  Serve(8);
  ASSERT_TRUE(Network->Responder.IsOpen());
  Join("Bob");
  const std::string target = "127.0.0.1:" + std::to_string(DiscoveryPort());
  // Bad targets are skipped; the same server asked twice is listed once.
  std::vector<TFoundServer> found = Search({"127.0.0.1:0", "127.0.0.1:x", target, target});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Host, "127.0.0.1");
  EXPECT_EQ(found[0].Info.Name, "Arena Server");
  EXPECT_EQ(found[0].Info.Map, "arena");
  EXPECT_EQ(found[0].Info.Players, 2);  // the host and Bob
  EXPECT_EQ(found[0].Info.MaxPlayers, 8);
  EXPECT_EQ(found[0].Info.TCPPort, TCPPort());
  EXPECT_EQ(found[0].Info.UDPPort, UDPPort());

  Network->SetServerName("Renamed");
  found = Search({target});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Info.Name, "Renamed");

  // The session's end ends the answers.
  Network->Close();
  EXPECT_FALSE(Network->Responder.IsOpen());
  EXPECT_TRUE(Search({target}).empty());
}

TEST_F(DiscoveryTest, TheBrowserListsOnlyWellFormedAnswersToItsOwnQuery) {
  TAsker fake;  // a server of its own making: it sees the query and answers as it likes
  std::string error;
  ASSERT_TRUE(Network->Finder.Start({"127.0.0.1:" + std::to_string(fake.Port())}, 1, error, 600));
  sockaddr_in browser{};
  std::optional<uint32_t> nonce;
  ASSERT_TRUE(Until([&] { Poll(); }, [&] { return (nonce = fake.Query(browser)).has_value(); }));
  const std::vector<uint8_t> answers[] = {
      HandAnswer(*nonce + 1, "Stale", "arena", 1, 8, 6000, 6000),   // another search's nonce
      HandAnswer(*nonce, "Bad\x01", "arena", 1, 8, 6001, 6001),     // a control byte
      HandAnswer(*nonce, "Full", "arena", 9, 8, 6002, 6002),        // more players than places
      HandAnswer(*nonce, "Good", "arena", 1, 8, 6003, 6004),
      HandAnswer(*nonce, "Good again", "compound", 2, 8, 6003, 6004),  // the same server: updated
  };
  for (const auto& a : answers) fake.SendTo(browser, a);
  EXPECT_TRUE(PollUntil([] { return !Network->Finder.Searching(); }));
  ASSERT_EQ(Network->Finder.Servers.size(), 1u);
  EXPECT_EQ(Network->Finder.Servers[0].Info.Name, "Good again");
  EXPECT_EQ(Network->Finder.Servers[0].Info.Map, "compound");
  EXPECT_EQ(Network->Finder.Servers[0].Info.UDPPort, 6004);
}

TEST_F(DiscoveryTest, AFloodOfQueriesGetsAtMostTwentyAnswersASecondAndMalformedOnesNone) {
  uint32_t now = 5000;
  SetTickSource([&now] { return now; });
  Serve(8);
  TAsker asker;
  uint8_t bad[kDiscoveryQuerySize] = {'G', 'V', 'D', 'Q', 2};
  for (int i = 0; i < 50; ++i) asker.Send(DiscoveryPort(), bad, sizeof bad);
  asker.Send(DiscoveryPort(), bad, 10);
  PollFor(150);
  EXPECT_EQ(asker.Answers(), 0);

  for (uint32_t i = 0; i < 1000; ++i) asker.Ask(DiscoveryPort(), i);
  PollFor(300);
  EXPECT_EQ(asker.Answers(), 20);

  now += 999;  // the first answer of the flood is not yet a second old
  for (uint32_t i = 0; i < 10; ++i) asker.Ask(DiscoveryPort(), i);
  PollFor(150);
  EXPECT_EQ(asker.Answers(), 0);
  now += 1;
  for (uint32_t i = 0; i < 30; ++i) asker.Ask(DiscoveryPort(), i);
  PollFor(150);
  EXPECT_EQ(asker.Answers(), 20);
}

}  // namespace
