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

void check(bool condition, const char* what, const std::string& detail = {}) {
  if (!condition) {
    std::fprintf(stderr, "pe_reader_fuzzer: %s %s\n", what, detail.c_str());
    std::abort();
  }
}

bool sameResources(const std::vector<plenwick::Resource>& a,
                   const std::vector<plenwick::Resource>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!(a[i].type == b[i].type) || !(a[i].name == b[i].name) || a[i].language != b[i].language ||
        a[i].data != b[i].data) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const plenwick::Bytes bytes(data, data + size);

  plenwick::ManifestIdentity identity;
  plenwick::readManifestIdentity(std::string(bytes.begin(), bytes.end()), identity);

  plenwick::PeFile pe;
  std::string error;
  if (!plenwick::parsePe(bytes, pe, &error)) {
    check(!error.empty(), "a PE the parser refused without a message");
    return 0;
  }
  check(pe.bytes == bytes, "the parser changed the bytes");
  for (const plenwick::PeSection& section : pe.sections) {
    check(section.headerOffset + 40 <= pe.bytes.size(), "a section header outside the file");
  }
  std::vector<plenwick::Resource> resources;
  if (!plenwick::readResources(pe, resources, &error)) {
    check(!error.empty(), "resources refused without a message");
    return 0;
  }
  plenwick::PeFile rewritten = pe;
  if (!plenwick::writeResources(rewritten, resources, &error)) {
    check(!error.empty(), "resources not written, without a message");
    return 0;
  }
  plenwick::PeFile reparsed;
  check(plenwick::parsePe(rewritten.bytes, reparsed, &error),
        "the rewritten PE does not parse:", &error);
  // Every other section keeps its bytes, wherever the rewrite put them.
  const int resourceSection =
      plenwick::sectionOfRva(pe, plenwick::dataDirectory(pe, plenwick::kDirResource).rva);
  check(reparsed.sections.size() == pe.sections.size(), "the rewrite changed the section count");
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    if (static_cast<int>(i) == resourceSection) continue;
    const plenwick::PeSection& before = pe.sections[i];
    const plenwick::PeSection& after = reparsed.sections[i];
    check(after.rawSize == before.rawSize &&
              std::equal(pe.bytes.begin() + before.rawPointer,
                         pe.bytes.begin() + before.rawPointer + before.rawSize,
                         reparsed.bytes.begin() + after.rawPointer),
          "the rewrite changed the bytes of section", before.name);
  }
  std::vector<plenwick::Resource> again;
  check(plenwick::readResources(reparsed, again, &error),
        "the rewritten resources do not read:", &error);
  check(sameResources(resources, again), "the resources changed on the way through");
  return 0;
}
