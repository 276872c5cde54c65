// The data tree as it is generated: every file's bytes in memory under its
// path below data/ (forward slashes), written to disk only where the bytes
// differ from what is there, so an unchanged file keeps its date and the game
// and the build see only real changes.
#pragma once
#include <map>
#include <string>

class TDataTree {
 public:
  explicit TDataTree(std::string assetsDir) : Assets(std::move(assetsDir)) {}

  // Adds a file; a second file under the same path is a builder fault.
  void Add(const std::string& path, std::string bytes);
  // The bytes of a source file below assets/; throws when it is missing.
  std::string Asset(const std::string& path) const;

  struct TCommitResult {
    int Written = 0, Unchanged = 0, Failed = 0;
  };
  // Writes the tree below dataDir.
  TCommitResult Commit(const std::string& dataDir) const;
  const std::map<std::string, std::string>& Files() const { return files; }

  const std::string Assets;

 private:
  std::map<std::string, std::string> files;
};
