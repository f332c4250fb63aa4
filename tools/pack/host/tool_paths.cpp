#include "tools/pack/host/tool_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool isExecutableFile(const std::string& candidate) {
  struct stat info;
  return stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(candidate.c_str(), X_OK) == 0;
}

}  // namespace

std::string searchPath(const char* path, const std::string& program) {
  const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start < dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start);
    start = end + 1;
    if (candidate.empty()) continue;
    candidate += '/';
    candidate += program;
    if (isExecutableFile(candidate)) return candidate;
  }
  return {};
}

std::string findOnPath(const std::string& program) {
  return searchPath(std::getenv("PATH"), program);
}

std::string toolDirectory() {
  std::error_code code;
  const fs::path self = fs::read_symlink("/proc/self/exe", code);
  return code ? std::string(".") : self.parent_path().string();
}

std::string defaultJdk() {
  const char* home = std::getenv("JAVA_HOME");
  if (home != nullptr && *home != '\0') return home;
  const std::string javac = findOnPath("javac");
  if (javac.empty()) return {};
  std::error_code code;
  return fs::canonical(javac, code).parent_path().parent_path().string();
}

}  // namespace plenwick
