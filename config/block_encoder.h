// Builds the bytes of the reserved region from a launch configuration: the
// inverse of decodeLaunchConfig, used by the packer, the tests and the fuzzers.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick {

struct EncodeResult {
  std::vector<unsigned char> region;  // kLaunchConfigBlockSize bytes when ok
  std::string error;                  // empty when ok
  bool ok() const { return error.empty(); }
};

// Validates and encodes `config`: at most 255 options and arguments, no NUL
// inside a string, and the block must leave room for the region's final NUL.
EncodeResult encodeLaunchConfig(const LaunchConfig& config);

// The bytes of a region that was never packed: filler and the final NUL.
std::vector<unsigned char> unpackedRegion();

}  // namespace plenwick
