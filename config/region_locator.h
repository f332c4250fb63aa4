// The launch configuration inside a launcher executable: the reserved region,
// the marker in front of it, finding it, and writing a block into it. The
// launcher, the packer, the tests and the fuzzers all go through here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick {

// Text placed directly in front of the region so that the packer can find the
// region again in a launcher it has already packed (once packed, the filler is
// gone). It occurs exactly once in a launcher executable.
constexpr char kRegionLocator[] = "PLENWICK:launch-config-region:v1";
constexpr std::size_t kRegionLocatorSize = sizeof(kRegionLocator);  // with its NUL

// How the region lies in the executable's read-only data.
struct LocatedRegion {
  char locator[kRegionLocatorSize];
  unsigned char block[kLaunchConfigBlockSize];
};

struct RegionLocation {
  std::size_t offset = 0;  // file offset of the region's first byte
  std::string error;       // empty when found
  bool found() const { return error.empty(); }
};

// The region follows the locator text, which must occur exactly once.
RegionLocation locateRegion(const std::vector<unsigned char>& file);

// Encodes `config` and writes it over the region of `executable`. False, with
// the reason in `error`, when the configuration does not fit or the region
// cannot be found; `executable` is then unchanged.
bool writeLaunchConfigBlock(const LaunchConfig& config, std::vector<unsigned char>& executable,
                            std::string* error);

}  // namespace plenwick
