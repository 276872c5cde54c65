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

  // No bots: nothing but the host may make a sound. The host's side starts
  // the round.
  const std::string port = HostAlone(host);
  ASSERT_TRUE(host.WaitForLog("Server started at TCPport " + port, 60000))
      << "step: the host's server\n" << host.Log();
  host.Click(kTerroristX, kTerroristY);
  ASSERT_TRUE(host.WaitForLog("Round started: 1 terrorists", 10000)) << "step: the host plays\n" << host.Log();

  TImpairment impairment;
  impairment.DelayMs = kOneWayMs;
  const uint16_t relayPort = FreePort();
  const auto hostPort = static_cast<uint16_t>(std::stoi(port));
  TImpairProxy relay(hostPort, hostPort, impairment, relayPort);
  ASSERT_EQ(relay.ProxyTCPPort, relayPort);
  ASSERT_EQ(relay.ProxyUDPPort, relayPort);

  ClickAndWaitForChange(joiner, kJoinGameX, kJoinGameY, WaitForMainMenu(joiner), 0.2, "join-dialog");
  joiner.ReplaceField(kJoinPortX, kJoinPortY, std::to_string(relayPort));
  joiner.Click(kJoinX, kJoinY);
  ASSERT_TRUE(joiner.WaitForLog("Console: Welcome on the Server: ", 60000)) << "step: joined through the relay\n"
                                                                           << joiner.Log();
  joiner.Click(kCounterX, kCounterY);
  // Both play once the joiner is placed: at once in the round's join time,
  // else after the round its side ends at once.
  ASSERT_TRUE(WaitUntil([&] {
    return host.LogCount(" joins the running round") + host.LogCount("Round started: 1 terrorists, 1 counter") > 0;
  }, 20000)) << "step: the joiner plays\n" << host.Log();

  const TScreen hostView = host.Shot("before-buying");
  host.Key("b");
  TScreen shop;
  host.WaitForScreen("buy-window", [&](const TScreen& s) { return s.DifferenceTo(hostView) > 0.3; }, shop);
  host.Click(kSecondPistolX, kSecondPistolY);
  ASSERT_TRUE(host.WaitForLog("You successfully bought a ", 10000)) << "step: the host buys\n" << host.Log();
  host.Key("2");  // the pistol's slot
  host.Shot("armed");

  // The joiner stands still and plays nothing for a second and a half of its
  // sound; then the host fires.
  TWave before;
  ASSERT_TRUE(WaitUntil([&] { return before.Read(wave) && before.Bytes.size() > before.At(2.0); }, 30000))
      << "step: the joiner's sound goes to " << wave;
  const size_t quietStart = before.Bytes.size();
  ASSERT_TRUE(WaitUntil([&] { return before.Read(wave) && before.Bytes.size() >= quietStart + before.At(1.5) - before.DataStart; }, 30000));
  const size_t quietEnd = before.Bytes.size();
  for (int shot = 0; shot < 4; ++shot) {
    host.Click(400, 300);
    SleepForMs(400);  // the pistol's cadence
  }
  TWave after;
  EXPECT_TRUE(WaitUntil([&] { return after.Read(wave) && after.Peak(quietEnd, after.Bytes.size()) > 0.02; }, 15000))
      << "step: the joiner hears the host's shots";
  const double quiet = after.Peak(quietStart, quietEnd);
  const double shots = after.Peak(quietEnd, after.Bytes.size());
  EXPECT_LT(quiet, 0.01) << "step: the joiner hears nothing while nobody fires";
  EXPECT_GT(shots, 5 * quiet);

  // Both ends measure about twice the relay's one-way delay; a busy machine
  // adds its frames' time to it (up to a second on a machine loaded on
  // every core: the precise figures are the network suite's).
  joiner.Console({"netstat"});
  host.Console({"netstat"});
  ASSERT_TRUE(joiner.WaitForLog("server: rtt", 5000)) << joiner.Log();
  ASSERT_TRUE(host.WaitForLog(": rtt", 5000)) << host.Log();
  for (const int rtt : {RttOf(joiner.Log(), "server"), RttOf(host.Log(), "client [0-9]+")}) {
    EXPECT_GE(rtt, static_cast<int>(2 * kOneWayMs) - 10);
    EXPECT_LE(rtt, static_cast<int>(2 * kOneWayMs) + 1000);
  }
  const TScreen joinerView = joiner.Shot("joiner-playing");
  joiner.KeyDown("Tab");
  TScreen statistics;
  joiner.WaitForScreen("joiner-statistics", [&](const TScreen& s) { return s.DifferenceTo(joinerView) > 0.2; }, statistics, 3000);
  joiner.KeyUp("Tab");

  joiner.Console({"quit"});
  EXPECT_EQ(joiner.WaitForExit(20000), 0) << joiner.Log();
  host.Console({"quit"});
  EXPECT_EQ(host.WaitForExit(20000), 0) << host.Log();
}
