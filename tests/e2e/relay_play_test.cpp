// Two real games through the impairment relay: a host on its own screen and a
// joiner that reaches it only through a 50 ms one-way delay. The joiner hears
// the host's shots (its OpenAL output goes to a wave file, read back here),
// and the round trip each side measures lies near the relay's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

#include "../net/impair_proxy.h"
#include "e2e_support.h"
#include "screen_positions.h"

namespace {

constexpr uint32_t kOneWayMs = 50;

// The loudest sample of a wave file's data from byte offset `from` to `to`
// (0: its end), as a share of full scale. The writer's header sizes are
// only final once it closes, so the data runs to the file's end.
struct TWave {
  std::vector<char> Bytes;
  size_t DataStart = 0;
  int Bits = 0;
  bool Float = false;
  int Channels = 0, Rate = 0;

  bool Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes.assign(std::istreambuf_iterator<char>(in), {});
    for (size_t at = 12; at + 8 <= Bytes.size();) {
      uint32_t size;
      std::memcpy(&size, &Bytes[at + 4], 4);
      if (!std::memcmp(&Bytes[at], "fmt ", 4) && at + 24 <= Bytes.size()) {
        uint16_t format, channels, bits;
        uint32_t rate;
        std::memcpy(&format, &Bytes[at + 8], 2);
        std::memcpy(&channels, &Bytes[at + 10], 2);
        std::memcpy(&rate, &Bytes[at + 12], 4);
        std::memcpy(&bits, &Bytes[at + 22], 2);
        if (format == 0xFFFE && at + 34 <= Bytes.size()) std::memcpy(&format, &Bytes[at + 32], 2);
        Float = format == 3;
        Channels = channels, Rate = static_cast<int>(rate), Bits = bits;
      }
      if (!std::memcmp(&Bytes[at], "data", 4)) {
        DataStart = at + 8;
        return Bits == 16 || Bits == 32;
      }
      at += 8 + size;
    }
    return false;
  }
  size_t FrameBytes() const { return static_cast<size_t>(Channels * Bits / 8); }
  // Byte offset of the frame `seconds` into the data.
  size_t At(double seconds) const { return DataStart + static_cast<size_t>(seconds * Rate) * FrameBytes(); }
  double Peak(size_t from, size_t to) const {
    double peak = 0;
    to = std::min(to, Bytes.size());
    for (size_t at = from; at + Bits / 8 <= to; at += Bits / 8) {
      double v;
      if (Bits == 16) {
        int16_t s;
        std::memcpy(&s, &Bytes[at], 2);
        v = s / 32768.0;
      } else if (Float) {
        float f;
        std::memcpy(&f, &Bytes[at], 4);
        v = f;
      } else {
        int32_t s;
        std::memcpy(&s, &Bytes[at], 4);
        v = s / 2147483648.0;
      }
      peak = std::max(peak, std::fabs(v));
    }
    return peak;
  }
};

// The round trip of the first line of `netstat` naming `who` in the log.
int RttOf(const std::string& log, const std::string& who) {
  std::smatch m;
  if (!std::regex_search(log, m, std::regex(who + ": rtt ([0-9]+) ms"))) return -1;
  return std::stoi(m[1]);
}

}  // namespace

