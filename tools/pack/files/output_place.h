// Where an image or a packed launcher may be written, decided before anything
// is built: the rules that keep the packer from replacing what it did not make.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

// The file that marks a complete image made by plenwick-pack, in its root.
constexpr const char* kImageMarker = ".plenwick-image";

// The places an output must keep clear of, as absolute, normalised paths
// (give a path in every spelling that matters: as written and resolved).
struct OutputSurroundings {
  std::vector<std::string> workingFolders;  // the current folder
  std::vector<std::string> homeFolders;     // the user's home
  std::vector<std::string> inputs;          // files and folders the run reads
};

// "out/", "out/." and "a/../out" all name "out"; the result is absolute.
std::string normalOutputPath(const std::string& path);

// False, with the reason, when `output` (absolute and normal) can never be
// right: the filesystem root, the home folder, the current folder or a folder
// above it, a folder that holds an input, or a place inside an input.
bool checkOutputPlace(const std::string& output, const OutputSurroundings& around,
                      std::string* err);

// What is at an output path, as far as replacing it goes.
enum class OutputKind {
  kNothing,
  kEmptyFolder,
  kImage,  // a folder with kImageMarker: an image made earlier
  kFolder,
  kFile,
  kLink,
  kSpecial,  // a FIFO, socket or device
};

// Looks at `path` without following a final symbolic link.
OutputKind outputKindAt(const std::string& path);

// Whether an image may go where `kind` is: nothing and an empty folder always,
// an earlier image with `force`. Otherwise false with a message naming `path`.
bool mayPlaceImage(const std::string& path, OutputKind kind, bool force, std::string* err);

// The places around the calling process (current folder, home), both as
// written and resolved, plus `inputs` in both spellings.
OutputSurroundings surroundingsOf(const std::vector<std::string>& inputs);

}  // namespace plenwick
