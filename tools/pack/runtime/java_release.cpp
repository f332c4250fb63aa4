#include "tools/pack/runtime/java_release.h"

#include <filesystem>
#include <vector>

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

// The JAVA_VERSION lines of the release file, each from just after the
// opening quote to the line's end.
std::vector<std::string> versionLines(const std::string& home) {
  std::string text, error;
  std::vector<std::string> lines;
  if (!readFile((fs::path(home) / "release").string(), kMaxReleaseFile, &text, &error))
    return lines;
  const std::string key = "JAVA_VERSION=\"";
  for (std::size_t line = 0; line < text.size();) {
    std::size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (text.compare(line, key.size(), key) == 0 && line + key.size() <= end) {
      lines.push_back(text.substr(line + key.size(), end - line - key.size()));
    }
    line = end + 1;
  }
  return lines;
}

}  // namespace

int javaFeatureVersion(const std::string& home) {
  for (const std::string& value : versionLines(home)) {
    const int feature = featureOf(value, 0);
    if (feature >= 0) return feature;
  }
  return 0;
}

std::string javaVersion(const std::string& home) {
  const std::vector<std::string> lines = versionLines(home);
  if (lines.empty()) return "";
  const std::size_t quote = lines.front().find('"');
  return quote == std::string::npos ? "" : lines.front().substr(0, quote);
}

}  // namespace plenwick
