#include "tools/pack/files/replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tools/pack/files/image_marker.h"
#include "tools/pack/host/interrupts.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTemporaryName = ".pw-XXXXXX";

bool systemFailure(const std::string& what, std::string* err) {
  *err = what + ": " + std::strerror(errno);
  return false;
}

// A path that reaches `name` through the opened folder `fd` (through
// /proc/self/fd when it is there, which no later link swap can redirect),
// else through the real path the folder had when it was opened.
std::string pathThrough(int fd, const std::string& real, const std::string& name) {
  const std::string proc = "/proc/self/fd/" + std::to_string(fd);
  if (access(proc.c_str(), F_OK) == 0) return proc + "/" + name;
  return real + "/" + name;
}

// Where the opened folder `fd` is now, or `fallback` where /proc cannot tell.
std::string whereIs(int fd, const std::string& fallback) {
  char buffer[PATH_MAX];
  const std::string proc = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = readlink(proc.c_str(), buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : fallback;
}

// Opens `path` as a folder, following links once; `real` receives where it is.
bool openFolder(const std::string& path, int* fd, std::string* real, std::string* err) {
  *fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (*fd < 0) return systemFailure("cannot open the folder " + path, err);
  std::error_code code;
  *real = whereIs(*fd, fs::canonical(path, code).string());
  return true;
}

bool within(const std::string& inner, const std::string& outer) {
  return inner != outer && pathWithin(inner, outer);
}

// Flushes a whole folder tree (the filesystem holding it) to disk.
bool syncTree(const std::string& path, std::string* err) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return systemFailure("cannot open " + path, err);
  const bool synced = syncfs(fd) == 0;
  close(fd);
  return synced || systemFailure("cannot flush " + path + " to disk", err);
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

// The mode a file written at `name` in `folder` gets: an existing file's own.
bool finalModeAt(int folder, const std::string& name, const std::string& path, unsigned mode,
                 mode_t* finalMode, std::string* err) {
  *finalMode = static_cast<mode_t>(mode) & ~currentUmask();
  struct stat existing;
  if (fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) return true;
  if (!mayReplaceFile(path, existing, err)) return false;
  *finalMode = existing.st_mode & 07777;
  return true;
}

}  // namespace

Staging::~Staging() {
  std::error_code code;
  if (!folder_.empty()) fs::remove_all(folder_, code);
  // Only folders this run made, and only while they are still empty.
  for (const std::string& parent : createdParents_) rmdir(parent.c_str());
  forgetStaging(&folder_);
  if (parentFd_ >= 0) close(parentFd_);
}

