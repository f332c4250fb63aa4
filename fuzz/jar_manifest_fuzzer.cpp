// Any bytes as a jar whose manifest the packer reads: a clear error or a
// manifest text of bounded size, never a crash; any text as a manifest.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/pack/content/jar_manifest.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "jar_manifest_fuzzer: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  std::string text, error;
  if (plenwick::extractManifest(bytes, &text, &error)) {
    check(text.size() <= (1u << 20), "a manifest larger than the limit");
  } else {
    check(!error.empty(), "a failure without a message");
  }
  plenwick::JarManifest manifest;
  const std::string raw(bytes.begin(), bytes.end());
  if (!plenwick::parseManifest(raw, &manifest, &error)) {
    check(error.rfind("manifest line ", 0) == 0, "a parse failure without the line");
  }
  return 0;
}
