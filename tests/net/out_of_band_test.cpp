// The out-of-band packets byte for byte: infostrings, the queries a server
// answers, its answers, and the master's heartbeat, list request and list
// packets; what each reader refuses.
#include <gtest/gtest.h>

#include "net/master_codec.h"
#include "net/network_message.h"
#include "net/out_of_band.h"
#include "net/server_query.h"

namespace {

std::string Packet(const std::string& text) { return OutOfBandPacket(text); }

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::optional<TServerQuery> Query(const std::string& packet) { return ParseServerQuery(Bytes(packet), packet.size()); }

std::optional<TInfoResponse> Info(const std::string& packet) { return DecodeInfoResponse(Bytes(packet), packet.size()); }

TServerStatus SampleStatus() {
  TServerStatus s;
  s.Info.Name = "Arena \\Server\";";
  s.Info.Map = "arena";
  s.Info.Players = 3;
  s.Info.MaxPlayers = 8;
  s.Info.TCPPort = 5021;
  s.Bots = 1;
  s.RoundTime = 180;
  s.Players = {{4, 35, "Bob \"the\" Quick"}, {0, 0, "Alder"}, {-1, 120, "Eve"}};
  return s;
}

}  // namespace

TEST(InfoString, ParsesPairsAndRefusesWhatBreaksTheForm) {
  std::optional<TInfoString> info = ParseInfoString("\\a\\1\\b\\\\c\\x y\\a\\2");
  ASSERT_TRUE(info);
  ASSERT_EQ(info->Pairs().size(), 3u);
  EXPECT_EQ(*info->Find("a"), "1") << "a key given twice keeps its first value";
  EXPECT_EQ(*info->Find("b"), "");
  EXPECT_EQ(*info->Find("c"), "x y");
  EXPECT_EQ(info->Number("a", 0, 5), 1);
  EXPECT_FALSE(info->Number("c", 0, 5));
  EXPECT_EQ(info->Text(), "\\a\\1\\b\\\\c\\x y");

  std::string many;
  for (size_t i = 0; i <= kMaxInfoPairs; ++i) many += "\\k" + std::to_string(i) + "\\v";
  for (const std::string& bad : {std::string(""), std::string("a\\1"), std::string("\\a"), std::string("\\\\1"),
                                 std::string("\\a\\1\\b"), std::string("\\a\"\\1"), std::string("\\a\\1;"),
                                 std::string("\\a\\\x01"), std::string("\\a\\") + std::string(kMaxInfoValue + 1, 'v'),
                                 many})
    EXPECT_FALSE(ParseInfoString(bad)) << bad;
}

TEST(InfoString, TheWriterMakesEveryValueSafeToSplit) {
  TInfoString info;
  info.Set("hostname", "a\\b\"c;d\x07");
  info.Set("bad\\key", "x");
  info.Set("n", 12);
  info.Set("n", 13);
  EXPECT_EQ(info.Text(), "\\hostname\\a?b?c?d?\\n\\13");
  EXPECT_TRUE(ParseInfoString(info.Text()));
}

TEST(InfoString, ChallengesFollowTheConvention) {
  for (const char* good : {"x", "abc-123_XYZ", "!#$&'()*+,-.0:<=>?@[]^_`{|}~"}) EXPECT_TRUE(ValidChallenge(good)) << good;
  for (const std::string& bad : {std::string(""), std::string(kMaxChallenge + 1, 'a'), std::string("a b"),
                                std::string("a\\b"), std::string("a/b"), std::string("a;b"), std::string("a\"b"),
                                std::string("a%b"), std::string("\xe9")})
    EXPECT_FALSE(ValidChallenge(bad)) << bad;
}

TEST(ServerQuery, ReadsGetinfoAndGetstatusWithOrWithoutAChallenge) {
  struct Case {
    std::string Packet;
    bool Taken;
    TQueryKind Kind;
    std::string Challenge;
  } cases[] = {
      {Packet("getinfo abc"), true, TQueryKind::Info, "abc"},
      {Packet("getinfo"), true, TQueryKind::Info, ""},
      {Packet("getstatus xyz\n"), true, TQueryKind::Status, "xyz"},
      {Packet("\x02getinfo"), false, TQueryKind::Info, ""},
      {Packet("getstatus a\\b"), false, TQueryKind::Info, ""},
      {Packet("getinfo ") + std::string(40, 'c'), false, TQueryKind::Info, ""},
      {Packet("getchallenge"), false, TQueryKind::Info, ""},
      {"getinfo abc", false, TQueryKind::Info, ""},
      {Packet(""), false, TQueryKind::Info, ""},
  };
  for (const Case& c : cases) {
    const std::optional<TServerQuery> q = Query(c.Packet);
    ASSERT_EQ(q.has_value(), c.Taken) << c.Packet;
    if (!q) continue;
    EXPECT_EQ(q->Kind, c.Kind) << c.Packet;
    EXPECT_EQ(q->Challenge, c.Challenge) << c.Packet;
  }
  EXPECT_EQ(EncodeServerQuery(TQueryKind::Status, "q1"), "\xFF\xFF\xFF\xFFgetstatus q1");
}

