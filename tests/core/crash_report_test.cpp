// The crash reporter, seen from outside: a child process crashes on purpose
// and the parent checks its exit code, its stderr and the report in its log.
#include "core/crash_report.h"
#include "core/logger.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>

// Outside any anonymous namespace, so that their names are exported and the
// report's stack trace can name them. The sanitizers would catch these faults
// before the processor does.
volatile uintptr_t gCrashTestAddress = 16;
volatile int gCrashTestDividend = 7, gCrashTestZero = 0;
// Called through a pointer: after a call the compiler knows never returns,
// the return address lies past the caller's end and would name no function.
void (*volatile gCrashTestAbort)() = std::abort;

__attribute__((noinline, no_sanitize("address", "undefined"))) void CrashTestWriteToBadAddress() {
  *reinterpret_cast<volatile int*>(gCrashTestAddress) = 1;
}
__attribute__((noinline, no_sanitize("undefined"))) void CrashTestDivideByZero() {
  volatile int quotient = gCrashTestDividend / gCrashTestZero;
  (void)quotient;
}
// The store after each call keeps it from becoming a jump that leaves no frame.
__attribute__((noinline)) void CrashTestAbort() {
  gCrashTestAbort();
  gCrashTestZero = 0;
}
__attribute__((noinline)) void CrashTestBusError() {
  std::raise(SIGBUS);
  gCrashTestZero = 0;
}

namespace {

struct Case {
  int signal;
  void (*crash)();
  const char* name;      // of the crashing function, in the trace
  const char* reported;  // how the report names the signal
};

TEST(CrashReport, FatalSignalsWriteAReportAndExitNonZero) {
  const Case cases[] = {
      {SIGSEGV, CrashTestWriteToBadAddress, "CrashTestWriteToBadAddress", "Signal: 11 (SIGSEGV, segmentation fault) at 0x0000000000000010"},
      {SIGFPE, CrashTestDivideByZero, "CrashTestDivideByZero", "Signal: 8 (SIGFPE"},
      {SIGABRT, CrashTestAbort, "CrashTestAbort", "Signal: 6 (SIGABRT, abort)"},
      {SIGBUS, CrashTestBusError, "CrashTestBusError", "Signal: 7 (SIGBUS, bus error)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string log = dir / "grimvale.log";
    EXPECT_EXIT(
        {
          // A line still in the logger's hands when the crash comes must
          // not be lost or overwritten by the report.
          TLogger logger(dir.Path());
          logger.LogInfo("the last line before the crash", "Main");
          InstallCrashReporter(logger.LogPath());
          SetCrashGL("Test Vendor", "Test Renderer 1.0");
          SetCrashLevel("arena");
          SetCrashLevel("");  // the level ended...
          SetCrashLevel("de_dust");  // ...and the next one runs
          c.crash();
        },
        testing::ExitedWithCode(128 + c.signal), "Grimvale crashed .*A crash report was written to .*grimvale\\.log");
    const std::string text = ReadFile(log);
    const size_t report = text.find("----- Grimvale crash report -----");
    ASSERT_NE(report, std::string::npos) << text;
    EXPECT_LT(text.find("INFO Main: the last line before the crash\n"), report);
    for (const char* expected :
         {c.reported, "\nVersion: Grimvale ", "\nSystem: Linux ", "\nGL vendor: Test Vendor\n",
          "\nGL renderer: Test Renderer 1.0\n", "\nLevel: de_dust\n", "\nStack trace", c.name, "----- End of crash report -----\n"})
      EXPECT_NE(text.find(expected, report), std::string::npos) << expected << "\n" << text;
  }
}

// Before any level or window, the report says so instead of leaving blanks;
// when the log cannot be written the report goes to stderr.
TEST(CrashReport, EmptyContextAndUnwritableLog) {
  EXPECT_EXIT(
      {
        InstallCrashReporter("/nonexistent-grimvale-dir/grimvale.log");
        CrashTestAbort();
      },
      testing::ExitedWithCode(128 + SIGABRT),
      "cannot write its log file /nonexistent-grimvale-dir/grimvale.log.*"
      "GL vendor: \\(no GL context yet\\).*Level: \\(none running\\).*CrashTestAbort");
}

}  // namespace
