#include "tools/pack/content/file_names.h"

#include <cctype>
#include <cstdio>

#include "platform/conventions.h"

namespace plenwick {
namespace {

std::string upperCase(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// CON, NUL, COM1 and the like name devices on Windows, with any extension.
bool isWindowsDeviceName(const std::string& name) {
  const std::string stem = upperCase(name.substr(0, name.find('.')));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* device : kDevices) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

std::string shown(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code >= 0x20) return "'" + std::string(1, c) + "'";
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", code);
  return std::string("the control character ") + text;
}

std::string appPathPartProblem(const std::string& part, bool windows) {
  if (part.empty() || part == "." || part == "..") {
    return "has an empty, '.' or '..' part: give a path inside app/, like doc/readme.txt";
  }
  const std::string problem = windows ? windowsNameProblem(part) : "";
  return problem.empty() ? "" : "has a part '" + part + "' that " + problem;
}

}  // namespace

std::string windowsNameProblem(const std::string& name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string("<>:\"/\\|?*").find(c) != std::string::npos) {
      return "holds " + shown(c) + ", which Windows cannot hold in a file name";
    }
  }
  if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
    return std::string("ends in ") + (name.back() == '.' ? "a dot" : "a space") +
           ", which Windows cannot hold at the end of a file name";
  }
  if (isWindowsDeviceName(name)) return "is a device name on Windows";
  return "";
}

std::string classPathNameProblem(const std::string& name, bool windows) {
  const char separator = targetConventions(windows).listSeparator;
  if (name.find(separator) != std::string::npos || name.find("&&") != std::string::npos) {
    return "holds '" + std::string(1, separator) + "' or '&&', which would break the class path";
  }
  // The launcher expands class-path entries ending so (options/class_path_wildcards).
  const std::string jarWildcard = "*.jar";
  if ((!name.empty() && name.back() == '*') ||
      (name.size() >= jarWildcard.size() &&
       name.compare(name.size() - jarWildcard.size(), jarWildcard.size(), jarWildcard) == 0)) {
    return "ends in '*' or '*.jar', which the launcher would take for a wildcard";
  }
  return "";
}

std::string appPathProblem(const std::string& path, bool windows) {
  if (path.empty()) return "is empty";
  if (path.front() == '/') return "is absolute: give a path inside app/, like doc/readme.txt";
  for (std::size_t start = 0;;) {
    const std::size_t end = path.find('/', start);
    std::string problem = appPathPartProblem(path.substr(start, end - start), windows);
    if (!problem.empty() || end == std::string::npos) return problem;
    start = end + 1;
  }
}

std::string fileNameKey(const std::string& name, bool windows) {
  return windows ? upperCase(name) : name;
}

}  // namespace plenwick