TEST(EndToEnd, AJoinerThroughTheRelayHearsTheHostsShotsAndSeesItsPing) {
  TXServer hostScreen, joinScreen;
  E2E_REQUIRE_X(hostScreen.Running() && joinScreen.Running());
  TempDir sound;
  const std::string wave = sound / "joiner.wav", conf = sound / "alsoft.conf";
  {
    std::ofstream(conf) << "[wave]\nfile = " << wave << "\n";
  }
  TGameProcess host(hostScreen, "relay-host");
  std::unique_ptr<TGameProcess> joinerProcess;
  {
    // Only the joiner writes what it plays to a file.
    TScopedEnv driver("ALSOFT_DRIVERS", "wave"), config("ALSOFT_CONF", conf.c_str());
    joinerProcess = std::make_unique<TGameProcess>(joinScreen, "relay-joiner");
  }
  TGameProcess& joiner = *joinerProcess;
  ASSERT_TRUE(host.WaitForLog("The Initialization has been done")) << "step: host start\n" << host.Log();
  ASSERT_TRUE(joiner.WaitForLog("The Initialization has been done")) << "step: joiner start\n" << joiner.Log();
  SleepForMs(1500);

  // No bots: nothing but the host may make a sound.
  const std::string port = HostAlone(host);
  ASSERT_TRUE(host.WaitForLog("Server started at TCPport " + port, 60000))
      << "step: the host's server\n" << host.Log();
  SleepForMs(1500);
  host.Click(kTerroristX, kTerroristY);

  TImpairment impairment;
  impairment.DelayMs = kOneWayMs;
  const uint16_t relayPort = FreePort();
  const auto hostPort = static_cast<uint16_t>(std::stoi(port));
  TImpairProxy relay(hostPort, hostPort, impairment, relayPort);
  ASSERT_EQ(relay.ProxyTCPPort, relayPort);
  ASSERT_EQ(relay.ProxyUDPPort, relayPort);

  joiner.Click(kJoinGameX, kJoinGameY);
  SleepForMs(1000);
  joiner.ReplaceField(kJoinPortX, kJoinPortY, std::to_string(relayPort));
  joiner.Click(kJoinX, kJoinY);
  ASSERT_TRUE(joiner.WaitForLog("Console: Welcome on the Server: ", 60000)) << "step: joined through the relay\n"
                                                                           << joiner.Log();
  SleepForMs(1500);
  joiner.Click(kCounterX, kCounterY);
  // The round with both players starts after the 5 s pause.
  SleepForMs(7000);
  host.Key("b");
  SleepForMs(1000);
  host.Click(kSecondPistolX, kSecondPistolY);
  SleepForMs(500);
  host.Key("2");  // the pistol's slot
  SleepForMs(500);
  host.Shot("armed");

  // The joiner stands still and plays nothing; then the host fires.
  SleepForMs(2500);
  TWave before;
  ASSERT_TRUE(before.Read(wave)) << "step: the joiner's sound goes to " << wave;
  const size_t quietEnd = before.Bytes.size();
  for (int shot = 0; shot < 4; ++shot) {
    host.Click(400, 300);
    SleepForMs(400);
  }
  SleepForMs(1000);
  TWave after;
  ASSERT_TRUE(after.Read(wave));
  const size_t quietSpan = after.At(1.5) - after.DataStart;
  const double quiet = after.Peak(std::max(after.DataStart, quietEnd - std::min(quietEnd, quietSpan)), quietEnd);
  const double shots = after.Peak(quietEnd, after.Bytes.size());
  EXPECT_LT(quiet, 0.01) << "step: the joiner hears nothing while nobody fires";
  EXPECT_GT(shots, 0.02) << "step: the joiner hears the host's shots";
  EXPECT_GT(shots, 5 * quiet);

  // Both ends measure about twice the relay's one-way delay; a busy machine
  // adds its frames' time to it.
  joiner.Console({"netstat"});
  host.Console({"netstat"});
  ASSERT_TRUE(joiner.WaitForLog("server: rtt", 5000)) << joiner.Log();
  ASSERT_TRUE(host.WaitForLog(": rtt", 5000)) << host.Log();
  for (const int rtt : {RttOf(joiner.Log(), "server"), RttOf(host.Log(), "client [0-9]+")}) {
    EXPECT_GE(rtt, static_cast<int>(2 * kOneWayMs) - 10);
    EXPECT_LE(rtt, static_cast<int>(2 * kOneWayMs) + 160);
  }
  joiner.KeyDown("Tab");
  SleepForMs(800);
  joiner.Shot("joiner-statistics");
  joiner.KeyUp("Tab");

  joiner.Console({"quit"});
  EXPECT_EQ(joiner.WaitForExit(20000), 0) << joiner.Log();
  host.Console({"quit"});
  EXPECT_EQ(host.WaitForExit(20000), 0) << host.Log();
}
