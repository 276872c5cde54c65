// The client against a raw wire server on loopback: connecting without
// blocking, the level start, the handshake, states and positions both ways,
// and what it refuses from a server.
#include "game/demo_player.h"
#include "game/demo_recorder.h"
#include "net_fixture.h"

#include <chrono>

namespace {

// A listening TCP socket and a UDP socket that speak the raw bytes.
class TWireServer {
 public:
  explicit TWireServer(int backlog = 4) {
    listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(0);
    ::bind(listenFd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listenFd, backlog);
    TCPPort = PortOf(listenFd);
    udp = ::socket(AF_INET, SOCK_DGRAM, 0);
    ::bind(udp, reinterpret_cast<sockaddr*>(&a), sizeof a);
    UDPPort = PortOf(udp);
  }
  ~TWireServer() {
    if (conn >= 0) ::close(conn);
    ::close(listenFd);
    ::close(udp);
  }
  bool Accept() {
    pollfd p{listenFd, POLLIN, 0};
    if (conn < 0 && ::poll(&p, 1, 0) == 1) conn = ::accept(listenFd, nullptr, nullptr);
    return conn >= 0;
  }
  void Send(const TWireMessage& m) {
    auto b = WireEncode(m);
    ::send(conn, b.data(), b.size(), MSG_NOSIGNAL);
  }
  void Drain() {
    uint8_t buf[4096];
    ssize_t n;
    while ((n = ::recv(conn, buf, sizeof buf, MSG_DONTWAIT)) > 0) pending.insert(pending.end(), buf, buf + n);
    while (pending.size() >= 104) {
      Received.push_back(WireDecode(pending.data()));
      pending.erase(pending.begin(), pending.begin() + 104);
    }
  }
  const TWireMessage* Find(uint8_t code) const {
    for (const auto& m : Received)
      if (m.Code == code) return &m;
    return nullptr;
  }
  static uint16_t PortOf(int fd) {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
    return ntohs(a.sin_port);
  }

  uint16_t TCPPort = 0, UDPPort = 0;
  int udp = -1;
  std::vector<TWireMessage> Received;

 private:
  int listenFd = -1, conn = -1;
  std::vector<uint8_t> pending;
};

class NetClientTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    std::filesystem::create_directories(dir / "data/maps/arena");
    NetRuleHooks = {};
    NetRuleHooks.Settings = &settings;
    // What the game driver does: the level starts with one local character.
    NetRuleHooks.RequestLevel = [this](const std::string& name) {
      levels.push_back(name);
      level = std::make_unique<TLevel>(name, false);
      MakeCharacters();
      Characters = characters.get();
    };
    InstallNetRules(*Network);
    Network->OnError = [this](const std::string& m, const std::string&) { errors.push_back(m); };
  }
  void TearDown() override {
    Network->Close();
    Characters = nullptr;
    NetRuleHooks = {};
    GameTest::TearDown();
  }
  bool PollUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    return Until([this] {
      Network->Poll();
      server.Drain();
    }, done, timeoutMs);
  }
  // Connected and told the level; the ready message has arrived.
  void ConnectAndStart(const std::string& levelName = "arena") {
    ASSERT_TRUE(Network->StartClient("127.0.0.1", server.TCPPort, server.UDPPort, "Alice"));
    ASSERT_TRUE(PollUntil([&] { return server.Accept() && Network->Client->Connected(); }));
    server.Send(Wire(2, levelName));
    PollUntil([&] { return server.Find(1) != nullptr || !errors.empty(); });
  }
  // revision: what the start information's S2 says of the server.
  void Handshake(const std::string& revision = "") {
    ConnectAndStart();
    TWireMessage info = Wire(7, "Srv", revision);
    info.F[0] = 3;
    info.F[1] = 2;
    server.Send(info);
    server.Send(Wire(9, "1"));
    server.Send(Wire(21, "150", "0.25"));
    TWireMessage state = Wire(4, "Host", "1", "0");
    state.F[1] = 10;
    state.F[3] = 1;
    state.F[4] = 2;
    state.F[5] = -1;
    server.Send(state);
    server.Send(Wire(23, "2"));
    ASSERT_TRUE(PollUntil([&] { return Characters && Characters->At(0)->Name == "Host" && Characters->LocalIndex == 2; }));
  }

  TWireServer server;
  TGameSettings settings;
  std::vector<std::string> levels, errors;
};

}  // namespace

