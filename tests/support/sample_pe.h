// A small PE32+ launcher for the packer's tests: .rdata holding the launch
// configuration region, .rsrc with the given resources, and .reloc.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config/block_encoder.h"
#include "config/region_locator.h"
#include "tools/pack/pe/pe_file.h"
#include "tools/pack/pe/resource_reader.h"
#include "tools/pack/pe/resource_writer.h"
#include "tools/pack/windows/icons.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {

constexpr uint32_t kRsrcRaw = 0x4600;  // after .rdata, which holds the launch configuration region
// Where the section table and the data directories start in the file.
constexpr std::size_t kTable = 0x58 + 240, kDirs = 0x58 + 112;
inline const std::string kManifest =
    "<assembly><assemblyIdentity name=\"Old\" version=\"1.0.0.0\"/>"
    "<description>Old</description></assembly>";

// A manifest, one icon and its group, and a named custom resource.
inline std::vector<Resource> sampleResources() {
  return {{{kRtManifest, {}}, {1, {}}, 1033, 0, Bytes(kManifest.begin(), kManifest.end())},
          {{kRtIcon, {}}, {1, {}}, 1033, 0, Bytes(40, 0xAB)},
          {{kRtGroupIcon, {}}, {kIconGroupId, {}}, 1033, 0, iconGroup({Bytes(40, 0xAB)}, {1})},
          {{0, u"CUSTOM"}, {0, u"DATA"}, 0, 1252, Bytes{'x', 'y', 'z'}}};
}

// The file, for `machine` (x64 unless given).
inline Bytes makePe(const std::vector<Resource>& resources, uint16_t machine = 0x8664) {
  const uint32_t rsrcRva = 0x6000;
  const Bytes rsrc = buildResourceSection(resources, rsrcRva);
  const uint32_t size = static_cast<uint32_t>(rsrc.size());
  const uint32_t relocRaw = kRsrcRaw + alignUp(size, 0x200);
  const uint32_t relocRva = rsrcRva + alignUp(size, 0x1000);
  Bytes b(relocRaw + 0x200, 0);
  std::memcpy(&b[0], "MZ", 2);
  std::memcpy(&b[0x40], "PE", 2);
  writeLe16(b, 0x44, machine);
  writeLe16(b, 0x46, 3);
  writeLe16(b, 0x54, 240);
  writeLe16(b, 0x58, 0x20B);
  // Alignments, SizeOfImage, SizeOfHeaders, a checksum to recompute, 16 directories.
  const std::pair<std::size_t, uint32_t> fields[] = {
      {0x3C, 0x40},       {0x58 + 32, 0x1000},
      {0x58 + 36, 0x200}, {0x58 + 56, relocRva + 0x1000},
      {0x58 + 60, 0x400}, {0x58 + 64, 0x1234},
      {0x58 + 108, 16},   {kDirs + 16, rsrcRva},
      {kDirs + 20, size}, {kDirs + 40, relocRva},
      {kDirs + 44, 8},    {relocRaw, 0x1000},
      {relocRaw + 4, 8}};
  for (const auto& f : fields) writeLe32(b, f.first, f.second);
  const struct {
    const char* name;
    uint32_t rva, raw, size;
  } sections[] = {{".rdata", 0x1000, 0x400, 0x4200},
                  {".rsrc", rsrcRva, kRsrcRaw, size},
                  {".reloc", relocRva, relocRaw, 12}};
  for (std::size_t i = 0, at = kTable; i < 3; ++i, at += 40) {
    const auto& s = sections[i];
    std::memcpy(&b[at], s.name, std::strlen(s.name));
    const uint32_t header[] = {s.size, s.rva, alignUp(s.size, 0x200), s.raw};
    for (int k = 0; k < 4; ++k) writeLe32(b, at + 8 + 4 * k, header[k]);
  }
  const std::vector<unsigned char> region = unpackedRegion();
  std::copy(kRegionLocator, kRegionLocator + kRegionLocatorSize, b.begin() + 0x410);
  std::copy(region.begin(), region.end(), b.begin() + 0x410 + kRegionLocatorSize);
  std::copy(rsrc.begin(), rsrc.end(), b.begin() + kRsrcRaw);
  return b;
}

// The file parsed, and its resources read; a failure fails the test.
inline PeFile parsed(const Bytes& bytes) {
  PeFile pe;
  std::string error;
  EXPECT_TRUE(parsePe(bytes, pe, &error)) << error;
  return pe;
}

inline std::vector<Resource> resourcesOf(const PeFile& pe) {
  std::vector<Resource> out;
  std::string error;
  EXPECT_TRUE(readResources(pe, out, &error)) << error;
  return out;
}

}  // namespace plenwick
