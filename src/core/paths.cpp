// Paths, case-insensitive lookup and atomic file replacement.
#include "core/paths.h"

#include "core/convert.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

static std::string gBaseDir;
static bool gInstalled = false;

static std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string ExeDir() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

std::string BaseDir() {
  if (gBaseDir.empty()) {
    const std::string exe = ExeDir();
    gBaseDir = exe;
    if (!DirectoryExists(exe + "data")) {
      // Resolved, so that paths in the log and in messages read plainly.
      char resolved[PATH_MAX];
      const std::string installed = exe + kInstalledDataFromExe;
      if (DirectoryExists(installed + "data") && realpath(installed.c_str(), resolved)) {
        gBaseDir = WithSlash(resolved);
        gInstalled = true;
      }
    }
  }
  return gBaseDir;
}

void SetBaseDir(const std::string& dir) {
  gBaseDir = WithSlash(dir);
  gInstalled = false;
}

bool Installed() {
  BaseDir();
  return gInstalled;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& path) {
  std::string partial;
  std::stringstream parts(path);
  std::string part;
  if (!path.empty() && path[0] == '/') partial = "/";
  while (std::getline(parts, part, '/')) {
    if (part.empty()) continue;
    partial += part + "/";
    if (!DirectoryExists(partial)) mkdir(partial.c_str(), 0755);
  }
  return DirectoryExists(path);
}

// $HOME, or the account's home directory where it is unset (a service).
static std::string HomeDir() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  const passwd* account = getpwuid(getuid());
  return account && account->pw_dir ? account->pw_dir : "";
}

// The game writes beside itself, as it always did, in a build or a copied tree.
static bool WritesBesideItself() { return !Installed() && access(BaseDir().c_str(), W_OK) == 0; }

std::string UserDir(TUserDir kind) {
  const std::string base = BaseDir();
  if (WritesBesideItself()) return base;
  struct TXdg {
    const char* Variable;
    const char* UnderHome;
  };
  static constexpr TXdg kXdg[] = {
      {"XDG_CONFIG_HOME", ".config"},
      {"XDG_STATE_HOME", ".local/state"},
      {"XDG_CACHE_HOME", ".cache"},
      {"XDG_DATA_HOME", ".local/share"},
  };
  const TXdg& xdg = kXdg[static_cast<size_t>(kind)];
  std::string dir;
  // The XDG rules: a value that is not an absolute path is ignored.
  if (const char* value = std::getenv(xdg.Variable); value && value[0] == '/')
    dir = value;
  else if (const std::string home = HomeDir(); !home.empty())
    dir = WithSlash(home) + xdg.UnderHome;
  else
    return base;
  dir = WithSlash(dir) + "grimvale/";
  MakeDirectories(dir);
  return dir;
}

std::string UserPath(TUserDir kind, const std::string& gamePath) {
  return WritesBesideItself() ? gamePath : UserDir(kind) + gamePath;
}

std::string WritableDir() { return UserDir(TUserDir::Config); }

// Finds the entry of `dir` whose name equals `name` without regard to case.
static bool FindCaseless(const std::string& dir, const std::string& name, std::string& found) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  bool ok = false;
  while (dirent* e = readdir(d)) {
    if (SameText(e->d_name, name)) {
      found = e->d_name;
      ok = true;
      break;
    }
  }
  closedir(d);
  return ok;
}

std::string HostPath(std::string_view gamePath) {
  std::string mapped(gamePath);
  for (char& c : mapped)
    if (c == '\\') c = '/';
  struct stat st;
  if (mapped.empty() || stat(mapped.c_str(), &st) == 0) return mapped;

  // Walk the components, fixing the case of each one that exists under another
  // spelling; once a component is missing the rest is kept as given (a file
  // about to be created in an existing directory still lands there).
  std::vector<std::string> parts;
  std::stringstream in(mapped);
  for (std::string part; std::getline(in, part, '/');)
    if (!part.empty()) parts.push_back(part);
  std::string resolved = mapped[0] == '/' ? "/" : "";
  bool missing = false;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string name = parts[i];
    std::string found;
    if (!missing && stat((resolved + name).c_str(), &st) != 0) {
      if (name != "." && name != ".." && FindCaseless(resolved, name, found))
        name = found;
      else
        missing = true;
    }
    resolved += name;
    if (i + 1 < parts.size()) resolved += '/';
  }
  if (mapped.back() == '/') resolved += '/';
  return resolved;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  contents = ss.str();
  return !in.bad();
}

bool WriteFileAtomic(const std::string& path, const std::string& contents) {
  std::string tmp = path + ".tmp";
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < contents.size()) {
    ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n <= 0) {
      close(fd);
      unlink(tmp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  bool ok = fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
    unlink(tmp.c_str());
    return false;
  }
  return true;
}
