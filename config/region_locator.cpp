#include "config/region_locator.h"

#include <algorithm>

#include "config/block_encoder.h"

namespace plenwick {

RegionLocation locateRegion(const std::vector<unsigned char>& file) {
  RegionLocation location;
  const unsigned char* marker = reinterpret_cast<const unsigned char*>(kRegionLocator);
  const unsigned char* markerEnd = marker + kRegionLocatorSize;
  auto first = std::search(file.begin(), file.end(), marker, markerEnd);
  if (first == file.end()) {
    location.error = "no launch configuration region found: this is not a Plenwick launcher";
    return location;
  }
  if (std::search(first + 1, file.end(), marker, markerEnd) != file.end()) {
    location.error = "the launch configuration region's marker occurs more than once";
    return location;
  }
  location.offset = static_cast<std::size_t>(first - file.begin()) + kRegionLocatorSize;
  if (file.size() - location.offset < kLaunchConfigBlockSize) {
    location.error = "the launch configuration region is cut short: the file is truncated";
  }
  return location;
}

bool writeLaunchConfigBlock(const LaunchConfig& config, std::vector<unsigned char>& executable,
                            std::string* error) {
  const EncodeResult encoded = encodeLaunchConfig(config);
  if (!encoded.ok()) {
    *error = encoded.error;
    return false;
  }
  const RegionLocation location = locateRegion(executable);
  if (!location.found()) {
    *error = location.error;
    return false;
  }
  std::copy(encoded.region.begin(), encoded.region.end(),
            executable.begin() + static_cast<std::ptrdiff_t>(location.offset));
  return true;
}

}  // namespace plenwick
