#include "tools/pack/app/tool_paths.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace plenwick {

namespace fs = std::filesystem;

std::string toolDirectory() {
  std::error_code code;
  const fs::path self = fs::read_symlink("/proc/self/exe", code);
  return code ? std::string(".") : self.parent_path().string();
}

std::string defaultJdk() {
  const char* home = std::getenv("JAVA_HOME");
  if (home != nullptr && *home != '\0') return home;
  const char* path = std::getenv("PATH");
  std::istringstream entries(path != nullptr ? path : "");
  std::string dir;
  std::error_code code;
  while (std::getline(entries, dir, ':')) {
    const fs::path javac = fs::path(dir.empty() ? "." : dir) / "javac";
    if (!fs::exists(javac, code)) continue;
    return fs::canonical(javac, code).parent_path().parent_path().string();
  }
  return {};
}

}  // namespace plenwick
