#include "tools/pack/pe/resource_reader.h"

#include <algorithm>
#include <tuple>

namespace plenwick {
namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr int kMaxEntries = 4096;
// Entries may all point at the same bytes; the copies together stay bounded.
constexpr std::size_t kMaxTotalData = 64u << 20;

struct ResourceReader {
  const PeFile& pe;
  std::size_t base = 0;  // file offset of the resource directory
  uint32_t size = 0;
  uint32_t rva = 0;
  std::vector<Resource>& out;
  std::string* err;
  int visits = 0;
  std::size_t totalData = 0;

  bool fits(uint32_t offset, uint32_t length) const {
    return offset <= size && length <= size - offset;
  }

  bool readName(uint32_t offset, std::u16string& name) {
    if (!fits(offset, 2)) {
      *err = "a resource name lies outside the section";
      return false;
    }
    const uint16_t length = readLe16(pe.bytes, base + offset);
    if (!fits(offset + 2, 2u * length)) {
      *err = "a resource name is cut short";
      return false;
    }
    name.clear();
    for (uint16_t i = 0; i < length; ++i) {
      name.push_back(static_cast<char16_t>(readLe16(pe.bytes, base + offset + 2 + 2u * i)));
    }
    if (name.empty()) {
      *err = "a resource has an empty name";
      return false;
    }
    return true;
  }

  bool readLeaf(uint32_t offset, Resource resource) {
    if (!fits(offset, 16)) {
      *err = "a resource data entry lies outside the section";
      return false;
    }
    if (out.size() >= kMaxEntries) {
      *err = "too many resources";
      return false;
    }
    const uint32_t dataRva = readLe32(pe.bytes, base + offset);
    const uint32_t length = readLe32(pe.bytes, base + offset + 4);
    resource.codePage = readLe32(pe.bytes, base + offset + 8);
    std::size_t at = 0;
    if (!rvaToOffset(pe, dataRva, length, at)) {
      *err = "resource data lies outside the file";
      return false;
    }
    totalData += length;
    if (totalData > kMaxTotalData) {
      *err = "the resources exceed 64 MiB";
      return false;
    }
    resource.data.assign(pe.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         pe.bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
    out.push_back(std::move(resource));
    return true;
  }

  // level 0: types, 1: names, 2: languages.
  bool readDirectory(uint32_t offset, int level, const Resource& path) {
    if (!fits(offset, 16)) {
      *err = "a resource directory lies outside the section";
      return false;
    }
    if (++visits > kMaxEntries) {
      *err = "the resource tree is too large";
      return false;
    }
    const uint32_t count =
        readLe16(pe.bytes, base + offset + 12) + readLe16(pe.bytes, base + offset + 14);
    if (count > kMaxEntries || !fits(offset + 16, 8 * count)) {
      *err = "a resource directory is damaged";
      return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
      const std::size_t entry = base + offset + 16 + 8 * i;
      const uint32_t nameField = readLe32(pe.bytes, entry);
      const uint32_t target = readLe32(pe.bytes, entry + 4);
      ResourceId id;
      if (nameField & kHighBit) {
        if (!readName(nameField & ~kHighBit, id.name)) return false;
      } else {
        id.id = static_cast<uint16_t>(nameField);
      }
      Resource next = path;
      if (level == 0) next.type = id;
      if (level == 1) next.name = id;
      if (level == 2) next.language = id.id;
      const bool isDirectory = (target & kHighBit) != 0;
      if (isDirectory != (level < 2)) {
        *err = "the resource tree is not three levels deep";
        return false;
      }
      const bool ok =
          isDirectory ? readDirectory(target & ~kHighBit, level + 1, next) : readLeaf(target, next);
      if (!ok) return false;
    }
    return true;
  }
};

}  // namespace

bool ResourceId::operator<(const ResourceId& other) const {
  // Named entries come first, in name order; then numeric ones, ascending.
  return std::make_tuple(name.empty(), name, id) <
         std::make_tuple(other.name.empty(), other.name, other.id);
}

bool ResourceId::operator==(const ResourceId& other) const {
  return id == other.id && name == other.name;
}

bool resourceBefore(const Resource& a, const Resource& b) {
  return std::tie(a.type, a.name, a.language) < std::tie(b.type, b.name, b.language);
}

bool readResources(const PeFile& pe, std::vector<Resource>& resources, std::string* err) {
  resources.clear();
  const DataDirectory dir = dataDirectory(pe, kDirResource);
  if (dir.rva == 0 || dir.size == 0) return true;
  std::size_t base = 0;
  if (!rvaToOffset(pe, dir.rva, dir.size, base)) {
    *err = "the resource directory lies outside the file";
    return false;
  }
  ResourceReader reader{pe, base, dir.size, dir.rva, resources, err};
  if (!reader.readDirectory(0, 0, Resource())) return false;
  // The loader expects sorted entries, and the writer sorts them; a file
  // whose entries are out of order still reads as the list it will become.
  std::stable_sort(resources.begin(), resources.end(), resourceBefore);
  return true;
}

}  // namespace plenwick
