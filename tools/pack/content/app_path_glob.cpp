#include "tools/pack/content/app_path_glob.h"

#include <filesystem>

#include "tools/pack/content/file_names.h"
#include "tools/pack/content/glob.h"

namespace plenwick {

// Normalised first, so "./lib/" and "lib/x/../y.jar" are read as users mean
// them; what may name a place in app/ is file_names' rule.
std::string pathInApp(const std::string& path) {
  std::string normal = std::filesystem::path(path).lexically_normal().generic_string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return appPathProblem(normal, false).empty() ? normal : "";
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
