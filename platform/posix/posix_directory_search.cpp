#include "platform/posix/posix_directory_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace plenwick {

void PosixDirectorySearch::search(const std::string& pattern, const Visitor& visit) {
  const std::size_t slash = pattern.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return;
  std::vector<std::pair<std::string, bool>> matches;
  while (const dirent* entry = readdir(dir)) {
    if (fnmatch(namePattern.c_str(), entry->d_name, FNM_PERIOD) != 0) continue;
    bool isDirectory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat info;
      const std::string full = directory + "/" + entry->d_name;
      isDirectory = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    matches.emplace_back(entry->d_name, isDirectory);
  }
  closedir(dir);
  std::sort(matches.begin(), matches.end());
  for (const auto& match : matches) visit(match.first.c_str(), match.second);
}

}  // namespace plenwick
