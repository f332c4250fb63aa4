#include "tools/pack/files/output_place.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "tools/pack/files/image_marker.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// Adds `path` as written (made absolute) and resolved through links.
void addBothSpellings(const std::string& path, std::vector<std::string>& into) {
  if (path.empty()) return;
  const std::string normal = normalOutputPath(path);
  into.push_back(normal);
  const std::string real = resolvedPath(normal);
  if (real != normal) into.push_back(real);
}

bool refuse(const std::string& output, const std::string& why, std::string* err) {
  *err = output + " " + why + "; choose a new folder for the output";
  return false;
}

bool refuseFile(const std::string& output, const std::string& why, std::string* err) {
  *err = output + " " + why + "; choose another file for the output";
  return false;
}

bool checkName(const std::string& normal, std::string* err) {
  const std::string name = fs::path(normal).filename().string();
  if (name.size() > NAME_MAX) {
    *err = "the name " + name.substr(0, 40) + "... is " + std::to_string(name.size()) +
           " bytes long; the file system holds names of at most " + std::to_string(NAME_MAX);
    return false;
  }
  if (normal.size() >= PATH_MAX) {
    *err = normal.substr(0, 40) + "... is longer than the system allows (" +
           std::to_string(PATH_MAX) + " bytes)";
    return false;
  }
  return true;
}

// Runs `check` on `path` as written and as resolved.
template <typename Check>
bool checkBothSpellings(const std::string& path, std::string* normal, std::string* err,
                        Check check) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    *err = "the output path is empty or holds a NUL character";
    return false;
  }
  *normal = normalOutputPath(path);
  if (!checkName(*normal, err) || !check(*normal, err)) return false;
  const std::string real = resolvedPath(*normal);
  if (real == *normal || check(real, err)) return true;
  *err += " (" + *normal + " leads there through a link)";
  return false;
}

}  // namespace

bool pathWithin(const std::string& inner, const std::string& outer) {
  const fs::path in(inner), out(outer);
  auto i = in.begin();
  for (auto o = out.begin(); o != out.end(); ++o, ++i) {
    if (o->empty()) continue;  // the empty name after a trailing separator
    if (i == in.end() || *i != *o) return false;
  }
  return true;
}

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

std::string resolvedPath(const std::string& path) {
  fs::path existing(path);
  fs::path rest;
  std::error_code code;
  while (existing.has_relative_path()) {
    const fs::path real = fs::canonical(existing, code);
    if (!code) return normalOutputPath((real / rest).string());
    rest = existing.filename() / rest;
    existing = existing.parent_path();
  }
  return normalOutputPath(path);
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

bool checkOutputPlace(const std::string& output, const OutputSurroundings& around,
                      std::string* err) {
  if (output == "/") return refuse(output, "is the filesystem root", err);
  for (const std::string& home : around.homeFolders) {
    if (output == home) return refuse(output, "is your home folder", err);
    if (pathWithin(home, output)) return refuse(output, "holds your home folder", err);
  }
  for (const std::string& cwd : around.workingFolders) {
    if (pathWithin(cwd, output)) {
      return refuse(output, output == cwd ? "is the current folder" : "holds the current folder",
                    err);
    }
  }
  for (const std::string& input : around.inputs) {
    if (pathWithin(input, output)) {
      return refuse(output, "holds " + input + ", which this run reads", err);
    }
    if (pathWithin(output, input)) {
      return refuse(output, "lies inside " + input + ", which this run reads", err);
    }
  }
  return true;
}

bool checkFileOutputPlace(const std::string& output, const OutputSurroundings& around,
                          std::string* err) {
  for (const std::string& input : around.inputs) {
    if (output == input) return refuseFile(output, "is an input of this run", err);
    if (pathWithin(output, input)) {
      return refuseFile(output, "lies inside " + input + ", which this run reads", err);
    }
  }
  return true;
}

bool checkFolderOutput(const std::string& path, const OutputSurroundings& around,
                       std::string* normal, std::string* err) {
  return checkBothSpellings(path, normal, err, [&](const std::string& p, std::string* e) {
    return checkOutputPlace(p, around, e);
  });
}

bool checkFileOutput(const std::string& path, const OutputSurroundings& around, std::string* normal,
                     std::string* err) {
  return checkBothSpellings(path, normal, err,
                            [&](const std::string& p, std::string* e) {
                              return checkFileOutputPlace(p, around, e);
                            }) &&
         mayPlaceFile(*normal, err);
}

OutputKind outputKindAt(const std::string& path, std::vector<std::string>* changes) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return OutputKind::kNothing;
  if (S_ISLNK(info.st_mode)) return OutputKind::kLink;
  if (S_ISREG(info.st_mode)) return OutputKind::kFile;
  if (!S_ISDIR(info.st_mode)) return OutputKind::kSpecial;
  std::vector<std::string> differences;
  switch (checkImageMarker(path, &differences)) {
    case MarkerState::kMatches:
      return OutputKind::kImage;
    case MarkerState::kDiffers:
      if (changes != nullptr) *changes = differences;
      return OutputKind::kChangedImage;
    case MarkerState::kNone:
      break;
  }
  std::error_code code;
  return fs::is_empty(path, code) && !code ? OutputKind::kEmptyFolder : OutputKind::kFolder;
}

bool mayPlaceImage(const std::string& path, OutputKind kind, bool force,
                   const std::vector<std::string>& changes, std::string* err) {
  switch (kind) {
    case OutputKind::kNothing:
    case OutputKind::kEmptyFolder:
      return true;
    case OutputKind::kImage:
      if (force) return true;
      *err = path + " exists already; --force replaces it";
      return false;
    case OutputKind::kChangedImage:
      *err = path + " is an image made by plenwick-pack, but it holds what the packer did not " +
             "put there:";
      for (const std::string& change : changes) *err += "\n  " + change;
      *err +=
          "\nnothing was replaced: move what you want to keep out of it and delete the rest "
          "yourself, or choose a new folder";
      return false;
    case OutputKind::kFolder:
      *err = path + " is a folder that is not an image made by plenwick-pack (it has no valid " +
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

bool mayPlaceFile(const std::string& path, std::string* err) {
  struct stat info;
  return lstat(path.c_str(), &info) != 0 || mayReplaceFile(path, info, err);
}

bool mayReplaceFile(const std::string& path, const struct stat& info, std::string* err) {
  if (S_ISLNK(info.st_mode)) {
    *err = path + " is a symbolic link; give the file itself, or a new name";
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *err = path + " exists and is not a regular file; nothing was changed";
    return false;
  }
  return true;
}

}  // namespace plenwick
