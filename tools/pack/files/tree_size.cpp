#include "tools/pack/files/tree_size.h"

#include <cstdio>
#include <filesystem>

namespace plenwick {

std::uintmax_t treeSize(const std::string& root) {
  namespace fs = std::filesystem;
  std::error_code code;
  std::uintmax_t total = 0;
  for (fs::recursive_directory_iterator it(root, code), end; !code && it != end;
       it.increment(code)) {
    std::error_code entry;
    if (it->is_symlink(entry) || !it->is_regular_file(entry)) continue;
    const std::uintmax_t size = it->file_size(entry);
    if (!entry) total += size;
  }
  return total;
}

std::string megabytes(std::uintmax_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

}  // namespace plenwick
