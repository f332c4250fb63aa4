#include "tools/pack/pe/section_writer.h"

#include <algorithm>

#include "tools/pack/pe/resource_writer.h"

namespace plenwick {
namespace {

constexpr std::size_t kMaxSectionSize = 64u << 20;

struct Growth {
  uint32_t raw = 0;   // bytes added to the file at the section's end
  uint32_t virt = 0;  // bytes added to the address space
  uint32_t oldRawEnd = 0;
};

// The resource section's bytes may be replaced only when no other section's
// bytes share its range, and every later section lies behind it in the file.
bool ownsItsBytes(const PeFile& pe, std::size_t index, std::string* err) {
  const PeSection& r = pe.sections[index];
  const std::size_t headersEnd = pe.sections.back().headerOffset + 40;
  if (r.rawSize == 0 || r.rawPointer < headersEnd) {
    *err = "cannot rewrite the resource section: it has no bytes of its own in the file";
    return false;
  }
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const PeSection& s = pe.sections[i];
    if (i == index || s.rawSize == 0) continue;
    const bool overlaps =
        s.rawPointer < r.rawPointer + r.rawSize && r.rawPointer < s.rawPointer + s.rawSize;
    const bool before = i > index && s.rawPointer < r.rawPointer + r.rawSize;
    if (overlaps || before) {
      *err = "cannot rewrite the resource section: its bytes are shared with section " + s.name;
      return false;
    }
  }
  return true;
}

bool followersMayMove(const PeFile& pe, std::size_t index, std::string* err) {
  // Growing inserts bytes at the section's end; only the sections after it in
  // the table are moved, so no earlier one may have its bytes behind it.
  const uint32_t rawEnd = pe.sections[index].rawPointer + pe.sections[index].rawSize;
  for (std::size_t i = 0; i < index; ++i) {
    const PeSection& s = pe.sections[i];
    if (s.rawSize != 0 && s.rawPointer >= rawEnd) {
      *err = "cannot grow the resource section: section " + s.name +
             " lies behind it in the file and cannot be moved";
      return false;
    }
  }
  const DataDirectory reloc = dataDirectory(pe, kDirBaseReloc);
  for (std::size_t i = index + 1; i < pe.sections.size(); ++i) {
    const PeSection& s = pe.sections[i];
    if (reloc.size == 0 || reloc.rva != s.virtualAddress) {
      *err =
          "cannot grow the resource section: section " + s.name + " follows it and cannot be moved";
      return false;
    }
  }
  const DataDirectory debug = dataDirectory(pe, kDirDebug);
  for (uint32_t at = 0; debug.size != 0 && at + 28 <= debug.size; at += 28) {
    std::size_t offset = 0;
    if (!rvaToOffset(pe, debug.rva + at, 28, offset)) break;
    if (readLe32(pe.bytes, offset + 24) >= pe.sections[index].rawPointer) {
      *err = "cannot grow the resource section: debug data follows it";
      return false;
    }
  }
  return true;
}

// Readers and the loader find an address in the first section that spans
// it, so the resources' new addresses may lie in no other section's.
bool addressesStayApart(const PeFile& pe, std::size_t index, uint32_t size, std::string* err) {
  const uint32_t start = pe.sections[index].virtualAddress;
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const PeSection& s = pe.sections[i];
    const uint32_t span = addressSpan(s);
    if (i == index || span == 0) continue;
    // In 64 bits: a damaged file's section may reach past 4 GiB.
    if (s.virtualAddress < uint64_t{start} + size && start < uint64_t{s.virtualAddress} + span) {
      *err = "cannot rewrite the resource section: section " + s.name + " shares its addresses";
      return false;
    }
  }
  return true;
}

