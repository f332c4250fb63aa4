#include "platform/posix/posix_directory_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace plenwick {
namespace {

using Match = std::pair<std::string, bool>;  // bare name, is a directory

bool isDirectory(const std::string& directory, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return entry.d_type == DT_DIR;
  struct stat info;
  const std::string path = directory + "/" + entry.d_name;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Matches of `namePattern` in `directory`, bytewise sorted (std::string
// compares its characters as unsigned bytes).
std::vector<Match> listMatches(const std::string& directory, const std::string& namePattern) {
  std::vector<Match> matches;
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return matches;
  while (const dirent* entry = readdir(dir)) {
    if (fnmatch(namePattern.c_str(), entry->d_name, FNM_PERIOD | FNM_NOESCAPE) != 0) continue;
    matches.emplace_back(entry->d_name, isDirectory(directory, *entry));
  }
  closedir(dir);
  std::sort(matches.begin(), matches.end());
  return matches;
}

}  // namespace

void PosixDirectorySearch::search(const std::string& pattern, const Visitor& visit) {
  const std::size_t slash = pattern.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  for (const Match& match : listMatches(directory, namePattern)) {
    visit(match.first.c_str(), match.second);
  }
}

}  // namespace plenwick
