// The send queue and the packet thread: order, nothing lost across hand-overs,
// output written before a socket closes, and a peer that stops reading fails
// alone: the server's frame never waits and the others keep receiving.
#include "net_fixture.h"

#include <sys/socket.h>

namespace {

// A connected pair: the collector writes to one end, the test reads the other.
struct TSocketPair {
  TSocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds); }
  ~TSocketPair() { ::close(fds[1]); }
  std::vector<uint8_t> ReadAll(size_t want, int timeoutMs = 3000) {
    std::vector<uint8_t> got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want && std::chrono::steady_clock::now() < end) {
      uint8_t buf[8192];
      const ssize_t n = ::recv(fds[1], buf, sizeof buf, MSG_DONTWAIT);
      if (n > 0) got.insert(got.end(), buf, buf + n);
      else if (n == 0) break;
      else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return got;
  }
  int fds[2];
};

std::vector<uint8_t> Numbered(uint32_t i) {
  std::vector<uint8_t> m(104, 0);
  std::memcpy(m.data(), &i, 4);
  return m;
}

}  // namespace

TEST(PacketThreadTest, ManyMessagesPushedWhileTheThreadWritesArriveWholeAndInOrder) {
  TPacketCollector packets;
  TSocketPair pair;
  auto c = packets.Add(pair.fds[0]);
  // More than the old 201-entry queue, pushed in bursts while the thread runs.
  constexpr uint32_t kCount = 600;
  std::vector<uint8_t> got;
  for (uint32_t i = 0; i < kCount; ++i) {
    ASSERT_TRUE(packets.Push(*c, Numbered(i).data(), 104));
    if (i % 50 == 0) {
      auto part = pair.ReadAll(0, 0);
      got.insert(got.end(), part.begin(), part.end());
    }
  }
  auto rest = pair.ReadAll(kCount * 104 - got.size());
  got.insert(got.end(), rest.begin(), rest.end());
  ASSERT_EQ(got.size(), kCount * 104);
  for (uint32_t i = 0; i < kCount; ++i) EXPECT_EQ(std::vector<uint8_t>(got.begin() + i * 104, got.begin() + (i + 1) * 104), Numbered(i));
}

TEST(PacketThreadTest, AClosedConnectionWritesWhatWasQueuedBeforeItsSocketCloses) {
  TPacketCollector packets;
  TSocketPair pair;
  auto c = packets.Add(pair.fds[0]);
  for (uint32_t i = 0; i < 300; ++i) packets.Push(*c, Numbered(i).data(), 104);
  packets.Close(c);
  EXPECT_FALSE(packets.Push(*c, Numbered(0).data(), 104));  // nothing after the close
  auto got = pair.ReadAll(300 * 104 + 1);
  EXPECT_EQ(got.size(), 300u * 104);  // everything, then the end of the stream
  ASSERT_TRUE(packets.WaitIdle(1000));
  EXPECT_EQ(packets.Count(), 0u);
}

TEST(PacketThreadTest, APeerThatTakesNothingFailsByOverflowOrAfterTheStallTime) {
  TPacketCollector packets(200);
  TSocketPair overflow, stall;
  int small = 4096;
  for (int fd : {overflow.fds[0], stall.fds[0]}) ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  auto a = packets.Add(overflow.fds[0]);
  auto b = packets.Add(stall.fds[0]);
  // Overflow: pushing never blocks; the push that would pass 64 KiB fails.
  size_t pushed = 0;
  while (packets.Push(*a, Numbered(0).data(), 104)) ++pushed;
  EXPECT_LE(pushed * 104, kMaxPendingBytes + 512 * 1024);  // what the kernel took plus the bound
  std::string why;
  EXPECT_TRUE(packets.Failed(*a, &why));
  EXPECT_EQ(why, "send queue overflow");
  // Stall: a little output that never leaves fails after StallMs.
  std::vector<uint8_t> filler(4096, 0);
  while (::send(stall.fds[0], filler.data(), filler.size(), MSG_DONTWAIT) > 0) {
  }
  ASSERT_TRUE(packets.Push(*b, Numbered(1).data(), 104));
  EXPECT_FALSE(packets.Failed(*b));
  EXPECT_TRUE(Until([] {}, [&] { return packets.Failed(*b); }, 2000));
  packets.Close(a);
  packets.Close(b);
  EXPECT_TRUE(packets.WaitIdle(1000));
}

TEST_F(NetServerTest, AStalledPeerIsDroppedWhileTheServerFrameAndTheOthersGoOnThread) {
  Serve(8, 1000);
  TWirePeer& good = Join("Good");
  TWirePeer& stalled = Join("Stalled", 0, 4096);
  const int32_t stalledSlot = static_cast<int32_t>(stalled.Find(7)->F[1]) - 1;
  stalled.Stalled = true;
  good.Received.clear();
  double longestFrameMs = 0;
  int sent = 0;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration droppedAfter{};
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
    const auto t = std::chrono::steady_clock::now();
    for (int i = 0; i < 8; ++i) Network->Broadcast(MakeMessage(ServerMsg::Chat, std::to_string(sent++)));
    Poll();
    longestFrameMs = std::max(longestFrameMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
    if (droppedAfter == std::chrono::steady_clock::duration{} && !Network->Server->Slot(stalledSlot))
      droppedAfter = std::chrono::steady_clock::now() - start;
    good.Drain();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_TRUE(PollUntil([&] { return good.CountOf(5) == sent; }));
  EXPECT_EQ(good.CountOf(9), 1);  // told the stalled one left
  std::vector<int> order;
  for (const auto& m : good.Received)
    if (m.Code == 5) order.push_back(std::stoi(m.S[0]));
  for (int i = 0; i < sent; ++i) ASSERT_EQ(order[static_cast<size_t>(i)], i);
  // A frame that waited on the stalled peer would wait for its whole second;
  // a machine busy on every core may hold a frame back a few tens of ms.
  EXPECT_LT(longestFrameMs, 250);
  EXPECT_GT(droppedAfter.count(), 0);
  EXPECT_LT(droppedAfter, std::chrono::milliseconds(2500));
  EXPECT_FALSE(Characters->At(stalledSlot + 1)->InUse);
}

TEST_F(NetServerTest, ThirtyTwoPeersJoiningAndLeaving200TimesLeaveEverySlotReusable) {
  Serve(33);
  for (int round = 0; round < 200; ++round) {
    for (int i = 0; i < 32; ++i) peers.push_back(std::make_unique<TWirePeer>(TCPPort()));
    ASSERT_TRUE(PollUntil([&] {
      for (auto& p : peers)
        if (!p->Find(2)) return false;
      return true;
    })) << round;
    ASSERT_EQ(Network->Server->ConnectedCount(), 32);
    peers.clear();
    ASSERT_TRUE(PollUntil([&] { return Network->Server->ConnectedCount() == 0; })) << round;
  }
  EXPECT_EQ(Network->Server->ClientCount, 32);
  EXPECT_EQ(Characters->Count, 33);
  EXPECT_TRUE(Network->Packets().WaitIdle(2000));
  EXPECT_EQ(Network->Packets().Count(), 0u);
}
