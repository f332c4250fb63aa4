// A small PE32+ launcher for the packer's tests: .rdata holding the launch
// configuration region, .rsrc with the given resources, and .reloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/pack/pe/pe_file.h"
#include "tools/pack/pe/resource_reader.h"

namespace plenwick {

constexpr uint32_t kRsrcRaw = 0x4600;  // after .rdata, which holds the launch configuration region
// Where the section table and the data directories start in the file.
constexpr std::size_t kTable = 0x58 + 240, kDirs = 0x58 + 112;
inline const std::string kManifest =
    "<assembly><assemblyIdentity name=\"Old\" version=\"1.0.0.0\"/>"
    "<description>Old</description></assembly>";

// A manifest, one icon and its group, and a named custom resource.
std::vector<Resource> sampleResources();

// The file, for `machine` (x64 unless given).
Bytes makePe(const std::vector<Resource>& resources, uint16_t machine = 0x8664);

// The file parsed, and its resources read; a failure fails the test.
PeFile parsed(const Bytes& bytes);
std::vector<Resource> resourcesOf(const PeFile& pe);

}  // namespace plenwick