TEST(ServerQuery, AnswersCarryEveryKeyAndThePlayersInTheDocumentedForm) {
  const std::string keys = "\\challenge\\c1\\gamename\\Grimvale\\protocol\\" + std::string(kNetRevision) +
                           "\\hostname\\Arena ?Server??\\mapname\\arena\\clients\\3\\bots\\1\\sv_maxclients\\8"
                           "\\roundtime\\180\\needpass\\0\\tcpport\\5021";
  EXPECT_EQ(EncodeInfoResponse(SampleStatus(), "c1"), "\xFF\xFF\xFF\xFFinfoResponse\n" + keys);
  EXPECT_EQ(EncodeStatusResponse(SampleStatus(), "c1"), "\xFF\xFF\xFF\xFFstatusResponse\n" + keys +
                                                            "\n4 35 \"Bob ?the? Quick\"\n0 0 \"Alder\"\n-1 120 \"Eve\"\n");
  // Without a challenge the key is left out, not sent empty.
  EXPECT_EQ(EncodeInfoResponse(SampleStatus(), "").find("challenge"), std::string::npos);

  // Counts are clamped as readers check them, so a server is never refused for its own answer.
  TServerStatus crowded = SampleStatus();
  crowded.Info.Players = 12;
  crowded.Bots = 20;
  const std::string clamped = EncodeInfoResponse(crowded, "");
  const std::optional<TInfoResponse> read = Info(clamped);
  ASSERT_TRUE(read) << clamped;
  EXPECT_EQ(read->Clients, 8);
  EXPECT_EQ(read->Bots, 8);

  // A status that would not fit one datagram lists the players that fit.
  TServerStatus crowd = SampleStatus();
  crowd.Players.assign(255, {999, 999, std::string(40, 'n')});
  const std::string big = EncodeStatusResponse(crowd, "c1");
  EXPECT_LE(big.size(), kMaxAnswerSize);
  EXPECT_GT(big.size(), kMaxAnswerSize - 50);
  EXPECT_EQ(big.back(), '\n');
}

TEST(ServerQuery, AnInfoResponseIsTakenOnlyWithEveryRequiredKeyValid) {
  const std::optional<TInfoResponse> ours = Info(EncodeInfoResponse(SampleStatus(), "c1"));
  ASSERT_TRUE(ours);
  EXPECT_EQ(ours->Challenge, "c1");
  EXPECT_EQ(ours->GameName, "Grimvale");
  EXPECT_EQ(ours->Protocol, QueryProtocol());
  EXPECT_EQ(ours->Clients, 3);
  EXPECT_EQ(ours->Bots, 1);
  EXPECT_EQ(ours->MaxClients, 8);
  EXPECT_EQ(ours->TCPPort, 5021);
  EXPECT_EQ(*ours->Info.Find("mapname"), "arena");

  const std::string base = "infoResponse\n\\challenge\\c\\gamename\\G\\protocol\\3\\hostname\\h\\mapname\\m";
  EXPECT_TRUE(Info(Packet(base + "\\clients\\2\\sv_maxclients\\4\n")));
  for (const std::string& bad : std::vector<std::string>{base + "\\clients\\5\\sv_maxclients\\4", base + "\\clients\\1\\sv_maxclients\\0",
                                 base + "\\clients\\-1\\sv_maxclients\\4", base + "\\clients\\x\\sv_maxclients\\4",
                                 base + "\\sv_maxclients\\4",
                                 "infoResponse\n\\gamename\\G G\\protocol\\3\\hostname\\h\\mapname\\m\\clients\\0"
                                 "\\sv_maxclients\\4",
                                 "infoResponse\n\\challenge\\a;b\\gamename\\G\\protocol\\3\\hostname\\h\\mapname\\m"
                                 "\\clients\\0\\sv_maxclients\\4",
                                 "statusResponse\n\\gamename\\G\\protocol\\3\\hostname\\h\\mapname\\m\\clients\\0"
                                 "\\sv_maxclients\\4"})
    EXPECT_FALSE(Info(Packet(bad))) << bad;
}

