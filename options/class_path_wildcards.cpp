#include "options/class_path_wildcards.h"

#include <string_view>

namespace plenwick {
namespace {

// In priority order: the first that occurs anywhere in the option wins.
constexpr std::string_view kClassPathPrefixes[] = {"-Djava.class.path=", "-cp ", "-classpath "};
constexpr std::string_view kJarWildcard = "*.jar";

// Where the class path starts in `option`, or npos when it holds none.
std::size_t classPathStart(const std::string& option) {
  for (const std::string_view prefix : kClassPathPrefixes) {
    const std::size_t at = option.find(prefix.data(), 0, prefix.size());
    if (at != std::string::npos) return at + prefix.size();
  }
  return std::string::npos;
}

// Only the end of an entry counts; "*.jar" alone is an ordinary entry.
bool isWildcardEntry(std::string_view entry) {
  if (entry.size() > kJarWildcard.size() &&
      entry.substr(entry.size() - kJarWildcard.size()) == kJarWildcard) {
    return true;
  }
  return !entry.empty() && entry.back() == '*';
}

std::string_view directoryPart(std::string_view entry, const PathConventions& conventions) {
  const char separators[] = {'/', conventions.separator, '\0'};
  const std::size_t last = entry.find_last_of(separators);
  return last == std::string_view::npos ? "./" : entry.substr(0, last + 1);
}

void appendEntry(std::string& classPath, char listSeparator, std::string_view entry) {
  if (!classPath.empty()) classPath += listSeparator;
  classPath.append(entry);
}

// The files the entry matches, in the order the search yields them; the entry
// itself when there are none (no search, no match, or only directories).
void appendWildcard(std::string& classPath, std::string_view entry,
                    const PathConventions& conventions, DirectorySearch& search) {
  const std::string_view directory = directoryPart(entry, conventions);
  bool taken = false;
  search.search(std::string(entry), [&](const char* name, bool isDirectory) {
    if (isDirectory) return;
    appendEntry(classPath, conventions.listSeparator, directory);
    classPath += name;
    taken = true;
  });
  if (!taken) appendEntry(classPath, conventions.listSeparator, entry);
}

// Empty entries are kept except before the first non-empty one; the walk ends
// at the last separator, so one trailing separator disappears.
std::string rebuildClassPath(std::string_view value, const PathConventions& conventions,
                             DirectorySearch& search) {
  std::string classPath;
  classPath.reserve(value.size());
  for (std::size_t at = 0; at < value.size();) {
    std::size_t end = value.find(conventions.listSeparator, at);
    if (end == std::string_view::npos) end = value.size();
    const std::string_view entry = value.substr(at, end - at);
    if (isWildcardEntry(entry)) {
      appendWildcard(classPath, entry, conventions, search);
    } else {
      appendEntry(classPath, conventions.listSeparator, entry);
    }
    at = end + 1;
  }
  return classPath;
}

}  // namespace

void expandClassPathWildcards(std::string& option, const PathConventions& conventions,
                              DirectorySearch& search) {
  const std::size_t start = classPathStart(option);
  if (start == std::string::npos) return;
  const std::string_view value = std::string_view(option).substr(start);
  option.replace(start, std::string::npos, rebuildClassPath(value, conventions, search));
}

}  // namespace plenwick
