// Demos in simulated time: a bot match recorded on a listen server plays back
// with every character where the server had it at the same moments, and a
// recording cut short plays up to where it stops.
#include "core/game_settings.h"
#include "game/demo_player.h"
#include "game/demo_recorder.h"
#include "game/ki.h"
#include "game/net_rules.h"
#include "game_fixture.h"
#include "net/network_timers.h"

#include <cmath>
#include <map>

namespace {

struct TPose {
  float X, Y, Z, Yaw;
  bool Dead;
};
// Moment (demo time) -> character index -> where it stood.
using TCheckpoints = std::map<uint32_t, std::map<int32_t, TPose>>;

class DemoTest : public GameTest {
 protected:
  void TearDown() override {
    SetTickSource(nullptr);
    Characters = nullptr;
    NetRuleHooks = {};
    GameTest::TearDown();
  }

  std::map<int32_t, TPose> Poses() const {
    std::map<int32_t, TPose> out;
    for (int32_t i = 0; i < characters->Count; ++i)
      if (const TCharacter* c = characters->At(i); c->InUse) out[i] = {c->X, c->Y, c->Z, c->Yaw, c->Dead};
    return out;
  }

  // A listen server with its idle player and 7 bots on the compound; the
  // recording starts 3 s into the match and lasts `seconds`. Checkpoints are
  // taken each half second right after the positions went out.
  TCheckpoints RecordMatch(const std::string& path, uint32_t seconds) {
    ShippedLevel("compound");
    StartServer();
    NetRuleHooks.Settings = &settings;
    RandomSeed(7);
    MakeCharacters();
    Characters = characters.get();
    InstallNetRules(*Network);
    uint32_t now = 100000;
    SetTickSource([&now] { return now; });
    characters->Tick(now, true);
    characters->LocalCharacter->SetModel(0);
    characters->LocalCharacter->SetName("Host");
    TKI ki(characters.get());
    for (int i = 0; i < 7; ++i) ki.AddBot();
    TNetworkTimers timers;
    TDemoRecorder recorder;
    TCheckpoints checkpoints;
    const uint32_t recordAt = now + 3000, stopAt = recordAt + seconds * 1000;
    bool recording = false;
    while (now < stopAt) {
      now += 16;
      characters->Tick(now, true);
      ki.Think(now, 16);
      if (!recording && now >= recordAt) {
        std::string error;
        EXPECT_TRUE(recorder.Start(path, error)) << error;
        recording = true;
      }
      const uint32_t sentBefore = timers.LastPositionSend;
      timers.Tick(*Network, now);
      if (!recording) continue;
      recorder.Frame();
      if (timers.LastPositionSend != sentBefore && recorder.Time() / 500 != lastCheckpoint) {
        lastCheckpoint = recorder.Time() / 500;
        checkpoints[recorder.Time()] = Poses();
      }
    }
    EXPECT_TRUE(recorder.Stop());
    // The server's world goes; playback builds its own.
    Network->Close();
    characters.reset();
    Characters = nullptr;
    return checkpoints;
  }

  // Plays the demo as a client would and compares at every checkpoint.
  void ExpectPlaysAsRecorded(const std::string& path, const TCheckpoints& checkpoints) {
    TDemo demo;
    std::string error;
    ASSERT_TRUE(ReadDemo(path, demo, error)) << error;
    EXPECT_EQ(demo.Level, "compound");
    MakeCharacters();
    Characters = characters.get();
    TDemoPlayer player(*Network, std::move(demo));
    player.Begin();
    uint32_t now = 500000;
    SetTickSource([&now] { return now; });
    int32_t deaths = 0;
    for (const auto& [at, poses] : checkpoints) {
      now = 500000 + at;
      characters->Tick(now, true);
      player.PlayUntil(at);
      for (const auto& [index, pose] : poses) {
        const TCharacter* c = characters->At(index);
        ASSERT_NE(c, nullptr) << "character " << index << " at " << at << " ms";
        EXPECT_EQ(c->Dead, pose.Dead) << "character " << index << " at " << at << " ms";
        if (pose.Dead) {
          ++deaths;
          continue;
        }
        EXPECT_EQ(c->X, pose.X) << "character " << index << " at " << at << " ms";
        EXPECT_EQ(c->Y, pose.Y);
        EXPECT_EQ(c->Z, pose.Z);
        EXPECT_EQ(c->Yaw, pose.Yaw);
      }
    }
    EXPECT_GT(deaths, 0) << "the match should have had fights";
    EXPECT_EQ(characters->At(0)->Name, "Host");
    EXPECT_EQ(characters->LocalIndex, 0);
    player.PlayUntil(1e9);
    EXPECT_TRUE(player.Finished());
    // Nothing reached the network: the demo's session has no socket.
    EXPECT_FALSE(Network->Client->Connected());
  }

