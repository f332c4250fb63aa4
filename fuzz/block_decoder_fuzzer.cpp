// Any bytes as the reserved region: the decoder must never read outside it, and
// a block it accepts must encode back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "config/block_encoder.h"
#include "config/launch_config.h"

namespace {

using plenwick::LaunchConfig;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "block_decoder_fuzzer: %s\n", what);
    std::abort();
  }
}

// Bytes the encoded block occupies: flags, stack size, the main class with its
// NUL, and each list as a count followed by its NUL-terminated strings.
std::size_t encodedLength(const LaunchConfig& config) {
  std::size_t length = 1 + 4 + config.mainClass.size() + 1;
  for (const auto* list : {&config.jvmOptions, &config.appArguments}) {
    length += 1;
    for (const std::string& entry : *list) length += entry.size() + 1;
  }
  return length;
}

bool sameConfig(const LaunchConfig& a, const LaunchConfig& b) {
  return a.runOnCallingThread == b.runOnCallingThread && a.consoleApp == b.consoleApp &&
         a.utf8Console == b.utf8Console && a.reservedFlag3 == b.reservedFlag3 &&
         a.packageAppDataVars == b.packageAppDataVars && a.threadStackSize == b.threadStackSize &&
         a.mainClass == b.mainClass && a.jvmOptions == b.jvmOptions &&
         a.appArguments == b.appArguments && a.intact == b.intact;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The input at its own size: libFuzzer's buffer ends exactly there, so ASan
  // reports any read past it.
  LaunchConfig loose;
  const bool looseOk = plenwick::decodeLaunchConfig(data, size, loose);
  check(looseOk == loose.intact, "the result and intact disagree");

  // The input as a region of exactly kLaunchConfigBlockSize bytes (heap-allocated,
  // so a read past its end is caught); a short input is padded as the packer pads.
  std::vector<unsigned char> region = plenwick::unpackedRegion();
  std::memcpy(region.data(), data, size < region.size() ? size : region.size());
  LaunchConfig config;
  if (!plenwick::decodeLaunchConfig(region.data(), region.size(), config)) {
    check(!config.intact, "a rejected block is marked intact");
    return 0;
  }
  check(config.jvmOptions.size() <= plenwick::kMaxListEntries, "too many options");
  check(config.appArguments.size() <= plenwick::kMaxListEntries, "too many arguments");

  const std::size_t length = encodedLength(config);
  check(length <= region.size(), "the decoded block is longer than its region");
  const plenwick::EncodeResult encoded = plenwick::encodeLaunchConfig(config);
  if (!encoded.ok()) {
    // The only block the encoder refuses is one whose last NUL is the region's
    // final byte: the encoder keeps that byte for the terminator.
    check(length == region.size(), "the encoder refused a block the decoder accepted");
    return 0;
  }
  check(encoded.region.size() == region.size(), "the encoded region has the wrong size");
  // Flag bits 5 to 7 are not part of the configuration; every other byte of the
  // block must come back as it was, and the rest is filler with the final NUL.
  check((encoded.region[0] & 0x1F) == (region[0] & 0x1F), "the flags changed");
  check((encoded.region[0] & 0xE0) == 0, "the encoder set an unused flag bit");
  check(std::memcmp(encoded.region.data() + 1, region.data() + 1, length - 1) == 0,
        "the block did not re-encode to the same bytes");
  for (std::size_t i = length; i + 1 < encoded.region.size(); ++i) {
    check(encoded.region[i] == plenwick::kBlockFiller, "the encoder left no filler");
  }
  check(encoded.region.back() == 0, "the encoded region has no final NUL");

  LaunchConfig again;
  check(plenwick::decodeLaunchConfig(encoded.region.data(), encoded.region.size(), again),
        "the re-encoded block does not decode");
  check(sameConfig(config, again), "the re-encoded block decodes differently");
  return 0;
}
