// The fatal-signal handler and the crash context it reports.
#include "core/crash_report.h"

#include "core/platform.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#ifndef GRIMVALE_VERSION
#define GRIMVALE_VERSION "unknown"
#endif
#ifndef GRIMVALE_BUILD_TYPE
#define GRIMVALE_BUILD_TYPE "unknown"
#endif

extern char** environ;

namespace {

// A NUL-terminated text of fixed capacity, filled outside the handler.
template <size_t N>
struct TFixedText {
  char Text[N] = {};
  void Set(const std::string& value) {
    size_t n = value.size() < N - 1 ? value.size() : N - 1;
    std::memcpy(Text, value.data(), n);
    Text[n] = '\0';
  }
};

// All whole run: written by InstallCrashReporter and the setters on the main
// thread, read by the handler.
TFixedText<4096> gLogPath;
TFixedText<512> gSystem;
TFixedText<256> gLevel, gGLVendor, gGLRenderer;
// The dialog's program and arguments, ready for execve; empty path: no dialog.
TFixedText<4096> gDialogPath, gDialogTitle, gDialogText;
TFixedText<16> gDialogName, gDialogKind;
bool gDialogIsZenity = false;
// Room for the handler when the crash is a stack overflow.
alignas(16) char gAltStack[64 * 1024];
constexpr int kFatalSignals[] = {SIGSEGV, SIGABRT, SIGFPE, SIGBUS};

// Output for the handler: write(2) only, numbers formatted by hand.
struct TOut {
  int Fd;
  void Str(const char* s) const {
    size_t n = std::strlen(s);
    while (n > 0) {
      ssize_t w = write(Fd, s, n);
      if (w <= 0) return;
      s += w;
      n -= static_cast<size_t>(w);
    }
  }
  void Dec(unsigned long v, int minDigits = 1) const {
    char buf[24];
    int i = sizeof buf - 1;
    buf[i] = '\0';
    do {
      buf[--i] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v > 0 || sizeof buf - 1 - i < static_cast<size_t>(minDigits));
    Str(buf + i);
  }
  void Hex(uintptr_t v) const {
    char buf[2 + 2 * sizeof v + 1];
    buf[0] = '0';
    buf[1] = 'x';
    for (size_t i = 0; i < 2 * sizeof v; ++i) buf[2 + i] = "0123456789abcdef"[(v >> (4 * (2 * sizeof v - 1 - i))) & 0xF];
    buf[sizeof buf - 1] = '\0';
    Str(buf);
  }
  void Field(const char* name, const char* value, const char* whenEmpty) const {
    Str(name);
    Str(*value ? value : whenEmpty);
    Str("\n");
  }
};

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV: return "SIGSEGV, segmentation fault";
    case SIGABRT: return "SIGABRT, abort";
    case SIGFPE: return "SIGFPE, floating-point or arithmetic trap";
    case SIGBUS: return "SIGBUS, bus error";
    default: return "fatal signal";
  }
}

// The UTC time as "2026-12-10T13:59:01Z" (days to a civil date by hand: the
// library's conversions may lock).
void WriteTime(const TOut& out) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  long secs = now.tv_sec, days = secs / 86400, rest = secs % 86400;
  long z = days + 719468, era = z / 146097, doe = z - era * 146097;
  long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365, doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long mp = (5 * doy + 2) / 153, day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
  long year = yoe + era * 400 + (month <= 2);
  out.Dec(static_cast<unsigned long>(year), 4);
  out.Str("-");
  out.Dec(static_cast<unsigned long>(month), 2);
  out.Str("-");
  out.Dec(static_cast<unsigned long>(day), 2);
  out.Str("T");
  out.Dec(static_cast<unsigned long>(rest / 3600), 2);
  out.Str(":");
  out.Dec(static_cast<unsigned long>(rest / 60 % 60), 2);
  out.Str(":");
  out.Dec(static_cast<unsigned long>(rest % 60), 2);
  out.Str("Z\n");
}

