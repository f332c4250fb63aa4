#include "tools/pack/runtime/java_release.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tools/pack/files/read_file.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// A JDK's release file is a few kilobytes.
constexpr std::size_t kMaxReleaseFile = kMiB;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The feature version at `at` in a JAVA_VERSION value ("17.0.9\"",
// "1.8.0_402\""): one to four digits after an optional "1.", followed by
// something other than a digit; -1 when the value does not start so.
int featureOf(const std::string& line, std::size_t at) {
  for (const std::size_t start : {at + 2, at}) {
    if (start == at + 2 && line.compare(at, 2, "1.") != 0) continue;
    std::size_t end = start;
    while (end < line.size() && end - start < 5 && isDigit(line[end])) ++end;
    if (end > start && end - start <= 4 && end < line.size()) {
      return std::stoi(line.substr(start, end - start));
    }
  }
  return -1;
}

// Each line of the release file that starts with `key`, in order, until `take` returns true.
template <typename Take>
void releaseLines(const std::string& home, const std::string& key, Take take) {
  std::string text, error;
  if (!readFile((fs::path(home) / "release").string(), kMaxReleaseFile, &text, &error)) return;
  for (std::size_t line = 0; line < text.size();) {
    std::size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (text.compare(line, key.size(), key) == 0 && line + key.size() <= end &&
        take(text.substr(line, end - line))) {
      return;
    }
    line = end + 1;
  }
}

}  // namespace

int javaFeatureVersion(const std::string& home) {
  const std::string key = "JAVA_VERSION=\"";
  int feature = 0;
  releaseLines(home, key, [&](const std::string& line) {
    feature = std::max(featureOf(line, key.size()), 0);
    return feature > 0;
  });
  return feature;
}

std::set<std::string> javaModules(const std::string& home) {
  std::set<std::string> modules;
  releaseLines(home, "MODULES=\"", [&](const std::string& line) {
    std::istringstream names(line.substr(9, line.rfind('"') - 9));
    for (std::string name; names >> name;) modules.insert(name);
    return true;
  });
  return modules;
}

std::string javaVersion(const std::string& home) {
  const std::string key = "JAVA_VERSION=\"";
  std::string version;
  releaseLines(home, key, [&](const std::string& line) {
    const std::size_t quote = line.find('"', key.size());
    if (quote != std::string::npos) version = line.substr(key.size(), quote - key.size());
    return true;
  });
  return version;
}

}  // namespace plenwick
