#include "tools/pack/content/app_path_glob.h"

#include <filesystem>

#include "tools/pack/content/glob.h"

namespace plenwick {

std::string pathInApp(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path given(path);
  std::string normal = given.lexically_normal().generic_string();
  while (!normal.empty() && normal.back() == '/') normal.pop_back();
  if (given.has_root_path() || normal.empty() || normal == "." || normal == ".." ||
      normal.rfind("../", 0) == 0) {
    return "";
  }
  return normal;
}

bool isGlob(const std::string& pattern) {
  return pattern.find_first_of("*?") != std::string::npos;
}

bool globCovers(const std::string& pattern, const std::string& path) {
  for (std::size_t end = path.find('/'); end != std::string::npos; end = path.find('/', end + 1)) {
    if (globMatches(pattern, path.substr(0, end))) return true;
  }
  return globMatches(pattern, path);
}

}  // namespace plenwick
