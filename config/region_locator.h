// Finds the reserved region inside a launcher executable's bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plenwick {

struct RegionLocation {
  std::size_t offset = 0;  // file offset of the region's first byte
  std::string error;       // empty when found
  bool found() const { return error.empty(); }
};

// The region follows the locator text, which must occur exactly once.
RegionLocation locateRegion(const std::vector<unsigned char>& file);

}  // namespace plenwick
