// File system helpers: where the game lives, where it may write, and how the
// game's own backslash paths ("data\maps\...") become host paths.
#pragma once
#include <string>
#include <string_view>

// Directory of the running executable, with a trailing '/'.
std::string ExeDir();

// The directory relative game paths resolve against; the executable's
// directory unless a test sets another. main() makes it the working directory.
std::string BaseDir();
void SetBaseDir(const std::string& dir);

// Where config.ini and the log live: the base directory when it is writable,
// otherwise $XDG_CONFIG_HOME/grimvale/ (default ~/.config/grimvale/), created
// on demand. Trailing '/'.
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
