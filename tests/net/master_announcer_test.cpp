// When a public server's heartbeats go out, on a clock of the test's own, and
// the names of its masters looked up on the resolver's thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/discovery.h"
#include "net/master_announcer.h"
#include "wire_peer.h"

namespace {

struct TBeat {
  TServerAddress To;
  uint64_t At;
};

class MasterAnnouncerThread : public ::testing::Test {
 protected:
  void Poll(uint64_t at) {
    now = at;
    announcer.Poll(now, [this] { return players; }, [this](TServerAddress to, const std::string& bytes) {
      EXPECT_EQ(bytes, EncodeHeartbeat());
      beats.push_back({to, now});
    });
  }
  size_t BeatsAt(uint64_t at) const {
    size_t n = 0;
    for (const TBeat& b : beats) n += b.At == at;
    return n;
  }

  TMasterAnnouncer announcer;
  std::vector<TBeat> beats;
  uint64_t now = 0;
  int32_t players = 0;
};

}  // namespace

TEST_F(MasterAnnouncerThread, BeatsAtStartRegularlyOnPlayerChangesAtMostOnceAMinuteAndAtTheEnd) {
  ASSERT_NE(std::getenv(kDiscoveryLoopbackOnlyVariable), nullptr) << "the test binaries stay on this machine";
  announcer.Start({"127.0.0.1:5000", "127.0.0.2", "127.0.0.1:0", "10.1.2.3:5000"}, 0);
  // The start heartbeat goes out as each name is resolved, whenever that is.
  ASSERT_TRUE(Until([&] { Poll(0); }, [&] { return beats.size() == 2; }));
  EXPECT_TRUE(beats[0].To == (TServerAddress{0x7F000001, 5000}));
  EXPECT_TRUE(beats[1].To == (TServerAddress{0x7F000002, kDefaultMasterPort}));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Poll(0);
  EXPECT_EQ(beats.size(), 2u) << "a bad name and one beyond this machine get nothing";

  beats.clear();
  Poll(1000);  // the count as it starts
  players = 1;
  Poll(2000);
  EXPECT_EQ(BeatsAt(2000), 2u) << "the first change is told at once";
  players = 2;
  Poll(3000);
  players = 1;  // changed and back: still a change
  Poll(4000);
  Poll(61999);
  EXPECT_EQ(beats.size(), 2u) << "then at most once a minute";
  Poll(62000);
  EXPECT_EQ(BeatsAt(62000), 2u);
  Poll(200000);
  EXPECT_EQ(beats.size(), 4u) << "no change, no heartbeat";
  Poll(announcer.IntervalMs);
  EXPECT_EQ(BeatsAt(announcer.IntervalMs), 2u) << "the regular heartbeat";

  beats.clear();
  announcer.Stop([&](TServerAddress to, const std::string& bytes) {
    EXPECT_EQ(bytes, EncodeHeartbeat());
    beats.push_back({to, 0});
  });
  EXPECT_EQ(beats.size(), 2u);
  Poll(announcer.IntervalMs * 3);
  EXPECT_EQ(beats.size(), 2u) << "nothing after the end";
}

TEST(NameResolverThread, LooksUpOffTheCallersThreadWithABoundedQueue) {
  TNameResolver resolver;
  size_t queued = 0;
  for (size_t i = 0; i < 2 * TNameResolver::kMaxQueued; ++i) queued += resolver.Request("127.0.0.7:" + std::to_string(100 + i), 1);
  EXPECT_EQ(queued, TNameResolver::kMaxQueued) << "done but not taken counts too";
  std::vector<TNameResolver::TResult> results;
  ASSERT_TRUE(Until([&] {
    for (auto& r : resolver.Take()) results.push_back(r);
  }, [&] { return results.size() == queued; }));
  EXPECT_TRUE(results[0].Found);
  EXPECT_TRUE(results[0].Address == (TServerAddress{0x7F000007, 100}));

  EXPECT_TRUE(resolver.Request("127.0.0.7:65536", 1));
  EXPECT_TRUE(resolver.Request("127.0.0.7", 27950));
  results.clear();
  ASSERT_TRUE(Until([&] {
    for (auto& r : resolver.Take()) results.push_back(r);
  }, [&] { return results.size() == 2; }));
  EXPECT_FALSE(results[0].Found);
  EXPECT_TRUE(results[1].Found);
  EXPECT_EQ(results[1].Address.Port, 27950);
}
