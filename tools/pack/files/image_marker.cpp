#include "tools/pack/files/image_marker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFirstLine = "plenwick-pack image, format 2: the entries it made";
constexpr std::size_t kMaxChanges = 10;
constexpr off_t kMaxMarkerBytes = 256 << 20;

// One entry as it is on disk: "f\tSIZE\tMTIME", "d", or "l\tTARGET".
std::string describe(const fs::path& path, const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return "d";
  if (S_ISREG(info.st_mode)) {
    return "f\t" + std::to_string(info.st_size) + "\t" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
  }
  if (S_ISLNK(info.st_mode)) {
    std::error_code code;
    return "l\t" + fs::read_symlink(path, code).string();
  }
  return "s";
}

// Tabs and line ends in names cannot break a line of the list.
std::string escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

// Every entry below `root` but the marker: escaped relative path -> description.
bool entriesOf(const std::string& root, std::map<std::string, std::string>* entries,
               std::string* err) {
  std::error_code code;
  for (fs::recursive_directory_iterator it(root, code), end; !code && it != end;
       it.increment(code)) {
    const std::string relative = it->path().lexically_relative(root).string();
    if (relative == kImageMarker) continue;
    struct stat info;
    if (lstat(it->path().c_str(), &info) != 0) {
      *err = "cannot read " + it->path().string();
      return false;
    }
    (*entries)[escape(relative)] = describe(it->path(), info);
  }
  if (code) *err = "cannot read " + root + ": " + code.message();
  return !code;
}

// The marker's text: a regular file of sane size, read without following a link.
bool readMarker(const std::string& root, std::string* text) {
  const int fd =
      open((fs::path(root) / kImageMarker).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxMarkerBytes;
  if (ok) {
    text->resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (ok && done < text->size()) {
      const ssize_t got = read(fd, text->data() + done, text->size() - done);
      ok = got > 0;
      if (ok) done += static_cast<std::size_t>(got);
    }
  }
  close(fd);
  return ok;
}

bool parseMarker(const std::string& text, std::map<std::string, std::string>* listed) {
  std::size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;  // written whole, always ending in a newline
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (first) {
      if (line != kFirstLine) return false;
      first = false;
      continue;
    }
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) return false;
    (*listed)[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return !first;
}

}  // namespace

bool writeImageMarker(const std::string& root, std::string* err) {
  std::map<std::string, std::string> entries;
  if (!entriesOf(root, &entries, err)) return false;
  std::string text = std::string(kFirstLine) + "\n";
  for (const auto& [path, description] : entries) {
    text.append(path).append("\t").append(description).append("\n");
  }
  // A new file in a folder only this run writes to: it is made, never replaced.
  const std::string path = (fs::path(root) / kImageMarker).string();
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  std::size_t done = 0;
  while (fd >= 0 && done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) break;
    done += static_cast<std::size_t>(wrote);
  }
  const bool written = fd >= 0 && done == text.size() && fsync(fd) == 0;
  const bool closed = fd < 0 || close(fd) == 0;
  if (written && closed) return true;
  *err = "cannot write " + path + ": " + std::strerror(errno);
  return false;
}

MarkerState checkImageMarker(const std::string& root, std::vector<std::string>* changes) {
  std::string text;
  std::map<std::string, std::string> listed, present;
  std::string ignored;
  if (!readMarker(root, &text) || !parseMarker(text, &listed)) return MarkerState::kNone;
  if (!entriesOf(root, &present, &ignored)) {
    changes->push_back(ignored);
    return MarkerState::kDiffers;
  }
  for (const auto& [path, description] : present) {
    const auto found = listed.find(path);
    if (found != listed.end() && found->second == description) continue;
    if (changes->size() == kMaxChanges) {
      changes->push_back("... and more");
      break;
    }
    changes->push_back(path + (found == listed.end() ? " (added)" : " (changed)"));
  }
  return changes->empty() ? MarkerState::kMatches : MarkerState::kDiffers;
}

}  // namespace plenwick
