#include "tools/pack/pe/resource_writer.h"

#include <algorithm>
#include <functional>
#include <map>

#include "tools/pack/pe/resource_reader.h"

namespace plenwick {
namespace {

constexpr uint32_t kHighBit = 0x80000000u;

// Resources grouped as the section's three directory levels.
using Languages = std::vector<const Resource*>;
using Names = std::map<ResourceId, Languages>;
using Types = std::map<ResourceId, Names>;

struct Layout {
  std::map<std::pair<ResourceId, ResourceId>, uint32_t> nameDirs;  // (type, name) -> offset
  std::map<ResourceId, uint32_t> typeDirs;
  std::map<std::u16string, uint32_t> strings;
  std::map<const Resource*, uint32_t> entries;  // data entry records
  std::map<const Resource*, uint32_t> data;
  uint32_t size = 0;
};

uint32_t dirSize(std::size_t entries) {
  return 16 + 8 * static_cast<uint32_t>(entries);
}

Layout layOut(const Types& types) {
  Layout l;
  uint32_t at = dirSize(types.size());
  for (const auto& [type, names] : types) {
    l.typeDirs[type] = at;
    at += dirSize(names.size());
  }
  for (const auto& [type, names] : types) {
    for (const auto& [name, languages] : names) {
      l.nameDirs[{type, name}] = at;
      at += dirSize(languages.size());
    }
  }
  for (const auto& [type, names] : types) {
    if (!type.name.empty()) l.strings[type.name] = 0;
    for (const auto& [name, languages] : names) {
      if (!name.name.empty()) l.strings[name.name] = 0;
      for (const Resource* r : languages) l.entries[r] = (at += 16) - 16;
    }
  }
  for (auto& [text, offset] : l.strings) {
    offset = at;
    at += 2 + 2 * static_cast<uint32_t>(text.size());
  }
  for (const auto& entry : l.entries) {
    at = alignUp(at, 8);
    l.data[entry.first] = at;
    at += static_cast<uint32_t>(entry.first->data.size());
  }
  l.size = alignUp(at, 8);
  return l;
}

void writeDirectory(Bytes& out, uint32_t at, uint16_t named, uint16_t numbered) {
  writeLe16(out, at + 12, named);
  writeLe16(out, at + 14, numbered);
}

template <typename Map>
void writeEntries(Bytes& out, uint32_t dir, const Map& children, const Layout& l,
                  const std::function<uint32_t(const ResourceId&)>& target) {
  uint16_t named = 0;
  uint16_t numbered = 0;
  uint32_t at = dir + 16;
  for (const auto& child : children) {
    const ResourceId& id = child.first;
    if (id.name.empty()) {
      ++numbered;
      writeLe32(out, at, id.id);
    } else {
      ++named;
      writeLe32(out, at, kHighBit | l.strings.at(id.name));
    }
    writeLe32(out, at + 4, kHighBit | target(id));
    at += 8;
  }
  writeDirectory(out, dir, named, numbered);
}

void writeLeaves(Bytes& out, const Layout& l, uint32_t dir, const Languages& languages,
                 uint32_t sectionRva) {
  writeDirectory(out, dir, 0, static_cast<uint16_t>(languages.size()));
  uint32_t at = dir + 16;
  for (const Resource* r : languages) {
    writeLe32(out, at, r->language);
    writeLe32(out, at + 4, l.entries.at(r));
    at += 8;
    const uint32_t entry = l.entries.at(r);
    writeLe32(out, entry, sectionRva + l.data.at(r));
    writeLe32(out, entry + 4, static_cast<uint32_t>(r->data.size()));
    writeLe32(out, entry + 8, r->codePage);
    std::copy(r->data.begin(), r->data.end(), out.begin() + l.data.at(r));
  }
}

void writeStrings(Bytes& out, const Layout& l) {
  for (const auto& [text, at] : l.strings) {
    writeLe16(out, at, static_cast<uint16_t>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
      writeLe16(out, at + 2 + 2 * static_cast<uint32_t>(i), static_cast<uint16_t>(text[i]));
    }
  }
}

}  // namespace

Bytes buildResourceSection(std::vector<Resource> resources, uint32_t sectionRva) {
  std::stable_sort(resources.begin(), resources.end(), resourceBefore);
  Types types;
  for (const Resource& r : resources) types[r.type][r.name].push_back(&r);
  const Layout l = layOut(types);
  Bytes out(l.size, 0);
  writeEntries(out, 0, types, l, [&](const ResourceId& type) { return l.typeDirs.at(type); });
  for (const auto& [type, names] : types) {
    const ResourceId typeId = type;
    writeEntries(out, l.typeDirs.at(type), names, l, [&](const ResourceId& name) {
      return l.nameDirs.at({typeId, name});
    });
    for (const auto& [name, languages] : names) {
      writeLeaves(out, l, l.nameDirs.at({typeId, name}), languages, sectionRva);
    }
  }
  writeStrings(out, l);
  return out;
}

}  // namespace plenwick
