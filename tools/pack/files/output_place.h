// Where a command may write, decided before anything is built: the rules that
// keep the packer from replacing what it did not make. Every command that
// writes for the user (image, write, sign, installer) asks here first.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace plenwick {

// True when `inner` is `outer` or lies below it. Both absolute and normal;
// compared name by name, so "/a/bc" is not inside "/a/b" and "/a/..x" is
// inside "/a".
bool pathWithin(const std::string& inner, const std::string& outer);

// "out/", "out/." and "a/../out" all name "out"; the result is absolute.
std::string normalOutputPath(const std::string& path);

// `path` (absolute and normal) with every link resolved: the real path of the
// deepest folder that exists, with the names below it that do not exist yet.
std::string resolvedPath(const std::string& path);

// The places an output must keep clear of, as absolute, normal paths, each
// in every spelling that matters (as written and resolved).
struct OutputSurroundings {
  std::vector<std::string> workingFolders;  // the current folder
  std::vector<std::string> homeFolders;     // the user's home
  std::vector<std::string> inputs;          // files and folders the run reads
};

// The places around the calling process (current folder, home), both as
// written and resolved, plus `inputs` in both spellings.
OutputSurroundings surroundingsOf(const std::vector<std::string>& inputs);

// False, with the reason, when a folder output at `output` (absolute and
// normal, in one spelling) can never be right: the filesystem root, the home
// folder or a folder above it, the current folder or a folder above it, a
// folder that holds an input, or a place inside an input.
bool checkOutputPlace(const std::string& output, const OutputSurroundings& around,
                      std::string* err);

// The same for a file output: it may be neither an input nor inside one.
bool checkFileOutputPlace(const std::string& output, const OutputSurroundings& around,
                          std::string* err);

// Both checks above over both spellings of `path` (as written and resolved),
// and a name short enough for the file system. Returns the normal path.
bool checkFolderOutput(const std::string& path, const OutputSurroundings& around,
                       std::string* normal, std::string* err);
bool checkFileOutput(const std::string& path, const OutputSurroundings& around, std::string* normal,
                     std::string* err);

// What is at an output path, as far as replacing it goes.
enum class OutputKind {
  kNothing,
  kEmptyFolder,
  kImage,         // an image made earlier, unchanged since: its marker lists all it holds
  kChangedImage,  // an image made earlier that now holds more, or other, than it lists
  kFolder,
  kFile,
  kLink,
  kSpecial,  // a FIFO, socket or device
};

// Looks at `path` without following a final symbolic link. For a changed
// image, `changes` receives the entries that differ.
OutputKind outputKindAt(const std::string& path, std::vector<std::string>* changes = nullptr);

// Whether an image may go where `kind` is: nothing and an empty folder always,
// an unchanged earlier image with `force`. Otherwise false with a message.
bool mayPlaceImage(const std::string& path, OutputKind kind, bool force,
                   const std::vector<std::string>& changes, std::string* err);

// Whether a file may be written at `path`: nothing there, or a regular file.
bool mayPlaceFile(const std::string& path, std::string* err);
// The same for what is there already, as lstat (or fstatat without following
// a link) described it.
bool mayReplaceFile(const std::string& path, const struct stat& info, std::string* err);

}  // namespace plenwick
