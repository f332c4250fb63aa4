#include "tools/pack/runtime/java_release.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace plenwick {

namespace fs = std::filesystem;

int javaFeatureVersion(const std::string& home) {
  std::ifstream in(fs::path(home) / "release");
  std::string line;
  const std::regex pattern("JAVA_VERSION=\"(1\\.)?([0-9]{1,4})[^0-9].*");
  std::smatch match;
  while (std::getline(in, line)) {
    if (std::regex_match(line, match, pattern)) return std::stoi(match[2].str());
  }
  return 0;
}

}  // namespace plenwick
