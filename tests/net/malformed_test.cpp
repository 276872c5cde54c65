// What a hostile or broken peer sends: truncated messages, every code, bad
// length bytes, non-finite and absurd numbers, every index byte, a message in
// one-byte pieces. The server keeps serving the good peer throughout.
#include "net_fixture.h"

#include <cmath>
#include <limits>

#include "net/net_codec.h"

namespace {

class NetMalformedTest : public NetServerTest {
 protected:
  void SetUp() override {
    NetServerTest::SetUp();
    Serve(64);
    good = &Join("Good");
  }
  // The good peer still gets its chat relayed within the usual time.
  void ExpectGoodPeerServed() {
    const int before = good->CountOf(5);
    good->Send(Wire(2, "", "ping"));
    EXPECT_TRUE(PollUntil([&] { return good->CountOf(5) > before; }, 1000));
    for (int32_t i = 0; i < Characters->Count; ++i) {
      const TCharacter& c = *Characters->At(i);
      EXPECT_TRUE(std::isfinite(c.X) && std::isfinite(c.Y) && std::isfinite(c.Z) && std::isfinite(c.Yaw));
    }
  }
  int32_t SlotOf(const TWirePeer& p) { return static_cast<int32_t>(p.Find(7)->F[1]) - 1; }

  TWirePeer* good = nullptr;
};

const float kBadFloats[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 3e7f, -1e30f};

}  // namespace

TEST(NetCodec, LengthBytesAbove25AreGarbageAndEveryFieldSitsAtItsOffset) {
  TNetMessage m = MakeMessage(9, std::string(30, 'a'), "b", "");
  m.F[5] = -2.5f;
  uint8_t bytes[kMessageSize];
  EncodeMessage(m, bytes);
  TWireMessage w = WireDecode(bytes);
  EXPECT_EQ(w.S[0], std::string(25, 'a'));
  EXPECT_EQ(w.S[1], "b");
  EXPECT_EQ(w.F[5], -2.5f);
  EXPECT_EQ(WireEncode(w), std::vector<uint8_t>(bytes, bytes + kMessageSize));
  for (size_t at : {1, 27, 53})
    for (int length = 0; length < 256; ++length) {
      bytes[at] = static_cast<uint8_t>(length);
      TNetMessage back;
      EXPECT_EQ(DecodeMessage(bytes, back), length <= 25) << at << " " << length;
      bytes[at] = 0;
    }
}

TEST_F(NetMalformedTest, EveryTruncationOfAMessageIsDroppedWithItsPeer) {
  const std::vector<uint8_t> full = WireEncode(State("Cut", 0, 0));
  for (size_t k = 1; k < full.size(); ++k) {
    TWirePeer& p = Join("Victim");
    const int32_t slot = SlotOf(p);
    p.SendBytes(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(k)));
    p.Close();
    ASSERT_TRUE(PollUntil([&] { return Network->Server->Slot(slot) == nullptr; })) << k;
    EXPECT_EQ(Characters->At(slot + 1)->Name, "Victim");  // the cut state was never applied
    peers.pop_back();
  }
  ExpectGoodPeerServed();
}

TEST_F(NetMalformedTest, AllCodesAndBadLengthBytesNeitherCrashNorStopTheServer) {
  TWirePeer* p = &Join("Coder");
  for (int code = 0; code < 256; ++code) {
    TWireMessage m = Wire(static_cast<uint8_t>(code), "1", "1", "1");
    for (float& f : m.F) f = 1;
    p->Send(m);
    p->Send(Wire(2, "", "mark"));
    // Either the relay of the marker arrives, or the peer was dropped for
    // too many unknown codes; then a fresh one goes on.
    const int before = p->CountOf(5);
    ASSERT_TRUE(PollUntil([&] { return p->CountOf(5) > before || !p->Open; })) << code;
    if (!p->Open) p = &Join("Coder");
  }
  ExpectGoodPeerServed();

  // One bad length byte is garbage: its sender is dropped at once.
  for (size_t at : {1, 27, 53}) {
    TWirePeer& bad = Join("Liar");
    std::vector<uint8_t> b = WireEncode(Wire(2, "", "x"));
    b[at] = 26;
    bad.SendBytes(b);
    ASSERT_TRUE(PollUntil([&] { return !bad.Open; }));
  }
  ExpectGoodPeerServed();
}

