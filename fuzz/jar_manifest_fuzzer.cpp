// Any bytes as a jar whose manifest the packer reads, and as a manifest text:
// a result or a message, never a crash; its Class-Path and Bundle-ClassPath
// entries, made printable, hold no control character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/pack/content/jar_manifest.h"
#include "tools/pack/text/printable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  std::string text, error;
  if (!plenwick::extractManifest(bytes, &text, &error) && error.empty()) std::abort();
  plenwick::JarManifest manifest;
  error.clear();
  if (!plenwick::parseManifest(std::string(bytes.begin(), bytes.end()), &manifest, &error) &&
      error.empty()) {
    std::abort();
  }
  for (const auto* list : {&manifest.classPath, &manifest.bundleClassPath}) {
    for (const std::string& entry : *list) {
      for (const char c : plenwick::printable(entry)) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
      }
    }
  }
  return 0;
}
