// The Internet list filling with 1,000 servers: the game's real windows in an
// 800 x 600 GL window, a stand-in master listing 1,000 stand-in servers on
// loopback, each answering its getinfo. Each frame polls the network (the
// browser takes what arrived, the window re-sorts and shows its page) and
// draws the GUI, glFinish included; the servers answer between frames. The
// figure is the worst frame while the answers arrive, beside the mean and the
// worst time of the poll alone (taking answers, sorting, filling the page),
// and the frames of the same windows drawn once the search is over.
#include "bench_support.h"
#include "core/config.h"
#include "core/gl_api.h"
#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "frontend/internet_games.h"
#include "game/weapons.h"
#include "gui/gui_manager.h"
#include "net/network.h"
#include "net/out_of_band.h"

#include <SDL/SDL.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kServers = 1000;

bool OpenWindow() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display || SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  if (!SDL_SetVideoMode(800, 600, 0, SDL_OPENGL)) return false;
  glext::LoadGLExtensions();
  glViewport(0, 0, 800, 600);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  return true;
}

int LoopbackSocket(TServerAddress& bound) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(0x7F000001);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  bound = {0x7F000001, ntohs(a.sin_port)};
  return fd;
}

// Answers whatever each socket was sent: the master its list, a server its info.
void Serve(int fd, const std::function<std::vector<std::string>(const uint8_t*, size_t)>& answer) {
  uint8_t bytes[kMaxOutOfBandSize];
  sockaddr_in from{};
  socklen_t n = sizeof from;
  ssize_t size;
  while ((size = ::recvfrom(fd, bytes, sizeof bytes, 0, reinterpret_cast<sockaddr*>(&from), &n)) > 0)
    for (const std::string& packet : answer(bytes, static_cast<size_t>(size)))
      ::sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&from), n);
}

void BM_InternetListFills(benchmark::State& state) {
  rlimit files{};
  ::getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
  ::setrlimit(RLIMIT_NOFILE, &files);
  if (files.rlim_cur < kServers + 64) return state.SkipWithError("too few file descriptors for the servers");
  const std::string data = ShippedData("arena");
  if (data.empty() || !OpenWindow()) return state.SkipWithError("no shipped data or no OpenGL window");
  TBenchDir dir("internet");
  std::filesystem::create_directory_symlink(std::filesystem::canonical(data), "data");
  ScreenWidth = 800;
  ScreenHeight = 600;
  ScreenCenterX = 400;
  ScreenCenterY = 300;
  GUIManager = new TGUIclass();
  GUIManager->ScreenWidth = 800;
  GUIManager->ScreenHeight = 600;
  GameVars = new TgameVariabeln("config.ini");
  Weapons = new TWeapons();
  Network = new TNetwork();
  GUIAdd = new TGUIAdd();
  GUIAdd->BuildWindows();

  std::vector<int> servers(kServers);
  std::vector<TServerAddress> list(kServers);
  for (int i = 0; i < kServers; ++i) servers[static_cast<size_t>(i)] = LoopbackSocket(list[static_cast<size_t>(i)]);
  TServerAddress masterAddress;
  const int master = LoopbackSocket(masterAddress);
  Network->Masters = {"127.0.0.1:" + std::to_string(masterAddress.Port)};
  ShowCentred(JoinWindow);

  auto drawFrame = [] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GUIManager->SetOrtho(800, 600, -40, 40);
    GUIManager->Draw();
    glFinish();
  };
  double worst = 0, total = 0, worstPoll = 0, worstFilling = 0;
  int frames = 0, worstFrame = 0;
  for (auto _ : state) {
    OpenInternetWindow();
    while (Network->Internet.Searching()) {
      const auto start = std::chrono::steady_clock::now();
      Network->Poll();
      worstPoll = std::max(
          worstPoll, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      drawFrame();
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (ms > worst) worstFrame = frames;
      if (frames > 0) worstFilling = std::max(worstFilling, ms);
      worst = std::max(worst, ms);
      total += ms;
      ++frames;
      Serve(master, [&](const uint8_t*, size_t) { return EncodeServerList(list); });
      for (size_t i = 0; i < servers.size(); ++i)
        Serve(servers[i], [&](const uint8_t* bytes, size_t size) {
          const std::optional<TServerQuery> q = ParseServerQuery(bytes, size);
          TServerStatus s;
          s.Info = {"Server " + std::to_string(i), i % 3 ? "compound" : "arena", static_cast<int32_t>(i % 9), 16,
                    static_cast<int32_t>(list[i].Port), static_cast<int32_t>(list[i].Port)};
          s.Bots = static_cast<int32_t>(i % 4);
          return q ? std::vector<std::string>{EncodeInfoResponse(s, q->Challenge)} : std::vector<std::string>{};
        });
    }
  }
  // The same windows once the list is full and nothing arrives: what drawing them costs alone.
  double idleWorst = 0, idleTotal = 0;
  constexpr int kIdleFrames = 60;
  for (int i = 0; i < kIdleFrames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    Network->Poll();
    drawFrame();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    idleWorst = std::max(idleWorst, ms);
    idleTotal += ms;
  }

  state.counters["servers"] = static_cast<double>(Network->Internet.Servers().size());
  state.counters["frames"] = frames;
  state.counters["worst_ms"] = worst;
  state.counters["worst_frame"] = worstFrame;  // 0: the window's first picture, before any answer
  state.counters["worst_filling_ms"] = worstFilling;  // after it, while the answers arrive
  state.counters["mean_ms"] = frames ? total / frames : 0;
  // The browser's and the window's share of the worst frame: the rest is drawing.
  state.counters["worst_poll_ms"] = worstPoll;
  state.counters["idle_worst_ms"] = idleWorst;
  state.counters["idle_mean_ms"] = idleTotal / kIdleFrames;
  for (int fd : servers) ::close(fd);
  ::close(master);
}
BENCHMARK(BM_InternetListFills)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  InstallLevelLoaders();
  benchmark::RunSpecifiedBenchmarks();
  // The windows and textures go with the process: the GL context ends with it.
  return 0;
}
