// Any bytes as the PE executable and the manifest the packer reads: a clear
// error or a parsed file, never a crash; resources read from a file are written
// back and read again unchanged, and the other sections keep their bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/pack/pe/pe_file.h"
#include "tools/pack/pe/resource_reader.h"
#include "tools/pack/pe/section_writer.h"
#include "tools/pack/windows/manifest.h"

namespace {

using namespace plenwick;

void check(bool condition, const char* what, const std::string& detail = {}) {
  if (condition) return;
  std::fprintf(stderr, "pe_reader_fuzzer: %s %s\n", what, detail.c_str());
  std::abort();
}

bool same(const Resource& a, const Resource& b) {
  return a.type == b.type && a.name == b.name && a.language == b.language && a.data == b.data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const Bytes bytes(data, data + size);
  ManifestIdentity identity;
  readManifestIdentity(std::string(bytes.begin(), bytes.end()), identity);

  PeFile pe;
  std::vector<Resource> resources;
  std::string error;
  if (!parsePe(bytes, pe, &error) || !readResources(pe, resources, &error)) {
    check(!error.empty(), "refused without a message");
    return 0;
  }
  check(pe.bytes == bytes, "the parser changed the bytes");
  PeFile rewritten = pe;
  if (!writeResources(rewritten, resources, &error)) {
    check(!error.empty(), "resources not written, without a message");
    return 0;
  }
  PeFile again;
  check(parsePe(rewritten.bytes, again, &error), "the rewritten PE does not parse:", error);
  check(again.sections.size() == pe.sections.size(), "the rewrite changed the section count");
  const int resourceSection = sectionOfRva(pe, dataDirectory(pe, kDirResource).rva);
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const PeSection& was = pe.sections[i];
    const PeSection& now = again.sections[i];
    check(
        static_cast<int>(i) == resourceSection ||
            (now.rawSize == was.rawSize && std::equal(bytes.begin() + was.rawPointer,
                                                      bytes.begin() + was.rawPointer + was.rawSize,
                                                      again.bytes.begin() + now.rawPointer)),
        "the rewrite changed the bytes of section", was.name);
  }
  std::vector<Resource> read;
  check(readResources(again, read, &error), "the rewritten resources do not read:", error);
  check(std::equal(resources.begin(), resources.end(), read.begin(), read.end(), same),
        "the resources changed on the way through");
  return 0;
}
