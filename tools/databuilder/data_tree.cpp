#include "data_tree.h"

#include "core/paths.h"

#include <cstdio>
#include <stdexcept>

void TDataTree::Add(const std::string& path, std::string bytes) {
  if (!files.emplace(path, std::move(bytes)).second) throw std::logic_error("generated twice: " + path);
}

std::string TDataTree::Asset(const std::string& path) const {
  std::string bytes;
  if (!ReadWholeFile(Assets + "/" + path, bytes)) throw std::runtime_error("missing source assets/" + path);
  return bytes;
}

TDataTree::TCommitResult TDataTree::Commit(const std::string& dataDir) const {
  TCommitResult result;
  for (const auto& [path, bytes] : files) {
    const std::string target = dataDir + "/" + path;
    std::string old;
    if (ReadWholeFile(target, old) && old == bytes) {
      ++result.Unchanged;
      continue;
    }
    const size_t slash = target.rfind('/');
    if (!MakeDirectories(target.substr(0, slash)) || !WriteFileAtomic(target, bytes)) {
      std::fprintf(stderr, "databuilder: cannot write %s\n", target.c_str());
      ++result.Failed;
      continue;
    }
    ++result.Written;
  }
  return result;
}
