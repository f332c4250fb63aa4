#include "config/launch_config_block.h"

namespace plenwick {
namespace {

constexpr LocatedRegion makeUnpackedRegion() {
  LocatedRegion region{};
  for (std::size_t i = 0; i < kRegionLocatorSize; ++i) region.locator[i] = kRegionLocator[i];
  writeUnpackedBlock(region.block);
  return region;
}

}  // namespace

// Constant-initialised, so it sits in the executable's read-only data.
extern const LocatedRegion launchConfigRegion = makeUnpackedRegion();

const unsigned char* volatile launchConfigBlockAddress = launchConfigRegion.block;

// The only static object with a constructor of its own.
LaunchConfig launchConfig(launchConfigBlockAddress);

}  // namespace plenwick
