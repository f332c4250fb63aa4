// Building a resource section from a flat list of resources.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/pack/pe/resource_reader.h"

namespace plenwick {

// The bytes of a resource section at `sectionRva` holding `resources`.
Bytes buildResourceSection(std::vector<Resource> resources, uint32_t sectionRva);

}  // namespace plenwick
