#include "tools/pack/content/app_path_glob.h"

#include <algorithm>
#include <filesystem>

namespace plenwick {
namespace {

// One path component against one pattern component: the usual wildcard walk
// that, on a mismatch, lets the last '*' take one more character. Linear in
// practice, with no recursion for hostile patterns to exhaust.
bool componentMatches(const std::string& pattern, const std::string& text) {
  std::size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The next component of `path` from `at`, moving `at` past it and its '/'.
std::string nextComponent(const std::string& path, std::size_t& at) {
  const std::size_t end = std::min(path.find('/', at), path.size());
  std::string component = path.substr(at, end - at);
  at = end + 1;
  return component;
}

}  // namespace

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

bool globMatches(const std::string& pattern, const std::string& path) {
  std::size_t p = 0, t = 0;
  while (p <= pattern.size() && t <= path.size()) {
    if (!componentMatches(nextComponent(pattern, p), nextComponent(path, t))) return false;
  }
  return p > pattern.size() && t > path.size();
}

bool globCovers(const std::string& pattern, const std::string& path) {
  for (std::size_t end = path.find('/'); end != std::string::npos; end = path.find('/', end + 1)) {
    if (globMatches(pattern, path.substr(0, end))) return true;
  }
  return globMatches(pattern, path);
}

}  // namespace plenwick
