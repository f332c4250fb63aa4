#include "tools/pack/files/output_place.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// True when `inner` is `outer` or lies below it (both absolute and normal).
bool within(const fs::path& inner, const fs::path& outer) {
  auto o = outer.begin();
  auto i = inner.begin();
  for (; o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // the empty name after a trailing separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

// Adds `path` as written (made absolute) and resolved through links.
void addBothSpellings(const std::string& path, std::vector<std::string>& into) {
  if (path.empty()) return;
  std::error_code code;
  into.push_back(normalOutputPath(path));
  const fs::path real = fs::weakly_canonical(path, code);
  if (!code) into.push_back(real.string());
}

bool refuse(const std::string& output, const std::string& why, std::string* err) {
  *err = output + " " + why + "; choose a new folder for the output";
  return false;
}

}  // namespace

std::string normalOutputPath(const std::string& path) {
  std::error_code code;
  fs::path normal = fs::absolute(path, code).lexically_normal();
  if (normal.has_relative_path() && normal.filename().empty()) normal = normal.parent_path();
  std::string text = normal.string();
  // POSIX leaves a leading "//" to the system; Linux reads it as "/".
  const std::size_t slashes = text.find_first_not_of('/');
  if (slashes != std::string::npos ? slashes > 1 : text.size() > 1) {
    text.erase(0, (slashes == std::string::npos ? text.size() : slashes) - 1);
  }
  return text;
}

bool checkOutputPlace(const std::string& output, const OutputSurroundings& around,
                      std::string* err) {
  const fs::path out(output);
  if (out == out.root_path()) return refuse(output, "is the filesystem root", err);
  for (const std::string& home : around.homeFolders) {
    if (out == fs::path(home)) return refuse(output, "is your home folder", err);
  }
  for (const std::string& cwd : around.workingFolders) {
    if (within(fs::path(cwd), out)) {
      return refuse(
          output, out == fs::path(cwd) ? "is the current folder" : "holds the current folder", err);
    }
  }
  for (const std::string& input : around.inputs) {
    if (within(fs::path(input), out)) {
      return refuse(output, "holds " + input + ", which this run reads", err);
    }
    if (within(out, fs::path(input))) {
      return refuse(output, "lies inside " + input + ", which this run reads", err);
    }
  }
  return true;
}

OutputKind outputKindAt(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return OutputKind::kNothing;
  if (S_ISLNK(info.st_mode)) return OutputKind::kLink;
  if (S_ISREG(info.st_mode)) return OutputKind::kFile;
  if (!S_ISDIR(info.st_mode)) return OutputKind::kSpecial;
  struct stat marker;
  if (lstat((fs::path(path) / kImageMarker).c_str(), &marker) == 0 && S_ISREG(marker.st_mode)) {
    return OutputKind::kImage;
  }
  std::error_code code;
  return fs::is_empty(path, code) && !code ? OutputKind::kEmptyFolder : OutputKind::kFolder;
}

bool mayPlaceImage(const std::string& path, OutputKind kind, bool force, std::string* err) {
  switch (kind) {
    case OutputKind::kNothing:
    case OutputKind::kEmptyFolder:
      return true;
    case OutputKind::kImage:
      if (force) return true;
      *err = path + " exists already; --force replaces it";
      return false;
    case OutputKind::kFolder:
      *err = path + " is a folder that is not an image made by plenwick-pack (it has no " +
             kImageMarker +
             "); --force replaces only such an image: choose a new folder, or empty this one "
             "yourself";
      return false;
    case OutputKind::kFile:
      *err = path + " is a file, not an image folder; nothing was changed";
      return false;
    case OutputKind::kLink:
      *err = path + " is a symbolic link; give the folder itself, or a new one";
      return false;
    case OutputKind::kSpecial:
      *err = path + " is a special file (a device, FIFO or socket); nothing was changed";
      return false;
  }
  return false;
}

OutputSurroundings surroundingsOf(const std::vector<std::string>& inputs) {
  OutputSurroundings around;
  std::error_code code;
  addBothSpellings(fs::current_path(code).string(), around.workingFolders);
  // The shell's spelling of the current folder, when it still names it.
  const char* pwd = std::getenv("PWD");
  if (pwd != nullptr && *pwd == '/' && fs::equivalent(pwd, ".", code)) {
    addBothSpellings(pwd, around.workingFolders);
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') addBothSpellings(home, around.homeFolders);
  passwd entry{};
  passwd* user = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &user) == 0 && user != nullptr) {
    addBothSpellings(user->pw_dir, around.homeFolders);
  }
  for (const std::string& input : inputs) addBothSpellings(input, around.inputs);
  return around;
}

}  // namespace plenwick
