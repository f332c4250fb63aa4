// How large an image is on disk, said at the end of `image` and by `show`.
#pragma once

#include <cstdint>
#include <string>

namespace plenwick {

// The bytes of the regular files below `root`, links not followed; 0 when
// `root` cannot be read.
std::uintmax_t treeSize(const std::string& root);

// "118.9 MB" (10^6 bytes, as file managers show it).
std::string megabytes(std::uintmax_t bytes);

}  // namespace plenwick