void WriteReport(const TOut& out, int sig, const siginfo_t* info) {
  out.Str("\n----- Grimvale crash report -----\nSignal: ");
  out.Dec(static_cast<unsigned long>(sig));
  out.Str(" (");
  out.Str(SignalName(sig));
  out.Str(")");
  // Only a fault the processor raised has an address; a signal sent by a
  // process carries its sender there instead.
  if (info && info->si_code > 0 && (sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE)) {
    out.Str(" at ");
    out.Hex(reinterpret_cast<uintptr_t>(info->si_addr));
  }
  out.Str("\nTime: ");
  WriteTime(out);
  out.Str("Process: ");
  out.Dec(static_cast<unsigned long>(getpid()));
  out.Str("\nVersion: Grimvale " GRIMVALE_VERSION " (" GRIMVALE_BUILD_TYPE " build)\n");
  out.Field("System: ", gSystem.Text, "unknown");
  out.Field("GL vendor: ", gGLVendor.Text, "(no GL context yet)");
  out.Field("GL renderer: ", gGLRenderer.Text, "(no GL context yet)");
  out.Field("Level: ", gLevel.Text, "(none running)");
  out.Str("Stack trace (innermost first; c++filt turns the names into C++):\n");
  void* frames[64];
  int count = backtrace(frames, 64);
  backtrace_symbols_fd(frames, count, out.Fd);
  out.Str("----- End of crash report -----\n");
}

// Started, not waited for: once the game exits its window and any input
// grab are gone, so the user can answer the dialog. _Fork, unlike fork, runs
// no atfork handlers and is safe here; the child only calls execve.
void StartCrashDialog() {
  if (!gDialogPath.Text[0]) return;
  char* zenity[] = {gDialogName.Text, gDialogKind.Text, const_cast<char*>("--no-markup"), gDialogTitle.Text,
                    gDialogText.Text, nullptr};
  char* xmessage[] = {gDialogName.Text, const_cast<char*>("-center"), gDialogText.Text, nullptr};
  pid_t pid = _Fork();
  if (pid == 0) {
    execve(gDialogPath.Text, gDialogIsZenity ? zenity : xmessage, environ);
    _exit(127);
  }
}

void OnFatalSignal(int sig, siginfo_t* info, void*) {
  // A second thread crashing meanwhile waits for the first to end the process.
  static std::atomic<bool> reporting{false};
  static_assert(std::atomic<bool>::is_always_lock_free);
  if (reporting.exchange(true))
    for (;;) pause();
  int fd = open(gLogPath.Text, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  const TOut err{STDERR_FILENO};
  if (fd >= 0) {
    WriteReport(TOut{fd}, sig, info);
    fsync(fd);
    close(fd);
    err.Str("\nGrimvale crashed (");
    err.Str(SignalName(sig));
    err.Str("). A crash report was written to ");
    err.Str(gLogPath.Text);
    err.Str("\n");
  } else {
    err.Str("\nGrimvale crashed and cannot write its log file ");
    err.Str(gLogPath.Text);
    err.Str("; the crash report follows.\n");
    WriteReport(err, sig, info);
  }
  StartCrashDialog();
  _exit(128 + sig);
}

void PrepareDialog() {
  gDialogPath.Set("");
  if (!DialogsWanted()) return;
  const std::string text = "Grimvale has crashed. A crash report was written to " + std::string(gLogPath.Text) +
                           "\nPlease include it when you report the problem.";
  std::string zenity = FindProgram("zenity"), xmessage = FindProgram("xmessage");
  gDialogIsZenity = !zenity.empty();
  gDialogPath.Set(gDialogIsZenity ? zenity : xmessage);
  gDialogName.Set(gDialogIsZenity ? "zenity" : "xmessage");
  gDialogKind.Set("--error");
  gDialogTitle.Set("--title=Grimvale crashed");
  gDialogText.Set(gDialogIsZenity ? "--text=" + text : text);
}

}  // namespace

void InstallCrashReporter(const std::string& logPath) {
  gLogPath.Set(logPath);
  utsname name{};
  if (uname(&name) == 0)
    gSystem.Set(std::string(name.sysname) + " " + name.release + " " + name.version + " " + name.machine);
  PrepareDialog();
  // The first backtrace loads the unwinder, which allocates: done here, not
  // in the handler.
  void* frame[1];
  backtrace(frame, 1);
  stack_t stack{};
  stack.ss_sp = gAltStack;
  stack.ss_size = sizeof gAltStack;
  sigaltstack(&stack, nullptr);
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int sig : kFatalSignals) sigaction(sig, &action, nullptr);
}

void SetCrashLevel(const std::string& name) { gLevel.Set(name); }

void SetCrashGL(const std::string& vendor, const std::string& renderer) {
  gGLVendor.Set(vendor);
  gGLRenderer.Set(renderer);
}
