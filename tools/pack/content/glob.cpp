#include "tools/pack/content/glob.h"

#include <vector>

namespace plenwick {
namespace {

std::vector<std::string> splitParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos;) {
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  parts.push_back(path.substr(start));
  return parts;
}

// One part against one name: `*` and `?` only. On a mismatch the latest `*`
// takes one more character, so the time stays that of the two lengths
// multiplied, whatever the pattern.
bool partMatches(const std::string& glob, const std::string& name) {
  std::size_t g = 0, n = 0;
  std::size_t star = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (g < glob.size() && (glob[g] == '?' || glob[g] == name[n])) {
      ++g;
      ++n;
    } else if (g < glob.size() && glob[g] == '*') {
      star = g++;
      starName = n;
    } else if (star != std::string::npos) {
      g = star + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == '*') ++g;
  return g == glob.size();
}

}  // namespace

bool globMatches(const std::string& glob, const std::string& path) {
  const std::vector<std::string> globs = splitParts(glob);
  const std::vector<std::string> names = splitParts(path);
  // tail[n]: whether the globs from the current one on match names[n...]; built
  // from the last glob back, so that `**` costs no backtracking.
  std::vector<char> tail(names.size() + 1, 0);
  tail[names.size()] = 1;
  for (std::size_t g = globs.size(); g-- > 0;) {
    std::vector<char> here(names.size() + 1, 0);
    for (std::size_t n = names.size() + 1; n-- > 0;) {
      if (globs[g] == "**") {
        here[n] = tail[n] || (n < names.size() && here[n + 1]);
      } else {
        here[n] = n < names.size() && tail[n + 1] && partMatches(globs[g], names[n]);
      }
    }
    tail.swap(here);
  }
  return tail[0] != 0;
}

}  // namespace plenwick