TEST_F(NetClientTest, StartsTheNamedLevelAndCompletesTheHandshake) {
  Handshake();
  EXPECT_EQ(levels, std::vector<std::string>{"arena"});
  const TWireMessage* ready = server.Find(1);
  ASSERT_NE(ready, nullptr);
  EXPECT_EQ(ready->F[0], Network->Client->LocalUDPPort);
  EXPECT_EQ(Characters->Count, 3);
  EXPECT_FALSE(Characters->At(1)->InUse);
  EXPECT_EQ(Characters->LocalCharacter->Name, "Alice");
  EXPECT_TRUE(Network->Client->Started);
  EXPECT_EQ(settings.Gravity, 150);
  EXPECT_EQ(settings.Speed, 0.25);
  EXPECT_EQ(Characters->At(0)->ModelNr, 10);
  EXPECT_EQ(Characters->At(0)->Team, 1);
  EXPECT_EQ(Characters->At(0)->PistolIndex, 2);
  EXPECT_NE(std::find(console.begin(), console.end(), "Welcome on the Server: \"Srv\"!"), console.end());

  // Its own state goes out within the next state send.
  Network->SendStates();
  ASSERT_TRUE(PollUntil([&] { return server.Find(3) != nullptr; }));
  EXPECT_EQ(server.Find(3)->S[0], "Alice");

  // Positions both ways: its own while alive, the others' from the server's UDP port only.
  Characters->LocalCharacter->SetHealth(100);
  Characters->LocalCharacter->SetPosition(1, 2, 3);
  Network->SendPositions();
  uint8_t buf[64];
  sockaddr_in from{};
  socklen_t n = sizeof from;
  pollfd p{server.udp, POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 1000), 1);
  ASSERT_EQ(::recvfrom(server.udp, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &n), 24);
  EXPECT_EQ(WireFloat(buf), 1.0f);
  EXPECT_EQ(WireFloat(buf + 8), 3.0f);
  EXPECT_EQ(buf[20], 1);
  EXPECT_EQ(buf[21], 2);
  EXPECT_EQ(ntohs(from.sin_port), Network->Client->LocalUDPPort);

  const float where[5] = {5, 6, 7, 90, 10};
  sockaddr_in to = Loopback(Network->Client->LocalUDPPort);
  auto d = WireDatagram(where, 77, 0);
  TWirePeer stranger(server.TCPPort);  // a datagram from another port is not the server's
  stranger.SendDatagram(Network->Client->LocalUDPPort, WireDatagram(where, 1, 1));
  ::sendto(server.udp, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  ASSERT_TRUE(PollUntil([&] { return Characters->At(0)->X == 5; }));
  EXPECT_EQ(Characters->At(0)->Health, 77);
  EXPECT_EQ(Characters->At(0)->Yaw, 90);
  EXPECT_EQ(Characters->At(1)->X, 0);
}

TEST_F(NetClientTest, AStateBeforeTheStartInformationIsIgnored) {
  ConnectAndStart();
  TWireMessage state = Wire(4, "Early", "0", "0");
  server.Send(state);
  server.Send(Wire(5, "marker"));
  ASSERT_TRUE(PollUntil([&] { return std::find(console.begin(), console.end(), "marker") != console.end(); }));
  EXPECT_NE(Characters->At(0)->Name, "Early");
}

TEST_F(NetClientTest, ALevelNameThatIsNoPlainMapDirectoryEndsTheSession) {
  for (const std::string& bad : std::vector<std::string>{"../arena", "a/b", "a\\b", "..", "missing", std::string(26, 'a')}) {
    errors.clear();
    TWireServer fresh;  // a new connection each round
    ASSERT_TRUE(Network->StartClient("127.0.0.1", fresh.TCPPort, fresh.UDPPort, "Alice"));
    ASSERT_TRUE(Until([&] { Network->Poll(); }, [&] { return fresh.Accept() && Network->Client->Connected(); }));
    fresh.Send(Wire(2, bad));
    ASSERT_TRUE(Until([&] { Network->Poll(); }, [&] { return !errors.empty(); })) << bad;
    EXPECT_EQ(errors[0], "Map konnte nicht gefunden werden: " + bad.substr(0, 25));
    EXPECT_FALSE(Network->IsClient);
    EXPECT_TRUE(levels.empty());
  }
}

TEST_F(NetClientTest, ServerFullAndServerGoneEndTheSessionWithTheirTexts) {
  ConnectAndStart();
  server.Send(Wire(1));
  ASSERT_TRUE(PollUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors[0], "Client: Server is full");
  EXPECT_FALSE(Network->IsClient);
}

