#include "tools/pack/files/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/pack/text/printable.h"

namespace plenwick {
namespace {

std::string systemError() {
  return std::strerror(errno);
}

const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

bool refuseKind(const std::string& path, mode_t mode, std::string* err) {
  *err = path + " is " + kindOf(mode) + ", not a regular file: give the path of a file";
  return false;
}

std::string sizeText(uint64_t bytes) {
  if (bytes >= kMiB * 1024 && bytes % (kMiB * 1024) == 0) {
    return std::to_string(bytes / (kMiB * 1024)) + " GiB";
  }
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

bool refuseSize(const std::string& path, uint64_t size, std::size_t limit, std::string* err) {
  *err = path + " is too large (" + std::to_string(size) + " bytes; at most " + sizeText(limit) +
         " are read from such a file): check that it is the right file";
  return false;
}

// Reads the whole file into `out` (a byte vector or a string), at most `limit`
// bytes: the size is checked again while reading, as the file may grow.
template <typename Buffer>
bool readWhole(const std::string& path, std::size_t limit, Buffer* out, std::string* err) {
  OpenFile file;
  if (!openRegularFile(path, &file, err)) return false;
  if (file.size > limit) return refuseSize(path, file.size, limit, err);
  out->assign(static_cast<std::size_t>(file.size), 0);
  std::size_t have = 0;
  unsigned char more[64 * 1024];  // past the size fstat gave: the file grew
  for (;;) {
    const bool full = have == out->size();
    void* into = full ? static_cast<void*>(more) : static_cast<void*>(&(*out)[have]);
    const ssize_t got = read(file.fd, into, full ? sizeof more : out->size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *err = "cannot read " + path + ": " + systemError();
      return false;
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
    if (have > limit) return refuseSize(path, have, limit, err);
    if (full) out->insert(out->end(), more, more + got);
  }
  out->resize(have);
  return true;
}

}  // namespace

OpenFile::~OpenFile() {
  if (fd >= 0) close(fd);
}

bool openRegularFile(const std::string& path, OpenFile* file, std::string* err) {
  if (path.find('\0') != std::string::npos) {
    *err = "the file name " + printable(path) + " holds a NUL character";
    return false;
  }
  // Seen before opening, so a device is not even opened (some act on open).
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    *err = "cannot read " + path + ": " + systemError();
    return false;
  }
  if (!S_ISREG(info.st_mode)) return refuseKind(path, info.st_mode, err);
  file->fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (file->fd < 0) {
    *err = "cannot open " + path + ": " + systemError();
    return false;
  }
  // What was opened counts: the path may have been replaced in between.
  if (fstat(file->fd, &info) != 0) {
    *err = "cannot read " + path + ": " + systemError();
    return false;
  }
  if (!S_ISREG(info.st_mode)) return refuseKind(path, info.st_mode, err);
  file->size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool readAt(const OpenFile& file, const std::string& path, uint64_t offset, std::size_t count,
            unsigned char* out, std::string* err) {
  std::size_t have = 0;
  while (have < count) {
    const ssize_t got = pread(file.fd, out + have, count - have, static_cast<off_t>(offset + have));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      *err = got < 0 ? "cannot read " + path + ": " + systemError()
                     : path + " ended early: it changed while it was read";
      return false;
    }
    have += static_cast<std::size_t>(got);
  }
  return true;
}

bool readFile(const std::string& path, std::size_t limit, std::vector<unsigned char>* bytes,
              std::string* err) {
  return readWhole(path, limit, bytes, err);
}

bool readFile(const std::string& path, std::size_t limit, std::string* text, std::string* err) {
  return readWhole(path, limit, text, err);
}

}  // namespace plenwick
