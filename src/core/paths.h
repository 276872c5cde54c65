// File system helpers: where the game lives, where it may write, and how the
// game's own backslash paths ("data\maps\...") become host paths.
#pragma once
#include <string>
#include <string_view>

// Directory of the running executable, with a trailing '/'.
std::string ExeDir();

// Where an installed game's data tree lies, seen from the executable: the
// layout cmake --install makes (games/ beside share/games/grimvale/).
inline constexpr const char* kInstalledDataFromExe = "../share/games/grimvale/";

// The directory relative game paths resolve against: the executable's
// directory when data/ is beside it, else the installed data directory when
// data/ is there, unless a test sets another. main() makes it the working
// directory.
std::string BaseDir();
void SetBaseDir(const std::string& dir);

// True when BaseDir() was found through the installed layout. An installed
// game never writes into its install tree, even where it could.
bool Installed();

// Where the game writes files of each kind: the base directory while it is
// writable and the game is not installed (a build or a copied tree keeps
// everything beside it); otherwise the XDG directory of the kind plus
// "grimvale/", created on demand. Trailing '/'.
enum class TUserDir {
  Config,  // config.ini: $XDG_CONFIG_HOME (~/.config)
  State,   // the log: $XDG_STATE_HOME (~/.local/state)
  Cache,   // map.lvl files built from map.3ds: $XDG_CACHE_HOME (~/.cache)
  Data,    // screenshots: $XDG_DATA_HOME (~/.local/share)
};
std::string UserDir(TUserDir kind);
// A relative game path ("Screenshots\\...") for a file the game writes: kept as
// it is while the game writes beside itself, else under UserDir(kind).
std::string UserPath(TUserDir kind, const std::string& gamePath);
// Where config.ini lives: UserDir(TUserDir::Config).
std::string WritableDir();

// Maps '\' to '/' and, when the exact name does not exist, looks each path
// component up without regard to case, so data made on case-insensitive file
// systems loads. A path that cannot be found is returned with its separators
// mapped only.
std::string HostPath(std::string_view gamePath);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the directory and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

// Whole-file helpers. ReadWholeFile gives false when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);
// Writes into a temporary file beside the target and renames it over the
// target, so readers never see a half-written file. False on any failure.
bool WriteFileAtomic(const std::string& path, const std::string& contents);
