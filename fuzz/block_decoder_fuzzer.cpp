// Any bytes as the reserved region: the decoder must never read outside it, and
// a block it accepts must encode to a region that decodes to the same configuration.
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

  const plenwick::EncodeResult encoded = plenwick::encodeLaunchConfig(config);
  if (!encoded.ok()) {
    // A decoded block has no NUL inside a string and at most 255 entries, so
    // the only refusal is a block whose last NUL is the region's final byte.
    check(encoded.error.rfind("the configuration needs 16464 bytes", 0) == 0,
          "the encoder refused a block the decoder accepted");
    return 0;
  }
  LaunchConfig again;
  check(plenwick::decodeLaunchConfig(encoded.region.data(), encoded.region.size(), again),
        "the re-encoded block does not decode");
  check(sameConfig(config, again), "the re-encoded block decodes differently");
  // Encoding is stable: the decoded copy encodes to the very same region.
  check(plenwick::encodeLaunchConfig(again).region == encoded.region,
        "the re-encoded block encodes differently");
  return 0;
}