  TGameSettings settings;
  uint32_t lastCheckpoint = UINT32_MAX;
};

TEST_F(DemoTest, AListenServersBotMatchPlaysBackWithEveryCharacterWhereItWas) {
  const std::string path = dir / "match.dem";
  const TCheckpoints checkpoints = RecordMatch(path, 40);
  ASSERT_GE(checkpoints.size(), 70u);
  ExpectPlaysAsRecorded(path, checkpoints);
}

// Character 1 walks along x, one unit each 100 ms of the demo, for 2 s; the
// end record is left to the caller.
std::vector<TDemoRecord> WalkRecords() {
  std::vector<TDemoRecord> records(1);
  records[0].Kind = TDemoKind::Message;
  records[0].Message = MakeMessage(ServerMsg::StartInfo, "Server");
  records[0].Message.F[0] = 2;
  for (uint32_t t = 0; t <= 2000; t += 100) {
    TDemoRecord r;
    r.Time = t;
    r.Kind = TDemoKind::Datagram;
    r.Datagram = {static_cast<float>(t / 100), 0, 0, 0, 0, 100, 1, 0};
    records.push_back(r);
  }
  return records;
}

TEST_F(DemoTest, PauseHoldsTheDemoAndSpeedScalesItsClock) {
  std::vector<TDemoRecord> records = WalkRecords();
  TDemoRecord end;
  end.Time = 3000;
  records.push_back(end);
  TDemo demo;
  std::string error;
  ASSERT_TRUE(ParseDemo(EncodeDemo("arena", records), demo, error)) << error;
  MakeCharacters();
  Characters = characters.get();
  InstallNetRules(*Network);
  TDemoPlayer player(*Network, std::move(demo));
  player.Begin();
  auto x = [&] { return Characters->At(1) ? Characters->At(1)->X : -1.0f; };

  player.SetSpeed(2);
  player.Advance(250);
  EXPECT_EQ(x(), 5);
  player.Paused = true;
  player.Advance(1000);
  EXPECT_EQ(x(), 5);
  EXPECT_EQ(player.Time(), 500);
  player.Paused = false;
  player.SetSpeed(10);
  EXPECT_EQ(player.Speed, TDemoPlayer::kMaxSpeed);
  player.Advance(250);
  EXPECT_EQ(x(), 15);
  player.SetSpeed(0.01);
  EXPECT_EQ(player.Speed, TDemoPlayer::kMinSpeed);
  player.SetSpeed(std::nan(""));
  EXPECT_EQ(player.Speed, TDemoPlayer::kMinSpeed);
  player.Advance(1000);  // 250 ms of the demo
  EXPECT_EQ(x(), 17);
  EXPECT_FALSE(player.Finished());
  player.Advance(100000);
  EXPECT_EQ(x(), 20);
  EXPECT_TRUE(player.Finished());
}

// A recording killed before its end record: cut within the record of 1.5 s,
// or right after it. Either plays to 1.5 s, says so once, and ends there.
TEST_F(DemoTest, ADemoCutShortPlaysToItsLastWholeRecordWithAWarning) {
  const std::vector<TDemoRecord> walk = WalkRecords();
  const std::vector<TDemoRecord> upTo1500(walk.begin(), walk.begin() + 17);  // the info and 0..1500 ms
  const std::vector<uint8_t> whole = EncodeDemo("arena", upTo1500);
  const std::vector<uint8_t> withNext = EncodeDemo("arena", std::vector<TDemoRecord>(walk.begin(), walk.begin() + 18));
  for (const size_t cut : {whole.size(), whole.size() + 12}) {
    SCOPED_TRACE(cut);
    TempDir files;
    const std::string path = files / "cut.dem";
    WriteFile(path, std::string(withNext.begin(), withNext.begin() + static_cast<std::ptrdiff_t>(cut)));
    TDemo demo;
    std::string error;
    ASSERT_TRUE(ReadDemo(path, demo, error)) << error;
    EXPECT_EQ(demo.Duration, 1500u);
    MakeCharacters();
    Characters = characters.get();
    InstallNetRules(*Network);
    console.clear();
    TDemoPlayer player(*Network, std::move(demo));
    player.Begin();
    ASSERT_EQ(console.size(), 1u);
    EXPECT_EQ(console[0], "Demo warning: " + path + ": cut short at byte " + std::to_string(whole.size()) +
                              " (no end record): it plays to 1.5 s");
    player.PlayUntil(1e9);
    EXPECT_TRUE(player.Finished());
    EXPECT_EQ(Characters->At(1)->X, 15);
    Network->Close();
  }
}

}  // namespace
