// The private X server, the game process, xdotool input and screen pictures.
#include "e2e_support.h"
#include "screen_positions.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

void SleepForMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint16_t FreePort() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    int tcp = ::socket(AF_INET, SOCK_STREAM, 0), udp = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    socklen_t n = sizeof a;
    bool ok = ::bind(tcp, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
              ::getsockname(tcp, reinterpret_cast<sockaddr*>(&a), &n) == 0 &&
              ::bind(udp, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(tcp);
    ::close(udp);
    if (ok) return ntohs(a.sin_port);
  }
  return 0;
}

TXServer::TXServer(int width, int height) {
  // Xvfb picks a free display number itself and writes it to the pipe: two
  // test processes choosing a number each could pick the same one, and the
  // loser would then show its game on the winner's screen.
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(fds[1]);
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    // -noreset: a client connecting while the last one leaves would be refused.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-noreset", "-nolisten", "tcp",
           (char*)nullptr);
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (child > 0 && poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (c == '\n' && !number.empty()) {
    pid = child;
    display = ":" + number;
  } else if (child > 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
}

TXServer::~TXServer() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

uint32_t TScreen::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
  size_t i = (static_cast<size_t>(y) * Width + x) * 3;
  return (uint32_t{Rgb[i]} << 16) | (uint32_t{Rgb[i + 1]} << 8) | Rgb[i + 2];
}

// How many pixels of the rectangle pass a test of their colour.
template <typename Test>
static int CountPixels(const TScreen& screen, int x0, int y0, int x1, int y1, Test test) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(screen.Height, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(screen.Width, x1); ++x)
      if (test((screen.At(x, y) >> 16) & 255, (screen.At(x, y) >> 8) & 255, screen.At(x, y) & 255)) ++n;
  return n;
}

int TScreen::LitPixels(int x0, int y0, int x1, int y1) const {
  return CountPixels(*this, x0, y0, x1, y1, [](uint32_t r, uint32_t g, uint32_t b) { return r + g + b > 48; });
}

int TScreen::WhitePixels(int x0, int y0, int x1, int y1) const {
  return CountPixels(*this, x0, y0, x1, y1, [](uint32_t r, uint32_t g, uint32_t b) { return std::min({r, g, b}) >= 176; });
}

TScreen TScreen::Crop(int x0, int y0, int x1, int y1) const {
  TScreen out;
  out.Width = x1 - x0;
  out.Height = y1 - y0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = At(x, y);
      out.Rgb.insert(out.Rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
  return out;
}

double TScreen::DifferenceTo(const TScreen& other, int tolerance) const {
  if (Width != other.Width || Height != other.Height || Rgb.empty()) return 1;
  size_t differing = 0;
  for (size_t i = 0; i < Rgb.size(); i += 3)
    for (size_t k = 0; k < 3; ++k)
      if (std::abs(int{Rgb[i + k]} - int{other.Rgb[i + k]}) > tolerance) {
        ++differing;
        break;
      }
  return static_cast<double>(differing) / (Rgb.size() / 3);
}

int TScreen::MenuRed() const {
  int n = 0;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      const uint32_t c = At(x, y);
      const int r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
      if (r > 120 && g < 50 && b < 50) ++n;
    }
  return n;
}

TGameProcess::TGameProcess(const TXServer& x, const std::string& name, const std::vector<std::string>& args,
                           const std::string& installed, TSettings settings, const std::string& extraConfig)
    : x(x), name(name), logFile(installed.empty() ? dir / "grimvale.log" : InstalledLogFile(dir.Path())) {
  std::string exe = installed;
  if (exe.empty()) {
    exe = dir / "grimvale";
    std::filesystem::copy_file(GRIMVALE_BIN_DIR "/grimvale", exe);
    std::filesystem::create_directory_symlink(GRIMVALE_BIN_DIR "/data", dir / "data");
    if (settings == TSettings::Paced)
      WriteFile(dir / "config.ini", "[TMiscConfig]\nSleep=" + std::to_string(kPacedSleepMs) + "\n" + extraConfig);
  }
  pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", x.Display().c_str(), 1);
    if (!installed.empty()) UseScratchHome(dir.Path());
    std::vector<char*> argv{const_cast<char*>("grimvale")};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
}

TGameProcess::~TGameProcess() {
  if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

std::string TGameProcess::Log() const { return ReadFile(logFile); }

std::string InstalledGame() {
  const char* game = std::getenv("GRIMVALE_INSTALLED_GAME");
  return game ? game : "";
}

void UseScratchHome(const std::string& dir) {
  setenv("HOME", dir.c_str(), 1);
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) unsetenv(xdg);
}

std::string InstalledLogFile(const std::string& home) { return home + "/.local/state/grimvale/grimvale.log"; }

bool TGameProcess::Alive() { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

bool TGameProcess::WaitForLog(const std::string& text, int timeoutMs) {
  bool found = WaitUntil([&] { return Log().find(text) != std::string::npos || !Alive(); }, timeoutMs);
  return found && Log().find(text) != std::string::npos;
}

int WaitForChild(pid_t& pid, int timeoutMs) {
  int status = 0;
  bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeoutMs);
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
    return -1;
  }
  pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int TGameProcess::WaitForExit(int timeoutMs) { return WaitForChild(pid, timeoutMs); }

