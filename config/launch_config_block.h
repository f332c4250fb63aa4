// The launcher's own reserved region, which the packing step rewrites, and the
// configuration decoded from it.
#pragma once

#include "config/launch_config.h"
#include "config/region_locator.h"

namespace plenwick {

// The region itself (launchConfigBlock is its `block`), in read-only data.
extern const LocatedRegion launchConfigRegion;

// Read through this pointer, which lives in writable data, so that no build
// step can fold the region's build-time content into the decoder: the bytes
// decoded are those present in the file at run time.
extern const unsigned char* volatile launchConfigBlockAddress;

// The process-wide configuration, decoded before main runs.
extern LaunchConfig launchConfig;

}  // namespace plenwick
