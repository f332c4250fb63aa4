#include "tools/pack/files/replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tools/pack/files/output_place.h"
#include "tools/pack/host/interrupts.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool systemFailure(const std::string& what, std::string* err) {
  *err = what + ": " + std::strerror(errno);
  return false;
}

bool within(const fs::path& inner, const fs::path& outer) {
  const std::string rest = inner.lexically_relative(outer).string();
  return !rest.empty() && rest != "." && rest.rfind("..", 0) != 0;
}

// Flushes a whole folder tree (the filesystem holding it) to disk.
bool syncTree(const std::string& path, std::string* err) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return systemFailure("cannot open " + path, err);
  const bool synced = syncfs(fd) == 0;
  close(fd);
  return synced || systemFailure("cannot flush " + path + " to disk", err);
}

void syncFolderOf(const std::string& path) {
  const int fd = open(fs::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

mode_t currentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

Staging::~Staging() {
  std::error_code code;
  if (!folder_.empty()) fs::remove_all(folder_, code);
  // Only folders this run made, and only while they are still empty.
  for (const std::string& parent : createdParents_) rmdir(parent.c_str());
  forgetStaging(&folder_);
}

bool Staging::create(const std::string& output, std::string* err) {
  // An interrupt removes what is made here; it waits until all is recorded.
  const InterruptDeferral deferral;
  trackStaging(&folder_, &createdParents_);
  output_ = output;
  const fs::path parent = fs::path(output).parent_path();
  std::vector<fs::path> missing;
  for (fs::path p = parent; !p.empty() && p != p.root_path(); p = p.parent_path()) {
    struct stat info;
    if (lstat(p.c_str(), &info) == 0) break;
    missing.push_back(p);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (mkdir(it->c_str(), 0777) != 0) return systemFailure("cannot create " + it->string(), err);
    createdParents_.insert(createdParents_.begin(), it->string());
  }
  std::string pattern =
      (parent / ("." + fs::path(output).filename().string() + ".plenwick-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    return systemFailure("cannot create a temporary folder in " + parent.string(), err);
  }
  folder_ = pattern;
  if (mkdir(workPath().c_str(), 0700) != 0)
    return systemFailure("cannot create " + workPath(), err);
  return true;
}

std::string Staging::imagePath() const {
  return folder_ + "/image";
}

std::string Staging::workPath() const {
  return folder_ + "/work";
}

bool Staging::remove(const std::string& path, std::string* err) {
  if (folder_.empty() || !within(fs::path(path).lexically_normal(), fs::path(folder_))) {
    *err = "refusing to remove " + path + ": it was not made by this run";
    return false;
  }
  std::error_code code;
  fs::remove_all(path, code);
  if (code) {
    *err = "cannot remove " + path + ": " + code.message();
    return false;
  }
  return true;
}

bool Staging::commitImage(std::string* err, const std::function<bool(std::string*)>& afterAside) {
  if (!syncTree(imagePath(), err)) return false;
  const OutputKind kind = outputKindAt(output_);
  const std::string aside = folder_ + "/previous";
  if (kind == OutputKind::kImage) {
    if (rename(output_.c_str(), aside.c_str()) != 0) {
      return systemFailure("cannot move the earlier image " + output_ + " aside", err);
    }
  } else if (kind != OutputKind::kNothing && kind != OutputKind::kEmptyFolder) {
    // Something else appeared while the image was built.
    return mayPlaceImage(output_, kind, false, err);
  }
  // rename() replaces an empty folder and nothing else.
  bool placed = !afterAside || afterAside(err);
  if (placed && rename(imagePath().c_str(), output_.c_str()) != 0) {
    placed = systemFailure("cannot move the new image to " + output_, err);
  }
  if (!placed && kind == OutputKind::kImage && rename(aside.c_str(), output_.c_str()) != 0) {
    *err += "; the earlier image is kept at " + aside;
    folder_.clear();  // never remove the only copy of the earlier image
  }
  if (placed) createdParents_.clear();
  syncFolderOf(output_);
  return placed;
}

bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         unsigned mode, std::string* err) {
  struct stat existing;
  mode_t finalMode = static_cast<mode_t>(mode) & ~currentUmask();
  if (lstat(path.c_str(), &existing) == 0) {
    if (S_ISLNK(existing.st_mode)) {
      *err = path + " is a symbolic link; give the file itself, or a new name";
      return false;
    }
    if (!S_ISREG(existing.st_mode)) {
      *err = path + " exists and is not a regular file; nothing was changed";
      return false;
    }
    finalMode = existing.st_mode & 07777;
  }
  const fs::path target(path);
  std::string temporary =
      (target.parent_path() / ("." + target.filename().string() + ".plenwick-XXXXXX")).string();
  const int fd = mkstemp(temporary.data());  // O_CREAT | O_EXCL: never follows a link
  if (fd < 0) return systemFailure("cannot write " + path, err);
  const bool written = writeAll(fd, bytes) && fchmod(fd, finalMode) == 0 && fsync(fd) == 0;
  const int writeErrno = errno;
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    errno = written ? errno : writeErrno;
    unlink(temporary.c_str());
    return systemFailure("cannot write " + path, err);
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const bool failed = systemFailure("cannot replace " + path, err);
    unlink(temporary.c_str());
    return failed;
  }
  syncFolderOf(path);
  return true;
}

}  // namespace plenwick