// Runs a command with the X server's display; its standard output.
static std::string Capture(const std::string& display, const std::string& command) {
  std::string line = "DISPLAY=" + display + " " + command + " 2>/dev/null";
  std::string out;
  if (FILE* pipe = popen(line.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

std::string TGameProcess::Title() const {
  std::string title = Capture(x.Display(), "xdotool search --name '^Grimvale' getwindowname");
  return title.substr(0, title.find('\n'));
}

bool TGameProcess::Xdotool(const std::string& arguments) {
  std::string command = "DISPLAY=" + x.Display() + " xdotool " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Full screen, the game's window covers the screen from (0, 0); SDL's named
// top-level window is not the one on screen then, so positions are the
// screen's.
void TGameProcess::MoveMouse(int mx, int my) { Xdotool("mousemove " + std::to_string(mx) + " " + std::to_string(my)); }

void TGameProcess::DoubleClick(int mx, int my) {
  MoveMouse(mx, my);
  SleepForMs(150);  // a frame sees the pointer arrive before the press
  Xdotool("click --repeat 2 --delay 80 1");
}

void TGameProcess::Click(int mx, int my, int button) {
  MoveMouse(mx, my);
  SleepForMs(150);  // a frame sees the pointer arrive before the press
  Xdotool("mousedown " + std::to_string(button));
  SleepForMs(100);
  Xdotool("mouseup " + std::to_string(button));
  SleepForMs(150);
}

void TGameProcess::Key(const std::string& keysym) {
  KeyDown(keysym);
  SleepForMs(80);
  KeyUp(keysym);
}

void TGameProcess::KeyDown(const std::string& keysym) { Xdotool("keydown " + keysym); }

void TGameProcess::KeyUp(const std::string& keysym) { Xdotool("keyup " + keysym); }

void TGameProcess::Type(const std::string& text) { Xdotool("type --delay 80 '" + text + "'"); }

void TGameProcess::ReplaceField(int x, int y, const std::string& text) {
  Click(x, y);
  for (int i = 0; i < 8; ++i) Key("Right");
  for (int i = 0; i < 8; ++i) Key("BackSpace");
  Type(text);
}

// Each line entered is logged ("Console: <line>"): the next is typed once
// the game has taken the one before.
void TGameProcess::Console(const std::vector<std::string>& lines) {
  Key("grave");
  for (const std::string& line : lines) {
    const int before = LogCount("Console: " + line + "\n");
    Type(line);
    Key("Return");
    // Not Alive(): that would reap a game that quits, and lose its status.
    WaitUntil([&] { return LogCount("Console: " + line + "\n") > before; }, 15000);
  }
  Key("grave");
}

int TGameProcess::LogCount(const std::string& text) const {
  const std::string log = Log();
  int n = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
  return n;
}

TScreen WaitForMainMenu(TGameProcess& game) {
  TScreen menu;
  if (!game.WaitForScreen("main-menu", [](const TScreen& s) { return s.MenuRed() > 2000; }, menu, 30000))
    return TScreen{};
  return menu;
}

TScreen ClickAndWaitForChange(TGameProcess& game, int x, int y, const TScreen& before, double minDifference,
                              const std::string& step) {
  game.Click(x, y);
  TScreen after;
  game.WaitForScreen(step, [&](const TScreen& s) { return s.DifferenceTo(before) > minDifference; }, after);
  return after;
}

bool WaitForStillScreen(TGameProcess& game, const std::string& step, TScreen& still) {
  TScreen previous = game.Shot(step);
  return game.WaitForScreen(step, [&](const TScreen& s) {
    const bool alike = s.DifferenceTo(previous) < 0.01;
    previous = s;
    return alike;
  }, still);
}

std::string HostAlone(TGameProcess& game) {
  ClickAndWaitForChange(game, kNewGameX, kNewGameY, WaitForMainMenu(game), 0.2, "new-game");
  return StartAlone(game);
}

std::string StartAlone(TGameProcess& game) {
  game.Click(kBotsEndX, kBotsY);
  game.Key("BackSpace");
  game.Type("0");
  const std::string port = std::to_string(FreePort());
  game.ReplaceField(kHostPortX, kHostPortY, port);
  game.Click(kStartX, kStartY);
  return port;
}

TScreen TGameProcess::Shot(const std::string& step) {
  const char* root = std::getenv("GRIMVALE_E2E_SHOTS");
  std::filesystem::path folder = std::filesystem::path(root ? root : GRIMVALE_BIN_DIR "/../e2e-shots") / name;
  std::filesystem::create_directories(folder);
  char number[8];
  std::snprintf(number, sizeof number, "%02d", shots++);
  std::string png = (folder / (std::string(number) + "-" + step + ".png")).string();
  std::string ppm = dir / "shot.ppm";
  Capture(x.Display(), "import -window root " + png);
  Capture(x.Display(), "convert " + png + " -depth 8 ppm:" + ppm);
  TScreen screen;
  std::string bytes = ReadFile(ppm);
  int maxValue = 0, consumed = 0;
  if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &screen.Width, &screen.Height, &maxValue, &consumed) == 3 &&
      maxValue == 255) {
    size_t start = static_cast<size_t>(consumed) + 1;
    size_t size = static_cast<size_t>(screen.Width) * screen.Height * 3;
    if (bytes.size() >= start + size) screen.Rgb.assign(bytes.begin() + start, bytes.begin() + start + size);
  }
  if (screen.Rgb.empty()) screen.Width = screen.Height = 0;
  return screen;
}