TEST(MasterCodec, RequestsAreReadAsTheConventionWritesThem) {
  auto parse = [](const std::string& p) { return ParseMasterRequest(Bytes(p), p.size()); };
  EXPECT_EQ(EncodeHeartbeat(), "\xFF\xFF\xFF\xFFheartbeat DarkPlaces\n");
  ASSERT_TRUE(parse(EncodeHeartbeat()));
  EXPECT_EQ(parse(EncodeHeartbeat())->Kind, TMasterRequestKind::Heartbeat);

  const std::string ask = EncodeGetServers({"Grimvale", 2, true, false});
  EXPECT_EQ(ask, "\xFF\xFF\xFF\xFFgetservers Grimvale 2 empty");
  struct Case {
    std::string Text;
    bool Empty, Full;
  } filters[] = {{"getservers Grimvale 2", false, false},
                 {"getservers Grimvale 2 full gametype=3 empty", true, true},
                 {"getservers Grimvale 2 full\n", false, true}};
  for (const Case& c : filters) {
    const auto r = parse(Packet(c.Text));
    ASSERT_TRUE(r) << c.Text;
    EXPECT_EQ(r->Kind, TMasterRequestKind::GetServers);
    EXPECT_EQ(r->List.GameName, "Grimvale");
    EXPECT_EQ(r->List.Protocol, 2);
    EXPECT_EQ(r->List.Empty, c.Empty) << c.Text;
    EXPECT_EQ(r->List.Full, c.Full) << c.Text;
  }
  for (const char* bad : {"getservers Grimvale", "getservers Grimvale x", "getservers Grimvale -2",
                                 "heartbeat", "heartbeat a b", "getservers\x01 Grimvale 2", "hello"})
    EXPECT_FALSE(parse(Packet(bad))) << bad;
  EXPECT_FALSE(parse("getservers Grimvale 2")) << "without the four 0xFF bytes";
}

TEST(MasterCodec, AServerListIsSplitIntoPacketsThatReadBackWhole) {
  std::vector<TServerAddress> servers;
  for (uint32_t i = 0; i < 500; ++i) servers.push_back({0x0A000000u + i, static_cast<uint16_t>(27960 + i)});
  servers.push_back({0x454F5400u | 7, 27960});  // 69.79.84.7 starts like the end marker
  const std::vector<std::string> packets = EncodeServerList(servers);
  ASSERT_GT(packets.size(), 1u);
  std::vector<TServerAddress> read;
  for (size_t i = 0; i < packets.size(); ++i) {
    EXPECT_LE(packets[i].size(), kMaxAnswerSize);
    const std::optional<TServerListPacket> p = DecodeServerList(Bytes(packets[i]), packets[i].size());
    ASSERT_TRUE(p) << i;
    EXPECT_EQ(p->Last, i + 1 == packets.size());
    read.insert(read.end(), p->Servers.begin(), p->Servers.end());
  }
  EXPECT_EQ(read, servers);
  EXPECT_EQ(packets.back().substr(packets.back().size() - 7), std::string("\\EOT\0\0\0", 7));
  EXPECT_EQ(packets[0].substr(0, 29), std::string("\xFF\xFF\xFF\xFFgetserversResponse\\\x0A\x00\x00\x00\x6D\x38", 29));

  const std::string empty = EncodeServerList({})[0];
  EXPECT_EQ(empty, std::string("\xFF\xFF\xFF\xFFgetserversResponse\\EOT\0\0\0", 29));
  auto decode = [](const std::string& p) { return DecodeServerList(Bytes(p), p.size()); };
  EXPECT_TRUE(decode(Packet("getserversResponse\\EOT"))->Last);
  EXPECT_FALSE(decode(Packet("getserversResponse\\\x01\x02\x03\x04\x05"))) << "an entry cut short";
  EXPECT_FALSE(decode(Packet("getserversResponse/\x01\x02\x03\x04\x05\x06")));
  EXPECT_FALSE(decode(Packet(std::string("getserversResponse\\EOT\0\0\0\\\x01\x02\x03\x04\x05\x06", 32))));
  EXPECT_TRUE(decode(Packet(std::string("getserversResponse\\\0\0\0\0\0\0", 25)))->Servers.empty());
}
