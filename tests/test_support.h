// Helpers shared by the test suites: temporary directories, whole-file I/O,
// captured message boxes and an OpenGL window under Xvfb.
#pragma once
#include <string>
#include <utility>
#include <vector>

// A fresh directory under the system's temp dir, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path; }  // with trailing '/'
  std::string operator/(const std::string& name) const { return path + name; }

 private:
  std::string path;
};

// Sets an environment variable (unsets it for nullptr) until the scope ends.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const char* value);
  ~TScopedEnv();
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  std::string name, saved;
  bool wasSet;
};

// Until the scope ends, the base directory is one the game cannot write, so
// it writes into the XDG directories as an installed game does.
class TUnwritableBase {
 public:
  TUnwritableBase();
  ~TUnwritableBase();
  TUnwritableBase(const TUnwritableBase&) = delete;
  TUnwritableBase& operator=(const TUnwritableBase&) = delete;

 private:
  std::string previous;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// The maps the New Game dialog offers, in its order: the list in the build's
// data tree (data/maps/config.ini), so a map added there is checked by every
// test that walks the shipped maps.
std::vector<std::string> ListedMaps();

// Every message box shown since the last ClearMessageBoxes: (text, caption).
const std::vector<std::pair<std::string, std::string>>& MessageBoxes();
void ClearMessageBoxes();

// Opens (once per process) an SDL window with an OpenGL context of at least
// the given size, and makes the viewport that size. Returns false when no
// display exists; GL tests then skip, unless GRIMVALE_REQUIRE_DISPLAY is set,
// in which case they fail.
bool OpenGLWindow(int width, int height);
#define REQUIRE_GL_WINDOW(w, h)                                                      \
  do {                                                                               \
    if (!OpenGLWindow(w, h)) {                                                       \
      if (std::getenv("GRIMVALE_REQUIRE_DISPLAY")) FAIL() << "no OpenGL window";     \
      GTEST_SKIP() << "no display";                                                  \
    }                                                                                \
  } while (0)
