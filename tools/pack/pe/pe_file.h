// Reading and changing the headers of a PE (Windows) executable held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plenwick {

using Bytes = std::vector<unsigned char>;

constexpr int kDirResource = 2;
constexpr int kDirSecurity = 4;
constexpr int kDirBaseReloc = 5;
constexpr int kDirDebug = 6;

struct PeSection {
  std::string name;
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawPointer = 0;
  std::size_t headerOffset = 0;  // file offset of its 40-byte header
};

struct PeFile {
  Bytes bytes;
  uint16_t machine = 0;
  std::size_t optionalOffset = 0;
  std::size_t dataDirOffset = 0;
  uint32_t dataDirCount = 0;
  uint32_t sectionAlignment = 0;
  uint32_t fileAlignment = 0;
  std::vector<PeSection> sections;
};

bool looksLikePe(const Bytes& bytes);
// Parses the headers of `bytes` (kept in `pe.bytes`). False with a message on
// anything that is not a well-formed PE32 or PE32+ executable.
bool parsePe(Bytes bytes, PeFile& pe, std::string* err);

uint32_t readLe32(const Bytes& bytes, std::size_t offset);
uint16_t readLe16(const Bytes& bytes, std::size_t offset);
void writeLe32(Bytes& bytes, std::size_t offset, uint32_t value);
void writeLe16(Bytes& bytes, std::size_t offset, uint16_t value);

struct DataDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};
DataDirectory dataDirectory(const PeFile& pe, int index);
void setDataDirectory(PeFile& pe, int index, DataDirectory value);

// How many bytes of addresses from its virtualAddress a section answers for:
// its virtual size, or its raw size when that is larger.
uint32_t addressSpan(const PeSection& section);
// The first section whose span holds `rva`, or -1.
int sectionOfRva(const PeFile& pe, uint32_t rva);
// The file offset of `length` bytes at `rva`, or false when they are not all in
// one section's raw data.
bool rvaToOffset(const PeFile& pe, uint32_t rva, uint32_t length, std::size_t& offset);

// Writes the section table entry of section `index` back into the bytes.
void storeSectionHeader(PeFile& pe, std::size_t index);
// Recomputes SizeOfImage and, when the file carries one, the checksum.
void updateImageSizeAndChecksum(PeFile& pe);
// Recomputes the checksum of a PE file that carries one; anything else is left alone.
void updateChecksum(Bytes& bytes);

uint32_t alignUp(uint32_t value, uint32_t alignment);
std::string machineName(uint16_t machine);

}  // namespace plenwick
