#include "tools/pack/files/tree_snapshot.h"

#include <sys/stat.h>

#include <filesystem>

namespace plenwick {
namespace {

namespace fs = std::filesystem;

std::string describe(const struct stat& info) {
  std::string text = std::to_string(info.st_mode);
  if (S_ISDIR(info.st_mode)) return text;
  // The change time cannot be set back by the writer, unlike the modification time.
  for (const long long value :
       {static_cast<long long>(info.st_ino), static_cast<long long>(info.st_size),
        static_cast<long long>(info.st_mtim.tv_sec), static_cast<long long>(info.st_mtim.tv_nsec),
        static_cast<long long>(info.st_ctim.tv_sec),
        static_cast<long long>(info.st_ctim.tv_nsec)}) {
    text += " " + std::to_string(value);
  }
  return text;
}

}  // namespace

TreeSnapshot snapshotTree(const std::string& root) {
  TreeSnapshot tree;
  std::error_code code;
  for (fs::recursive_directory_iterator it(root, code), end; !code && it != end;
       it.increment(code)) {
    struct stat info;
    const std::string name = it->path().lexically_relative(root).string();
    tree[name] = lstat(it->path().c_str(), &info) == 0 ? describe(info) : "gone";
  }
  return tree;
}

std::vector<std::string> treeChanges(const TreeSnapshot& before, const TreeSnapshot& after,
                                     const std::string& ignored) {
  std::vector<std::string> changes;
  for (const auto& [name, entry] : before) {
    const auto now = after.find(name);
    if (name == ignored) continue;
    if (now == after.end()) {
      changes.push_back(name + " (removed)");
    } else if (now->second != entry) {
      changes.push_back(name + " (changed)");
    }
  }
  for (const auto& [name, entry] : after) {
    if (name != ignored && before.count(name) == 0) changes.push_back(name + " (added)");
  }
  return changes;
}

}  // namespace plenwick
