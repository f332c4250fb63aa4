// Reading the files a user names (configurations, launchers, jars, icons, a
// runtime's `release`): only regular files, up to a size the caller sets, so a
// FIFO, a device or a huge file gives a message instead of a hang or a crash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plenwick {

// An open regular file; closed when it goes out of scope.
struct OpenFile {
  int fd = -1;
  uint64_t size = 0;
  OpenFile() = default;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile();
};

// Opens `path` for reading without waiting (a FIFO with no writer does not
// block) and checks on the open descriptor that it is a regular file. False
// with a message naming the path and what it is.
bool openRegularFile(const std::string& path, OpenFile* file, std::string* err);

// Reads `count` bytes at `offset`; false with a message on a read error or
// when the file ends first.
bool readAt(const OpenFile& file, const std::string& path, uint64_t offset, std::size_t count,
            unsigned char* out, std::string* err);

// The whole of the regular file `path` when it holds at most `limit` bytes.
bool readFile(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes,
              std::string* err);
bool readFile(const std::string& path, std::size_t limit, std::string* text, std::string* err);

constexpr std::size_t kMiB = std::size_t{1} << 20;
// An installer, or a file signed by a tool: Windows Installer's own limit.
constexpr std::size_t kMaxPackageFile = std::size_t{2} << 30;

}  // namespace plenwick
