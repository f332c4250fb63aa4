// The launch settings that the packing step writes into the launcher, decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plenwick {

// Size of the reserved region in the launcher's read-only data. The last byte is
// always NUL; every byte after the encoded block is the filler '_'.
constexpr std::size_t kLaunchConfigBlockSize = 16464;
constexpr unsigned char kBlockFiller = '_';

// Writes a region that was never packed (filler and the final NUL) to the
// kLaunchConfigBlockSize bytes at `block`. Constant-evaluated for the
// launcher's own region, so that it sits in read-only data.
constexpr void writeUnpackedBlock(unsigned char* block) {
  for (std::size_t i = 0; i + 1 < kLaunchConfigBlockSize; ++i) block[i] = kBlockFiller;
  block[kLaunchConfigBlockSize - 1] = 0;
}

// A list in the block has a one-byte count.
constexpr std::size_t kMaxListEntries = 255;

struct LaunchConfig {
  bool runOnCallingThread = false;
  bool consoleApp = false;
  bool utf8Console = false;
  bool reservedFlag3 = false;
  bool packageAppDataVars = false;
  uint32_t threadStackSize = 0;
  std::string mainClass;
  std::vector<std::string> jvmOptions;
  std::vector<std::string> appArguments;
  // False when the block ran off the end of the region (a damaged block, or a
  // launcher that was never packed): such a configuration must not be started.
  bool intact = true;

  LaunchConfig() = default;
  // Decodes the region at `block` (kLaunchConfigBlockSize bytes).
  explicit LaunchConfig(const unsigned char* block);
};

// Decodes `size` bytes at `block` into `config`. Never reads outside them.
// Returns false (and leaves `config.intact` false) when the block runs off the end.
bool decodeLaunchConfig(const unsigned char* block, std::size_t size, LaunchConfig& config);

}  // namespace plenwick