TEST_F(NetClientTest, ConnectingNeverBlocksAndEndsWithTheOpenError) {
  // Refused at once: nothing listens on the port.
  const uint16_t closedPort = [] {
    TWireServer s;
    return s.TCPPort;
  }();
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Network->StartClient("127.0.0.1", closedPort, 0, "Alice"));
  ASSERT_TRUE(Until([&] { Network->Poll(); }, [&] { return !errors.empty(); }));
  EXPECT_EQ(errors[0], "SDLNet_TCP_Open: Connection refused (no game at 127.0.0.1:" + std::to_string(closedPort) + ")");

  // A server that never answers: its accept queue is full, so the handshake
  // never completes. Each call returns at once; the timeout ends it.
  TWireServer silent(0);
  std::vector<int> filler;
  for (int i = 0; i < 4; ++i) {
    filler.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    sockaddr_in a = Loopback(silent.TCPPort);
    ::connect(filler.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  errors.clear();
  ASSERT_TRUE(Network->StartClient("127.0.0.1", silent.TCPPort, 0, "Alice"));
  Network->Client->ConnectTimeoutMs = 300;
  double longestCallMs = 0;
  start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Until([&] {
    auto t = std::chrono::steady_clock::now();
    Network->Poll();
    longestCallMs = std::max(longestCallMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
  }, [&] { return !errors.empty(); }));
  // A blocking connect would take the whole 300 ms timeout in one call.
  EXPECT_LT(longestCallMs, 150);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  EXPECT_EQ(errors[0], "SDLNet_TCP_Open: Connection timed out (no game at 127.0.0.1:" +
                           std::to_string(silent.TCPPort) + ")");
  for (int fd : filler) ::close(fd);
}

// A server of this revision stamps its datagrams and counts each character's
// shots in their top bits: the client hears a shot where the shooter is,
// once per change of the count, never from an overtaken datagram, and draws
// the character a little behind its newest sample.
TEST_F(NetClientTest, AStampedServersShotCountsAreHeardWhereTheShooterIs) {
  std::vector<TVec3> heard;
  GameHooks.ShotHeard = [&](const TVec3& where) { heard.push_back(where); };
  Handshake("2");
  EXPECT_EQ(server.Find(1)->S[0], "2");  // the ready message says the client stamps too
  sockaddr_in to = Loopback(Network->Client->LocalUDPPort);
  auto send = [&](float x, uint16_t stamp, int shots) {
    const float v[5] = {x, 2, 0, 0, 0};
    auto d = WireDatagram(v, 100, 0);
    const uint16_t bits = static_cast<uint16_t>(stamp | shots << 14);
    d[22] = static_cast<uint8_t>(bits & 0xFF);
    d[23] = static_cast<uint8_t>(bits >> 8);
    ::sendto(server.udp, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    ASSERT_TRUE(PollUntil([&] { return Characters->At(0)->X == x; }));
  };
  send(1, 1000, 0);
  send(2, 1040, 0);
  EXPECT_TRUE(heard.empty());
  send(3, 1080, 1);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].x, Characters->At(0)->HeadSphere.Centre.x);
  send(4, 1060, 2);  // overtaken on the way: older news
  send(5, 1120, 1);
  EXPECT_EQ(heard.size(), 1u);
  send(6, 1160, 2);
  EXPECT_EQ(heard.size(), 2u);
  // Drawn behind the newest sample, where the samples put it.
  const TViewPose drawn = Characters->At(0)->DrawnPose();
  EXPECT_GE(drawn.Position.x, 1);
  EXPECT_LT(drawn.Position.x, 6);
}

