#include "tools/pack/pe/pe_file.h"

#include <algorithm>
#include <cstring>

namespace plenwick {
namespace {

constexpr std::size_t kSectionHeaderSize = 40;

std::size_t sizeOfImageOffset(const PeFile& pe) {
  return pe.optionalOffset + 56;
}

std::size_t checksumOffset(const PeFile& pe) {
  return pe.optionalOffset + 64;
}

bool parseSections(PeFile& pe, std::size_t tableOffset, uint16_t count, std::string* err) {
  const std::size_t headersEnd = tableOffset + count * kSectionHeaderSize;
  if (headersEnd > pe.bytes.size()) {
    *err = "the section table runs past the end of the file";
    return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    const std::size_t at = tableOffset + i * kSectionHeaderSize;
    PeSection section;
    const char* name = reinterpret_cast<const char*>(pe.bytes.data() + at);
    section.name.assign(name, strnlen(name, 8));
    section.virtualSize = readLe32(pe.bytes, at + 8);
    section.virtualAddress = readLe32(pe.bytes, at + 12);
    section.rawSize = readLe32(pe.bytes, at + 16);
    section.rawPointer = readLe32(pe.bytes, at + 20);
    section.headerOffset = at;
    if (section.rawSize != 0 && (section.rawPointer > pe.bytes.size() ||
                                 section.rawSize > pe.bytes.size() - section.rawPointer)) {
      *err = "section " + section.name + " runs past the end of the file";
      return false;
    }
    // Rewriting a section must never touch the headers.
    if (section.rawSize != 0 && section.rawPointer < headersEnd) {
      *err = "section " + section.name + " overlaps the PE headers";
      return false;
    }
    pe.sections.push_back(section);
  }
  return true;
}

bool powerOfTwo(uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

uint32_t readLe32(const Bytes& b, std::size_t o) {
  return uint32_t(b[o]) | uint32_t(b[o + 1]) << 8 | uint32_t(b[o + 2]) << 16 |
         uint32_t(b[o + 3]) << 24;
}

uint16_t readLe16(const Bytes& b, std::size_t o) {
  return static_cast<uint16_t>(b[o] | b[o + 1] << 8);
}

void writeLe32(Bytes& b, std::size_t o, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[o + i] = static_cast<unsigned char>(v >> (8 * i));
}

void writeLe16(Bytes& b, std::size_t o, uint16_t v) {
  b[o] = static_cast<unsigned char>(v);
  b[o + 1] = static_cast<unsigned char>(v >> 8);
}

uint32_t alignUp(uint32_t value, uint32_t alignment) {
  return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

bool looksLikePe(const Bytes& bytes) {
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  const uint32_t at = readLe32(bytes, 0x3C);
  return at <= bytes.size() - 4 && bytes[at] == 'P' && bytes[at + 1] == 'E' && bytes[at + 2] == 0 &&
         bytes[at + 3] == 0;
}

bool parsePe(Bytes bytes, PeFile& pe, std::string* err) {
  pe = PeFile();
  pe.bytes = std::move(bytes);
  if (!looksLikePe(pe.bytes)) {
    *err = "not a PE executable";
    return false;
  }
  const std::size_t coff = readLe32(pe.bytes, 0x3C) + 4;
  if (coff + 20 + 112 > pe.bytes.size()) {
    *err = "the PE headers are cut short";
    return false;
  }
  pe.machine = readLe16(pe.bytes, coff);
  const uint16_t sectionCount = readLe16(pe.bytes, coff + 2);
  const uint16_t optionalSize = readLe16(pe.bytes, coff + 16);
  pe.optionalOffset = coff + 20;
  if (pe.optionalOffset + optionalSize > pe.bytes.size()) {
    *err = "the optional header runs past the end of the file";
    return false;
  }
  const uint16_t magic = readLe16(pe.bytes, pe.optionalOffset);
  if (magic != 0x10B && magic != 0x20B) {
    *err = "unknown optional header";
    return false;
  }
  const std::size_t dirs = pe.optionalOffset + (magic == 0x20B ? 112 : 96);
  pe.dataDirCount = readLe32(pe.bytes, dirs - 4);
  pe.dataDirOffset = dirs;
  if (pe.dataDirCount > 16 || dirs + pe.dataDirCount * 8 > pe.optionalOffset + optionalSize) {
    *err = "the data directories do not fit the optional header";
    return false;
  }
  pe.sectionAlignment = readLe32(pe.bytes, pe.optionalOffset + 32);
  pe.fileAlignment = readLe32(pe.bytes, pe.optionalOffset + 36);
  if (!powerOfTwo(pe.fileAlignment) || pe.fileAlignment > 0x10000 ||
      !powerOfTwo(pe.sectionAlignment) || pe.sectionAlignment < pe.fileAlignment) {
    *err = "the section and file alignments are not usable";
    return false;
  }
  return parseSections(pe, pe.optionalOffset + optionalSize, sectionCount, err);
}

DataDirectory dataDirectory(const PeFile& pe, int index) {
  if (static_cast<uint32_t>(index) >= pe.dataDirCount) return {};
  const std::size_t at = pe.dataDirOffset + 8 * static_cast<std::size_t>(index);
  return {readLe32(pe.bytes, at), readLe32(pe.bytes, at + 4)};
}

void setDataDirectory(PeFile& pe, int index, DataDirectory value) {
  const std::size_t at = pe.dataDirOffset + 8 * static_cast<std::size_t>(index);
  writeLe32(pe.bytes, at, value.rva);
  writeLe32(pe.bytes, at + 4, value.size);
}

uint32_t addressSpan(const PeSection& section) {
  return std::max(section.virtualSize, section.rawSize);
}

int sectionOfRva(const PeFile& pe, uint32_t rva) {
  for (std::size_t i = 0; i < pe.sections.size(); ++i) {
    const PeSection& s = pe.sections[i];
    if (rva >= s.virtualAddress && rva - s.virtualAddress < addressSpan(s)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool rvaToOffset(const PeFile& pe, uint32_t rva, uint32_t length, std::size_t& offset) {
  const int index = sectionOfRva(pe, rva);
  if (index < 0) return false;
  const PeSection& s = pe.sections[static_cast<std::size_t>(index)];
  const uint32_t into = rva - s.virtualAddress;
  if (into > s.rawSize || length > s.rawSize - into) return false;
  offset = s.rawPointer + into;
  return true;
}

void storeSectionHeader(PeFile& pe, std::size_t index) {
  const PeSection& s = pe.sections[index];
  writeLe32(pe.bytes, s.headerOffset + 8, s.virtualSize);
  writeLe32(pe.bytes, s.headerOffset + 12, s.virtualAddress);
  writeLe32(pe.bytes, s.headerOffset + 16, s.rawSize);
  writeLe32(pe.bytes, s.headerOffset + 20, s.rawPointer);
}

void updateImageSizeAndChecksum(PeFile& pe) {
  uint32_t end = 0;
  for (const PeSection& s : pe.sections) {
    end = std::max(end, s.virtualAddress + alignUp(s.virtualSize, pe.sectionAlignment));
  }
  writeLe32(pe.bytes, sizeOfImageOffset(pe), alignUp(end, pe.sectionAlignment));
  updateChecksum(pe.bytes);
}

void updateChecksum(Bytes& bytes) {
  PeFile pe;
  std::string error;
  if (!looksLikePe(bytes) || !parsePe(bytes, pe, &error)) return;
  const std::size_t at = checksumOffset(pe);
  if (readLe32(bytes, at) == 0) return;
  writeLe32(bytes, at, 0);
  uint64_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const uint32_t word = i + 1 < bytes.size() ? readLe16(bytes, i) : bytes[i];
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  writeLe32(bytes, at, static_cast<uint32_t>(sum + bytes.size()));
}

std::string machineName(uint16_t machine) {
  switch (machine) {
    case 0x8664:
      return "x64";
    case 0xAA64:
      return "arm64";
    case 0x14C:
      return "x86";
    default:
      return "unknown";
  }
}

}  // namespace plenwick
