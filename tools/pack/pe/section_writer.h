// Putting a rebuilt resource section back into the executable.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/pe/resource_reader.h"

namespace plenwick {

// Replaces the resource section's contents. When they no longer fit, the
// section grows; sections after it may only be the base relocations, which
// move with it. The code and data sections keep their file offsets.
bool writeResources(PeFile& pe, const std::vector<Resource>& resources, std::string* err);

}  // namespace plenwick
