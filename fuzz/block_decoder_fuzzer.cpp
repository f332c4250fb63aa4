// Any bytes as the reserved region: the decoder never reads outside it, and a
// block it accepts encodes to a region that decodes to the same configuration.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "config/block_encoder.h"
#include "config/launch_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // At its own size: libFuzzer's buffer ends there, so ASan sees a read past it.
  plenwick::LaunchConfig loose;
  if (plenwick::decodeLaunchConfig(data, size, loose) != loose.intact) std::abort();

  std::vector<unsigned char> region = plenwick::unpackedRegion();
  std::memcpy(region.data(), data, size < region.size() ? size : region.size());
  plenwick::LaunchConfig config;
  if (!plenwick::decodeLaunchConfig(region.data(), region.size(), config)) return 0;
  const plenwick::EncodeResult encoded = plenwick::encodeLaunchConfig(config);
  if (!encoded.ok()) return 0;  // the last NUL was the region's final byte
  plenwick::LaunchConfig again;
  if (!plenwick::decodeLaunchConfig(encoded.region.data(), encoded.region.size(), again) ||
      again.mainClass != config.mainClass || again.jvmOptions != config.jvmOptions ||
      again.appArguments != config.appArguments ||
      again.threadStackSize != config.threadStackSize) {
    std::abort();
  }
  return 0;
}