bool Staging::create(const std::string& output, std::string* err) {
  // An interrupt removes what is made here; it waits until all is recorded.
  const InterruptDeferral deferral;
  trackStaging(&folder_, &createdParents_);
  const fs::path parent = fs::path(output).parent_path();
  name_ = fs::path(output).filename().string();
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
  if (!openFolder(parent.string(), &parentFd_, &parent_, err)) return false;
  std::string pattern = pathThrough(parentFd_, parent_, kTemporaryName);
  if (mkdtemp(pattern.data()) == nullptr) {
    return systemFailure("cannot create a temporary folder in " + parent.string(), err);
  }
  folderName_ = fs::path(pattern).filename().string();
  folder_ = parent_ + "/" + folderName_;
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

std::string Staging::entryPath(const std::string& name) const {
  return pathThrough(parentFd_, parent_, name);
}

bool Staging::remove(const std::string& path, std::string* err) {
  if (folder_.empty() || !within(fs::path(path).lexically_normal().string(), folder_)) {
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

// Moves the earlier image into the staging folder, then checks what was
// moved: another process may have swapped something else into its place
// after it was first checked.
bool Staging::moveAside(const std::string& aside, std::string* err) {
  const std::string inside = folderName_ + "/" + aside;
  if (renameat(parentFd_, name_.c_str(), parentFd_, inside.c_str()) != 0) {
    return systemFailure("cannot move the earlier image " + parent_ + "/" + name_ + " aside", err);
  }
  std::vector<std::string> changes;
  if (outputKindAt(entryPath(inside), &changes) == OutputKind::kImage) return true;
  *err = parent_ + "/" + name_ + " changed while the new image was put in place; nothing was " +
         "replaced";
  if (renameat(parentFd_, inside.c_str(), parentFd_, name_.c_str()) != 0) {
    *err += "; what was there is kept at " + folder_ + "/" + aside;
    folder_.clear();  // never remove what this run did not make
  }
  return false;
}

bool Staging::commitImage(const OutputSurroundings& around, std::string* err,
                          const std::function<bool(std::string*)>& afterAside) {
  if (!syncTree(imagePath(), err)) return false;
  // An interrupt waits for the renames: it must find either the earlier image
  // or the new one in place, and the staging folder in step with them.
  const InterruptDeferral deferral;
  // The place again, as the opened parent is now: links in the path may have changed.
  const std::string real = normalOutputPath(whereIs(parentFd_, parent_) + "/" + name_);
  if (!checkOutputPlace(real, around, err)) return false;
  std::vector<std::string> changes;
  const OutputKind kind = outputKindAt(entryPath(name_), &changes);
  const std::string aside = "previous";
  if (kind == OutputKind::kImage) {
    if (!moveAside(aside, err)) return false;
  } else if (kind != OutputKind::kNothing && kind != OutputKind::kEmptyFolder) {
    // Something else appeared while the image was built.
    return mayPlaceImage(parent_ + "/" + name_, kind, false, changes, err);
  }
  // renameat() replaces an empty folder and nothing else.
  const std::string image = folderName_ + "/image";
  bool placed = !afterAside || afterAside(err);
  if (placed && renameat(parentFd_, image.c_str(), parentFd_, name_.c_str()) != 0) {
    placed = systemFailure("cannot move the new image to " + parent_ + "/" + name_, err);
  }
  const std::string previous = folderName_ + "/" + aside;
  if (!placed && kind == OutputKind::kImage &&
      renameat(parentFd_, previous.c_str(), parentFd_, name_.c_str()) != 0) {
    *err += "; the earlier image is kept at " + folder_ + "/" + aside;
    folder_.clear();  // never remove the only copy of the earlier image
  }
  if (placed) createdParents_.clear();
  fsync(parentFd_);
  return placed;
}

bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         unsigned mode, std::string* err) {
  const fs::path target(path);
  const std::string name = target.filename().string();
  int folder = -1;
  std::string real;
  mode_t finalMode = 0;
  if (!openFolder(target.parent_path().empty() ? "." : target.parent_path().string(), &folder,
                  &real, err)) {
    return false;
  }
  if (!finalModeAt(folder, name, path, mode, &finalMode, err)) {
    close(folder);
    return false;
  }
  // An interrupt removes the temporary file until it has its final name.
  static const std::vector<std::string> kNoParents;
  std::string temporary = pathThrough(folder, real, kTemporaryName);
  int fd = -1;
  {
    const InterruptDeferral deferral;
    fd = mkstemp(temporary.data());  // O_CREAT | O_EXCL: never follows a link
    if (fd >= 0) trackStaging(&temporary, &kNoParents);
  }
  bool written = fd >= 0 && writeAll(fd, bytes) && fchmod(fd, finalMode) == 0 && fsync(fd) == 0;
  if (!written) systemFailure("cannot write " + path, err);
  if (fd >= 0 && close(fd) != 0 && written) written = systemFailure("cannot write " + path, err);
  const std::string temporaryName = fs::path(temporary).filename().string();
  if (fd >= 0) {
    const InterruptDeferral deferral;
    if (written && renameat(folder, temporaryName.c_str(), folder, name.c_str()) != 0) {
      written = systemFailure("cannot replace " + path, err);
    }
    if (!written) unlinkat(folder, temporaryName.c_str(), 0);
    forgetStaging(&temporary);
  }
  fsync(folder);
  close(folder);
  return written;
}

}  // namespace plenwick
