#include "tools/pack/launcher/launcher_file.h"

#include <algorithm>

#include "config/block_encoder.h"
#include "config/region_locator.h"
#include "tools/pack/files/read_file.h"

namespace plenwick {

bool readLauncher(const std::string& path, LauncherFile& launcher, std::string* err) {
  if (!readFile(path, kMaxLauncherFile, &launcher.bytes, err)) return false;
  const RegionLocation location = locateRegion(launcher.bytes);
  if (!location.found()) {
    *err = path + ": " + location.error;
    return false;
  }
  launcher.regionOffset = location.offset;
  return true;
}

bool stillUnpacked(const LauncherFile& launcher) {
  const std::vector<unsigned char> unpacked = unpackedRegion();
  return std::equal(unpacked.begin(), unpacked.end(),
                    launcher.bytes.begin() + static_cast<std::ptrdiff_t>(launcher.regionOffset));
}

}  // namespace plenwick
