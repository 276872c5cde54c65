#include "test_support.h"

#include "core/gl_api.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "core/platform.h"

#include <SDL/SDL.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "grimvale-test-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  path = std::string(mkdtemp(buf.data())) + "/";
}

TScopedEnv::TScopedEnv(const char* name, const char* value) : name(name) {
  const char* old = std::getenv(name);
  wasSet = old != nullptr;
  if (old) saved = old;
  if (value) setenv(name, value, 1);
  else unsetenv(name);
}

TScopedEnv::~TScopedEnv() {
  if (wasSet) setenv(name.c_str(), saved.c_str(), 1);
  else unsetenv(name.c_str());
}

TUnwritableBase::TUnwritableBase() : previous(BaseDir()) { SetBaseDir("/nonexistent-grimvale-dir/"); }
TUnwritableBase::~TUnwritableBase() { SetBaseDir(previous); }

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

static std::vector<std::pair<std::string, std::string>> gBoxes;

const std::vector<std::pair<std::string, std::string>>& MessageBoxes() { return gBoxes; }
void ClearMessageBoxes() { gBoxes.clear(); }

void InstallMessageBoxCapture() {
  SetMessageBoxSink([](const std::string& text, const std::string& caption) { gBoxes.emplace_back(text, caption); });
}

std::vector<std::string> ListedMaps() {
  const TIniFile list(std::string(GRIMVALE_BIN_DIR) + "/data/maps/config.ini");
  std::vector<std::string> maps;
  for (int32_t i = 0, n = list.ReadInteger("config", "maps", 0); i < n; ++i)
    maps.push_back(list.ReadString("config", "map" + std::to_string(i), ""));
  return maps;
}

bool OpenGLWindow(int width, int height) {
  static SDL_Surface* surface = nullptr;
  static int openWidth = 0, openHeight = 0;
  if (!surface || width > openWidth || height > openHeight) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    setenv("SDL_VIDEODRIVER", "x11", 0);  // the only SDL driver with OpenGL
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) return false;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    openWidth = std::max(width, openWidth);
    openHeight = std::max(height, openHeight);
    const bool grown = surface != nullptr;
    surface = SDL_SetVideoMode(openWidth, openHeight, 0, SDL_OPENGL);
    if (!surface) return false;
    // Mesa notices a grown window only when the buffers are swapped; until
    // then it keeps drawing into a framebuffer of the old size.
    if (grown) SDL_GL_SwapBuffers();
    glext::LoadGLExtensions();
  }
  glViewport(0, 0, width, height);
  return true;
}
