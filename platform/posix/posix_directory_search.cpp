#include "platform/posix/posix_directory_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace plenwick {
namespace {

// The matches of one search: NUL-terminated names packed into one buffer, so
// a directory of thousands of files costs no allocation per name.
struct Listing {
  struct Match {
    std::size_t offset;  // of the name in `names`
    bool isDirectory;
  };
  std::string names;
  std::vector<Match> matches;

  const char* name(const Match& match) const { return names.c_str() + match.offset; }
};

bool isDirectory(const std::string& directory, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return entry.d_type == DT_DIR;
  struct stat info;
  const std::string path = directory + "/" + entry.d_name;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// strcmp compares unsigned bytes: the order does not depend on the locale.
void sortBytewise(Listing& listing) {
  std::sort(listing.matches.begin(), listing.matches.end(),
            [&listing](const Listing::Match& a, const Listing::Match& b) {
              return std::strcmp(listing.name(a), listing.name(b)) < 0;
            });
}

Listing listMatches(const std::string& directory, const std::string& namePattern) {
  Listing listing;
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return listing;
  while (const dirent* entry = readdir(dir)) {
    if (fnmatch(namePattern.c_str(), entry->d_name, FNM_PERIOD | FNM_NOESCAPE) != 0) continue;
    listing.matches.push_back({listing.names.size(), isDirectory(directory, *entry)});
    listing.names.append(entry->d_name).push_back('\0');
  }
  closedir(dir);
  sortBytewise(listing);
  return listing;
}

}  // namespace

void PosixDirectorySearch::search(const std::string& pattern, const Visitor& visit) {
  const std::size_t slash = pattern.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  const Listing listing = listMatches(directory, namePattern);
  for (const Listing::Match& match : listing.matches) {
    visit(listing.name(match), match.isDirectory);
  }
}

}  // namespace plenwick