// A client records what its server sends while the game goes on: the
// standard demo's stream reaches it over loopback as from its server, each
// group of records at its moment (its own character's datagrams left out, as
// a server does). Played back, the recording shows every character where
// the live client had it at the same moments.
TEST_F(NetClientTest, ADemoRecordedOnAClientPlaysTheSameAsTheLiveGame) {
  std::filesystem::create_directories(dir / "data/maps/compound");
  TDemo source;
  std::string error;
  ASSERT_TRUE(ReadDemo(GRIMVALE_BIN_DIR "/data/demos/standard.dem", source, error)) << error;
  const uint32_t base = 100000;
  uint32_t now = base;
  struct TClockBack {
    ~TClockBack() { SetTickSource(nullptr); }
  } clockBack;
  SetTickSource([&now] { return now; });
  ConnectAndStart("compound");
  ASSERT_NE(Characters, nullptr);
  Characters->Tick(now, true);
  TDemoRecorder recorder;
  const std::string path = dir / "client.dem";
  ASSERT_TRUE(recorder.Start(path, error)) << error;

  struct TPose {
    float X, Y, Z;
    bool Dead;
  };
  std::map<uint32_t, std::map<int32_t, TPose>> live;
  auto poses = [] {
    std::map<int32_t, TPose> out;
    for (int32_t i = 0; i < Characters->Count; ++i)
      if (const TCharacter* c = Characters->At(i); c->InUse) out[i] = {c->X, c->Y, c->Z, c->Dead};
    return out;
  };
  const sockaddr_in to = Loopback(Network->Client->LocalUDPPort);
  size_t at = source.FirstRecord;
  TDemoRecord r;
  uint32_t groupTime = UINT32_MAX, nextCheckpoint = 0;
  uint64_t expected = recorder.Bytes();
  auto delivered = [&] { return PollUntil([&] { return recorder.Bytes() >= expected; }); };
  while (NextRecord(source, at, r)) {
    if (r.Time != groupTime) {
      ASSERT_TRUE(delivered()) << "at " << groupTime << " ms";
      if (groupTime != UINT32_MAX && groupTime >= nextCheckpoint) {
        live[groupTime] = poses();
        nextCheckpoint = groupTime + 500;
      }
      groupTime = r.Time;
      now = base + r.Time;
      Characters->Tick(now, true);
      recorder.Frame();
      expected = recorder.Bytes();
    }
    if (r.Kind == TDemoKind::Message) {
      TWireMessage m;
      m.Code = r.Message.Code;
      m.S[0] = r.Message.S1;
      m.S[1] = r.Message.S2;
      m.S[2] = r.Message.S3;
      std::copy(r.Message.F, r.Message.F + 6, m.F);
      server.Send(m);
      expected += 5 + kMessageSize;
    } else if (r.Kind == TDemoKind::Datagram && r.Datagram.Index != Characters->LocalIndex) {
      uint8_t bytes[kDatagramSize];
      EncodeDatagram(r.Datagram, bytes);
      ::sendto(server.udp, bytes, kDatagramSize, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
      expected += 5 + kDatagramSize;
    }
  }
  ASSERT_TRUE(delivered());
  ASSERT_TRUE(recorder.Stop());
  ASSERT_GE(live.size(), 20u);
  EXPECT_EQ(Characters->LocalIndex, 1);  // the standard demo's eyes: its first bot

  TDemo recorded;
  ASSERT_TRUE(ReadDemo(path, recorded, error)) << error;
  Network->Close();
  MakeCharacters();
  Characters = characters.get();
  TDemoPlayer player(*Network, std::move(recorded));
  player.Begin();
  int32_t compared = 0;
  for (const auto& [time, expectedPoses] : live) {
    now = base + 1000000 + time;
    Characters->Tick(now, true);
    player.PlayUntil(time);
    for (const auto& [index, pose] : expectedPoses) {
      const TCharacter* c = Characters->At(index);
      ASSERT_NE(c, nullptr) << index << " at " << time << " ms";
      EXPECT_EQ(c->Dead, pose.Dead) << index << " at " << time << " ms";
      EXPECT_EQ(c->X, pose.X) << index << " at " << time << " ms";
      EXPECT_EQ(c->Z, pose.Z) << index << " at " << time << " ms";
      ++compared;
    }
  }
  EXPECT_GE(compared, 16 * 20);
}

TEST_F(NetClientTest, ConnectLooksANameUpOffTheFrameAndNamesAHostThatDoesNotResolve) {
  Network->Connect("localhost", server.TCPPort, server.UDPPort, "Alice");
  EXPECT_TRUE(Network->Resolving());
  EXPECT_FALSE(Network->IsClient) << "the client waits for the name";
  ASSERT_TRUE(PollUntil([&] { return server.Accept() && Network->Client && Network->Client->Connected(); }));
  EXPECT_EQ(Network->Client->Host, "localhost");
  EXPECT_TRUE(errors.empty());

  // A label longer than the name system allows: refused before any query
  // leaves this machine.
  const std::string unknown = std::string(64, 'x') + ".invalid";
  Network->Connect(unknown, server.TCPPort, server.UDPPort, "Alice");
  EXPECT_FALSE(Network->IsClient) << "the old session ends at once";
  ASSERT_TRUE(PollUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors[0], "Unknown host: " + unknown);
  EXPECT_FALSE(Network->IsClient);
  EXPECT_FALSE(Network->Resolving());

  // A lookup the player gave up (the menu started something else) starts nothing.
  errors.clear();
  Network->Connect("localhost", server.TCPPort, server.UDPPort, "Alice");
  Network->Close();
  PollUntil([] { return false; }, 300);
  EXPECT_FALSE(Network->IsClient);
  EXPECT_TRUE(errors.empty());
}