void shiftFollowers(PeFile& pe, std::size_t index, const Growth& g) {
  const bool last = index + 1 == pe.sections.size();
  const uint32_t firstMoved = last ? UINT32_MAX : pe.sections[index + 1].virtualAddress;
  for (int d = 0; d < static_cast<int>(pe.dataDirCount); ++d) {
    DataDirectory dir = dataDirectory(pe, d);
    if (d == kDirSecurity || dir.size == 0 || dir.rva < firstMoved) continue;
    dir.rva += g.virt;
    setDataDirectory(pe, d, dir);
  }
  for (std::size_t i = index + 1; i < pe.sections.size(); ++i) {
    PeSection& s = pe.sections[i];
    s.virtualAddress += g.virt;
    if (s.rawSize != 0) s.rawPointer += g.raw;
    storeSectionHeader(pe, i);
  }
  const std::size_t coff = pe.optionalOffset - 20;
  const uint32_t symbols = readLe32(pe.bytes, coff + 8);
  if (symbols >= g.oldRawEnd) writeLe32(pe.bytes, coff + 8, symbols + g.raw);
  const std::size_t initialized = pe.optionalOffset + 8;
  writeLe32(pe.bytes, initialized, readLe32(pe.bytes, initialized) + g.raw);
}

// The section's raw size once it holds `contentSize` bytes: unchanged while
// they fit (even when that size is not a multiple of the file alignment, as
// nothing else in the file moves then), else the content rounded up.
uint32_t rawSizeFor(const PeFile& pe, const PeSection& s, uint32_t contentSize) {
  return contentSize <= s.rawSize ? s.rawSize : alignUp(contentSize, pe.fileAlignment);
}

Growth growthFor(const PeFile& pe, std::size_t index, uint32_t newSize) {
  const PeSection& s = pe.sections[index];
  Growth g;
  g.oldRawEnd = s.rawPointer + s.rawSize;
  g.raw = rawSizeFor(pe, s, newSize) - s.rawSize;
  if (index + 1 < pe.sections.size()) {
    const uint32_t next = pe.sections[index + 1].virtualAddress;
    const uint32_t needed = alignUp(s.virtualAddress + newSize, pe.sectionAlignment);
    g.virt = needed > next ? needed - next : 0;
  }
  return g;
}

void placeSection(PeFile& pe, std::size_t index, const Bytes& content) {
  PeSection& s = pe.sections[index];
  const uint32_t rawSize = rawSizeFor(pe, s, static_cast<uint32_t>(content.size()));
  Bytes out(pe.bytes.begin(), pe.bytes.begin() + s.rawPointer);
  out.insert(out.end(), content.begin(), content.end());
  out.resize(s.rawPointer + rawSize, 0);
  out.insert(out.end(), pe.bytes.begin() + s.rawPointer + s.rawSize, pe.bytes.end());
  pe.bytes = std::move(out);
  s.rawSize = rawSize;
  s.virtualSize = static_cast<uint32_t>(content.size());
  storeSectionHeader(pe, index);
}

}  // namespace

bool writeResources(PeFile& pe, const std::vector<Resource>& resources, std::string* err) {
  const DataDirectory dir = dataDirectory(pe, kDirResource);
  const int found = sectionOfRva(pe, dir.rva);
  if (dir.size == 0 || found < 0 || pe.sections[found].virtualAddress != dir.rva) {
    *err = "the executable has no resource section of its own";
    return false;
  }
  const std::size_t index = static_cast<std::size_t>(found);
  if (!ownsItsBytes(pe, index, err)) return false;
  const Bytes content = buildResourceSection(resources, dir.rva);
  if (content.size() > kMaxSectionSize) {
    *err = "the resources would exceed 64 MiB";
    return false;
  }
  const uint32_t size = static_cast<uint32_t>(content.size());
  const Growth growth = growthFor(pe, index, size);
  const bool fits = size <= pe.sections[index].rawSize && growth.virt == 0;
  if (!fits && !followersMayMove(pe, index, err)) return false;
  // Changed as a copy: a file refused after the move is left as it was.
  PeFile out = pe;
  if (!fits) shiftFollowers(out, index, growth);
  if (!addressesStayApart(out, index, size, err)) return false;
  placeSection(out, index, content);
  setDataDirectory(out, kDirResource, {dir.rva, size});
  updateImageSizeAndChecksum(out);
  pe = std::move(out);
  return true;
}

}  // namespace plenwick
