// The resources of a PE executable, read as a flat list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/pack/pe/pe_file.h"

namespace plenwick {

constexpr uint16_t kRtIcon = 3;
constexpr uint16_t kRtGroupIcon = 14;
constexpr uint16_t kRtManifest = 24;

struct ResourceId {
  uint16_t id = 0;
  std::u16string name;  // a named entry when not empty
  bool operator<(const ResourceId& other) const;
  bool operator==(const ResourceId& other) const;
};

struct Resource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;
  uint32_t codePage = 0;
  Bytes data;
};

// The order of a resource directory: by type, then name, then language (named
// entries before numbered ones at each level).
bool resourceBefore(const Resource& a, const Resource& b);

// Reads every resource (type / name / language), in directory order whatever
// order the file's entries are in, so that a section rebuilt from the list
// reads back the same. An executable without a resource directory gives an
// empty list.
bool readResources(const PeFile& pe, std::vector<Resource>& resources, std::string* err);

}  // namespace plenwick
