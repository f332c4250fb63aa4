// The reserved region that the packing step rewrites in the finished launcher.
#pragma once

#include "config/launch_config.h"

namespace plenwick {

// Text placed directly in front of the region so that the packer can find the
// region again in a launcher it has already packed (once packed, the filler is
// gone). It occurs exactly once in a launcher executable.
constexpr char kRegionLocator[] = "PLENWICK:launch-config-region:v1";
constexpr std::size_t kRegionLocatorSize = sizeof(kRegionLocator);  // with its NUL

struct LocatedRegion {
  char locator[kRegionLocatorSize];
  unsigned char block[kLaunchConfigBlockSize];
};

// The region itself (launchConfigBlock is its `block`), in read-only data.
extern const LocatedRegion launchConfigRegion;

// Read through this pointer, which lives in writable data, so that no build
// step can fold the region's build-time content into the decoder: the bytes
// decoded are those present in the file at run time.
extern const unsigned char* volatile launchConfigBlockAddress;

// The process-wide configuration, decoded before main runs.
extern LaunchConfig launchConfig;

}  // namespace plenwick