TEST_F(NetMalformedTest, NonFiniteAndAbsurdNumbersInStatesShotsAndDatagramsAreIgnored) {
  TWirePeer& p = Join("Num");
  const int32_t me = SlotOf(p) + 1;
  TCharacter& c = *Characters->At(me);
  c.SetHealth(100);  // alive: a dead player's datagrams move nothing
  c.SetPosition(0, 1.7f, 0);
  for (int field : {0, 1, 3, 4, 5})
    for (float bad : kBadFloats) {
      TWireMessage m = State("Changed", 1, 10);
      m.F[field] = bad;
      p.Send(m);
    }
  for (int field = 0; field < 6; ++field)
    for (float bad : kBadFloats) {
      TWireMessage shot = Wire(4);
      shot.F[3] = 1;
      shot.F[field] = bad;
      p.Send(shot);
    }
  for (int field = 0; field < 5; ++field)
    for (float bad : kBadFloats) {
      float v[5] = {1, 2, 3, 4, 5};
      v[field] = bad;
      p.SendDatagram(UDPPort(), WireDatagram(v, 1, static_cast<uint8_t>(me)));
    }
  ExpectGoodPeerServed();
  EXPECT_EQ(c.Name, "Num");
  EXPECT_TRUE(p.Open);
  EXPECT_EQ(c.X, 0);
  const float fine[5] = {0.5f, 1.7f, 0.5f, 4, 5};  // a step the movement rules allow
  p.SendDatagram(UDPPort(), WireDatagram(fine, 1, static_cast<uint8_t>(me)));
  ASSERT_TRUE(PollUntil([&] { return c.X == 0.5f; }));
  EXPECT_EQ(c.Yaw, 4);
}

TEST_F(NetMalformedTest, ADatagramMovesOnlyTheSendersOwnCharacterAndOnlyFromItsAddress) {
  TWirePeer& p = Join("Mover");
  const int32_t me = SlotOf(p) + 1;
  Characters->At(0)->SetPosition(9, 9, 9);
  const float v[5] = {1, 2, 3, 0, 0};
  for (int index = 0; index < 256; ++index)
    if (index != me) p.SendDatagram(UDPPort(), WireDatagram(v, 1, static_cast<uint8_t>(index)));
  // The right index from another socket of the same machine is not the peer's.
  TWirePeer stranger(TCPPort());
  stranger.SendDatagram(UDPPort(), WireDatagram(v, 1, static_cast<uint8_t>(me)));
  ExpectGoodPeerServed();
  for (int32_t i = 0; i < Characters->Count; ++i) EXPECT_NE(Characters->At(i)->X, 1) << i;
  EXPECT_EQ(Characters->At(0)->X, 9);
}

TEST_F(NetMalformedTest, AMessageInOneBytePiecesOverTwoSecondsIsHandledOnceWhole) {
  TWirePeer& slow = Join("Slow");
  const std::vector<uint8_t> bytes = WireEncode(Wire(2, "", "slowly"));
  double longestPollMs = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    slow.SendBytes({bytes[i]});
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(19);
    while (std::chrono::steady_clock::now() < until) {
      const auto t = std::chrono::steady_clock::now();
      Poll();
      longestPollMs = std::max(longestPollMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
      good->Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (i + 1 < bytes.size()) {
      EXPECT_EQ(good->CountOf(5), 0);
    }
  }
  ASSERT_TRUE(PollUntil([&] { return good->CountOf(5) == 1; }));
  EXPECT_EQ(good->Find(5)->S[0], "<>Slow: slowly");
  // A read that waited for the rest would never return: this thread sends
  // it. The bound only guards against a poll that waits for a while.
  EXPECT_LT(longestPollMs, 250);
  ExpectGoodPeerServed();
}
