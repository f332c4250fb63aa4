#include "options/class_path_wildcards.h"

#include <algorithm>
#include <string_view>

#include "options/class_path_option.h"

namespace plenwick {
namespace {

constexpr std::string_view kJarWildcard = "*.jar";
constexpr std::size_t kWildcardReserve = std::size_t{1} << 20;

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

// The class path being rebuilt, at the end of the option text before it.
struct ClassPath {
  std::string& text;
  std::size_t start;
  char separator;

  void append(std::string_view entry) {
    if (text.size() > start) text += separator;
    text.append(entry);
  }
};

// Reserving address space costs nothing until it is written: growing a long
// class path in large, geometric steps spares the copies and the page faults on
// fresh memory of growing it name by name.
void reserveRoom(std::string& text) {
  if (text.capacity() - text.size() >= kWildcardReserve / 16) return;
  text.reserve(std::max(2 * text.capacity(), text.size() + kWildcardReserve));
}

// The files the entry matches, in the order the search yields them; the entry
// itself when there are none (no search, no match, or only directories).
void appendWildcard(ClassPath& classPath, std::string_view entry,
                    const PathConventions& conventions, DirectorySearch& search) {
  const std::string_view directory = directoryPart(entry, conventions);
  reserveRoom(classPath.text);
  bool taken = false;
  search.search(std::string(entry), [&](const char* name, bool isDirectory) {
    if (isDirectory) return;
    classPath.append(directory);
    classPath.text += name;
    taken = true;
  });
  if (!taken) classPath.append(entry);
}

// Appends the rebuilt class path to `rebuilt`, which holds the option up to
// the end of its class-path prefix. Empty entries are kept except before the first
// non-empty one; the walk ends at the last separator, so one trailing
// separator disappears.
void rebuildClassPath(std::string& rebuilt, std::string_view value,
                      const PathConventions& conventions, DirectorySearch& search) {
  ClassPath classPath{rebuilt, rebuilt.size(), conventions.listSeparator};
  for (std::size_t at = 0; at < value.size();) {
    std::size_t end = value.find(conventions.listSeparator, at);
    if (end == std::string_view::npos) end = value.size();
    const std::string_view entry = value.substr(at, end - at);
    if (isWildcardEntry(entry)) {
      appendWildcard(classPath, entry, conventions, search);
    } else {
      classPath.append(entry);
    }
    at = end + 1;
  }
}

}  // namespace

void expandClassPathWildcards(std::string& option, const PathConventions& conventions,
                              DirectorySearch& search) {
  const std::size_t start = classPathValueStart(option);
  if (start == std::string::npos) return;
  std::string rebuilt;
  rebuilt.reserve(option.size());
  rebuilt.assign(option, 0, start);
  rebuildClassPath(rebuilt, std::string_view(option).substr(start), conventions, search);
  option.swap(rebuilt);
}

}  // namespace plenwick
