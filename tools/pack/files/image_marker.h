// The marker that makes a folder an image made by plenwick-pack: a file in the
// image's root that lists every entry the packer put there. Only a folder
// that still holds exactly what its marker lists (or less) may be replaced.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

constexpr const char* kImageMarker = ".plenwick-image";

// Writes the marker into `root`, listing every entry below it with its type,
// size, modification time and, for a link, its target.
bool writeImageMarker(const std::string& root, std::string* err);

enum class MarkerState {
  kNone,     // no marker, or one that is not a list written by writeImageMarker
  kMatches,  // every entry is listed and unchanged (listed entries may be gone)
  kDiffers,  // entries were added or changed since; `changes` names up to ten
};

MarkerState checkImageMarker(const std::string& root, std::vector<std::string>* changes);

}  // namespace plenwick
