#include "tools/pack/pe/section_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "config/block_encoder.h"
#include "config/launch_config_block.h"
#include "config/region_locator.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/write_command.h"
#include "tools/pack/pe/resource_reader.h"
#include "tools/pack/pe/resource_writer.h"
#include "tools/pack/windows/icons.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {
namespace {

constexpr uint32_t kRdataRva = 0x1000;
constexpr uint32_t kRdataRaw = 0x400;
constexpr uint32_t kRdataSize = 0x4200;  // the marker and the region fit
constexpr const char* kManifest =
    "<?xml version=\"1.0\"?>\n<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\">\n"
    "  <assemblyIdentity name=\"Old\" version=\"1.0.0.0\" type=\"win32\"/>\n"
    "  <description>Old app</description>\n  <dependency><dependentAssembly>"
    "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
    "version=\"6.0.0.0\"/></dependentAssembly></dependency>\n</assembly>\n";

struct SectionPlan {
  const char* name;
  uint32_t rva, raw, size;
};

void header(Bytes& b, const std::vector<SectionPlan>& sections, uint32_t imageSize) {
  b[0] = 'M';
  b[1] = 'Z';
  writeLe32(b, 0x3C, 0x40);
  b[0x40] = 'P';
  b[0x41] = 'E';
  writeLe16(b, 0x44, 0x8664);
  writeLe16(b, 0x46, static_cast<uint16_t>(sections.size()));
  writeLe16(b, 0x54, 240);
  const std::size_t opt = 0x58;
  writeLe16(b, opt, 0x20B);
  writeLe32(b, opt + 32, 0x1000);
  writeLe32(b, opt + 36, 0x200);
  writeLe32(b, opt + 56, imageSize);
  writeLe32(b, opt + 60, 0x400);
  writeLe32(b, opt + 64, 0x1234);  // a checksum, so that it is recomputed
  writeLe32(b, opt + 108, 16);
  std::size_t at = opt + 240;
  for (const SectionPlan& s : sections) {
    std::copy(s.name, s.name + std::strlen(s.name), b.begin() + at);
    writeLe32(b, at + 8, s.size);
    writeLe32(b, at + 12, s.rva);
    writeLe32(b, at + 16, alignUp(s.size, 0x200));
    writeLe32(b, at + 20, s.raw);
    at += 40;
  }
}

std::vector<Resource> sampleResources() {
  std::vector<Resource> r;
  r.push_back(
      {{kRtManifest, {}}, {1, {}}, 1033, 0, Bytes(kManifest, kManifest + strlen(kManifest))});
  r.push_back({{kRtIcon, {}}, {1, {}}, 1033, 0, Bytes(40, 0xAB)});
  std::vector<uint16_t> ids = {1};
  r.push_back({{kRtGroupIcon, {}}, {kIconGroupId, {}}, 1033, 0, iconGroup({Bytes(40, 0xAB)}, ids)});
  r.push_back({{0, u"CUSTOM"}, {0, u"DATA"}, 0, 1252, Bytes{'x', 'y', 'z'}});
  return r;
}

// A small PE32+ file: .rdata with the launch configuration region, .rsrc
// holding `resources`, then .reloc; optionally signed.
Bytes makePe(const std::vector<Resource>& resources, bool signedFile = false) {
  const uint32_t rsrcRva = 0x6000;
  const Bytes rsrc = buildResourceSection(resources, rsrcRva);
  const uint32_t rsrcRaw = kRdataRaw + kRdataSize;
  const uint32_t relocRaw = rsrcRaw + alignUp(static_cast<uint32_t>(rsrc.size()), 0x200);
  const uint32_t relocRva = rsrcRva + alignUp(static_cast<uint32_t>(rsrc.size()), 0x1000);
  Bytes b(relocRaw + 0x200, 0);
  header(b,
         {{".rdata", kRdataRva, kRdataRaw, kRdataSize},
          {".rsrc", rsrcRva, rsrcRaw, static_cast<uint32_t>(rsrc.size())},
          {".reloc", relocRva, relocRaw, 12}},
         relocRva + 0x1000);
  const std::vector<unsigned char> region = unpackedRegion();
  std::copy(kRegionLocator, kRegionLocator + kRegionLocatorSize, b.begin() + kRdataRaw + 16);
  std::copy(region.begin(), region.end(), b.begin() + kRdataRaw + 16 + kRegionLocatorSize);
  std::copy(rsrc.begin(), rsrc.end(), b.begin() + rsrcRaw);
  writeLe32(b, relocRaw, 0x1000);  // one relocation block: page 0x1000, no entries
  writeLe32(b, relocRaw + 4, 8);
  const std::size_t dirs = 0x58 + 112;
  writeLe32(b, dirs + 8 * kDirResource, rsrcRva);
  writeLe32(b, dirs + 8 * kDirResource + 4, static_cast<uint32_t>(rsrc.size()));
  writeLe32(b, dirs + 8 * kDirBaseReloc, relocRva);
  writeLe32(b, dirs + 8 * kDirBaseReloc + 4, 8);
  if (signedFile) {
    writeLe32(b, dirs + 8 * kDirSecurity, static_cast<uint32_t>(b.size()));
    writeLe32(b, dirs + 8 * kDirSecurity + 4, 16);
    b.resize(b.size() + 16, 0x30);
  }
  return b;
}

PeFile parsed(const Bytes& bytes) {
  PeFile pe;
  std::string error;
  EXPECT_TRUE(parsePe(bytes, pe, &error)) << error;
  return pe;
}

std::vector<Resource> resourcesOf(const PeFile& pe) {
  std::vector<Resource> out;
  std::string error;
  EXPECT_TRUE(readResources(pe, out, &error)) << error;
  return out;
}

const Resource* find(const std::vector<Resource>& all, uint16_t type, uint16_t id) {
  for (const Resource& r : all) {
    if (r.type.name.empty() && r.type.id == type && r.name.name.empty() && r.name.id == id)
      return &r;
  }
  return nullptr;
}

std::string writeBigPng(const std::string& path, uint32_t size) {
  RgbaBitmap image;
  image.width = image.height = size;
  image.pixels.assign(static_cast<std::size_t>(size) * size * 4, 200);
  Bytes png;
  std::string error;
  EXPECT_TRUE(encodePng(image, png, &error)) << error;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return path;
}

TEST(PeResources, ReadBackWhatWasBuilt) {
  const PeFile pe = parsed(makePe(sampleResources()));
  const std::vector<Resource> back = resourcesOf(pe);
  ASSERT_EQ(back.size(), 4u);
  // Named types come first in a resource directory.
  EXPECT_EQ(back[0].type.name, u"CUSTOM");
  EXPECT_EQ(back[0].name.name, u"DATA");
  EXPECT_EQ(back[0].codePage, 1252u);
  EXPECT_EQ(back[0].data, (Bytes{'x', 'y', 'z'}));
  const Resource* manifest = find(back, kRtManifest, 1);
  ASSERT_NE(manifest, nullptr);
  EXPECT_EQ(manifest->language, 1033);
  EXPECT_EQ(std::string(manifest->data.begin(), manifest->data.end()), kManifest);
}

// "type/name/language:size" for each resource, in order.
std::string describe(const std::vector<Resource>& resources) {
  const auto id = [](const ResourceId& r) {
    return r.name.empty() ? std::to_string(r.id) : std::string(r.name.begin(), r.name.end());
  };
  std::string out;
  for (const Resource& r : resources) {
    out += id(r.type) + "/" + id(r.name) + "/" + std::to_string(r.language) + ":" +
           std::to_string(r.data.size()) + " ";
  }
  return out;
}

// The loader wants each directory's entries sorted; a file whose entries are
// not reads as the sorted list, which is also what the rewritten section holds.
TEST(PeResources, EntriesOutOfOrderReadInDirectoryOrder) {
  std::vector<Resource> resources = sampleResources();
  resources.push_back({{kRtManifest, {}}, {1, {}}, 2057, 0, Bytes{'e', 'n'}});
  const Bytes good = makePe(resources);
  const std::size_t rsrc = kRdataRaw + kRdataSize;
  const auto entry = [&](uint32_t dir, int index) { return rsrc + dir + 16 + 8 * index; };
  // The directory that entry `index` of the directory at `dir` points to.
  const auto child = [&](uint32_t dir, int index) {
    return readLe32(good, entry(dir, index) + 4) & 0x7FFFFFFFu;
  };
  const uint32_t manifestLanguages = child(child(0, 3), 0);  // types: CUSTOM, 3, 14, 24
  const std::string expected = describe(resourcesOf(parsed(good)));
  ASSERT_EQ(expected, "CUSTOM/DATA/0:3 3/1/1033:40 14/" + std::to_string(kIconGroupId) +
                          "/1033:20 24/1/1033:" + std::to_string(std::strlen(kManifest)) +
                          " 24/1/2057:2 ");
  const struct {
    const char* name;
    uint32_t dir;
    int first, second;
  } cases[] = {
      {"a named type after the numbered ones", 0, 0, 3},
      {"numbered types descending", 0, 1, 2},
      {"languages descending", manifestLanguages, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    std::swap_ranges(bytes.begin() + static_cast<std::ptrdiff_t>(entry(c.dir, c.first)),
                     bytes.begin() + static_cast<std::ptrdiff_t>(entry(c.dir, c.first) + 8),
                     bytes.begin() + static_cast<std::ptrdiff_t>(entry(c.dir, c.second)));
    ASSERT_NE(bytes, good);
    PeFile pe = parsed(bytes);
    const std::vector<Resource> read = resourcesOf(pe);
    EXPECT_EQ(describe(read), expected);
    std::string error;
    ASSERT_TRUE(writeResources(pe, read, &error)) << error;
    EXPECT_EQ(describe(resourcesOf(parsed(pe.bytes))), expected);
  }
}

TEST(PeResources, IdentityAndIconsRewriteTheSection) {
  const Bytes original = makePe(sampleResources());
  PeFile pe = parsed(original);
  const std::string icon = writeBigPng(::testing::TempDir() + "pe-icon.png", 300);
  std::string error;
  ASSERT_TRUE(applyWindowsIdentity(pe, {"New.App", "2.5.0.0", "New & <shiny>"}, {icon}, &error))
      << error;
  const PeFile again = parsed(pe.bytes);
  WindowsIdentity identity;
  ASSERT_TRUE(readWindowsIdentity(again, identity, &error)) << error;
  EXPECT_EQ(identity.manifest.name, "New.App");
  EXPECT_EQ(identity.manifest.version, "2.5.0.0");
  EXPECT_EQ(identity.manifest.description, "New & <shiny>");
  EXPECT_EQ(identity.iconSizes, (std::vector<int>{16, 32, 64, 128, 256}));
  const std::vector<Resource> back = resourcesOf(again);
  EXPECT_EQ(back.size(), 1u + 1u + 5u + 1u) << "manifest, group, five images, custom";
  for (uint16_t id = 1; id <= 5; ++id) {
    const Resource* image = find(back, kRtIcon, id);
    ASSERT_NE(image, nullptr) << id;
    EXPECT_EQ(Bytes(image->data.begin(), image->data.begin() + 4), (Bytes{0x89, 'P', 'N', 'G'}));
  }
  EXPECT_GT(pe.bytes.size(), original.size()) << "the icons make the section grow";
}

TEST(PeResources, GrowingKeepsHeadersConsistent) {
  const Bytes original = makePe(sampleResources());
  PeFile pe = parsed(original);
  std::vector<Resource> resources = resourcesOf(pe);
  resources.push_back({{10, {}}, {7, {}}, 1033, 0, Bytes(20000, 0x42)});
  std::string error;
  ASSERT_TRUE(writeResources(pe, resources, &error)) << error;
  const PeFile grown = parsed(pe.bytes);
  ASSERT_EQ(grown.sections.size(), 3u);
  const PeSection& rsrc = grown.sections[1];
  const PeSection& reloc = grown.sections[2];
  EXPECT_GE(rsrc.rawSize, rsrc.virtualSize);
  EXPECT_EQ(reloc.rawPointer, rsrc.rawPointer + rsrc.rawSize) << "relocations follow";
  EXPECT_GE(reloc.virtualAddress, rsrc.virtualAddress + rsrc.virtualSize);
  EXPECT_EQ(reloc.virtualAddress % 0x1000, 0u);
  EXPECT_EQ(dataDirectory(grown, kDirBaseReloc).rva, reloc.virtualAddress);
  EXPECT_EQ(readLe32(pe.bytes, reloc.rawPointer), 0x1000u) << "relocation data moved intact";
  EXPECT_EQ(dataDirectory(grown, kDirResource).size, rsrc.virtualSize);
  EXPECT_EQ(readLe32(pe.bytes, 0x58 + 56), reloc.virtualAddress + 0x1000) << "SizeOfImage";
  EXPECT_NE(readLe32(pe.bytes, 0x58 + 64), 0x1234u) << "checksum recomputed";
  EXPECT_EQ(resourcesOf(grown).size(), 5u);
  EXPECT_EQ(locateRegion(pe.bytes).offset, locateRegion(original).offset)
      << "the launch configuration region keeps its file offset";
}

// Rewriting the resource section (growing it inserts bytes behind it): every
// other section must keep its bytes, or the rewrite is refused and the file
// left alone.
TEST(PeResources, RewritingMovesNoSectionWithoutItsHeader) {
  const Bytes good = makePe(sampleResources());
  const std::size_t table = 0x58 + 240;  // .rdata, .rsrc, .reloc
  const std::size_t dirs = 0x58 + 112;
  // .rsrc with a raw size that is not a multiple of the file alignment.
  const auto unaligned = [&](Bytes& b) { writeLe32(b, table + 40 + 16, readLe32(b, table + 48)); };
  ASSERT_NE(readLe32(good, table + 48) % 0x200, 0u);
  const struct {
    const char* name;
    std::function<void(Bytes&)> change;
    std::size_t added;    // bytes of a resource added; 0: the same resources
    const char* refusal;  // nullptr: the section is written
  } cases[] = {
      {"sections in file order", [](Bytes&) {}, 20000, nullptr},
      {"an unaligned raw size, rewritten in place", unaligned, 0, nullptr},
      {"an unaligned raw size, grown", unaligned, 20000, nullptr},
      {"an earlier section's bytes behind it",
       [&](Bytes& b) {
         writeLe32(b, table + 16, 0x200);  // .rdata moves to the end of the file
         writeLe32(b, table + 20, static_cast<uint32_t>(b.size()));
         b.resize(b.size() + 0x200, 0x5A);
       },
       20000, "section .rdata lies behind it"},
      {"a follower that is not the relocations",
       [&](Bytes& b) { writeLe32(b, dirs + 8 * kDirBaseReloc, 0); }, 20000,
       "section .reloc follows it and cannot be moved"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    c.change(bytes);
    PeFile pe = parsed(bytes);
    std::vector<Resource> resources = resourcesOf(pe);
    if (c.added != 0) resources.push_back({{10, {}}, {7, {}}, 1033, 0, Bytes(c.added, 0x42)});
    std::string error;
    const bool written = writeResources(pe, resources, &error);
    EXPECT_EQ(written, c.refusal == nullptr) << error;
    if (!written) {
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
      EXPECT_EQ(pe.bytes, bytes);
      continue;
    }
    const PeFile before = parsed(bytes);
    const PeFile after = parsed(pe.bytes);
    for (std::size_t i : {std::size_t{0}, std::size_t{2}}) {
      const PeSection& was = before.sections[i];
      const PeSection& now = after.sections[i];
      ASSERT_EQ(now.rawSize, was.rawSize);
      EXPECT_TRUE(std::equal(bytes.begin() + was.rawPointer,
                             bytes.begin() + was.rawPointer + was.rawSize,
                             pe.bytes.begin() + now.rawPointer))
          << was.name;
    }
  }
}

TEST(PeResources, RefusalsLeaveTheFileAlone) {
  const std::string icon = writeBigPng(::testing::TempDir() + "pe-small.png", 64);
  std::vector<Resource> noManifest = sampleResources();
  noManifest.erase(noManifest.begin());
  const struct {
    const char* name;
    Bytes file;
    std::vector<std::string> icons;
    const char* message;
  } cases[] = {
      {"signed", makePe(sampleResources(), true), {}, "signing comes after packing"},
      {"no manifest", makePe(noManifest), {}, "no manifest"},
      {"icon too small", makePe(sampleResources()), {icon}, "at least 256 px"},
      {"icon missing", makePe(sampleResources()), {"/no/such.png"}, "not a readable PNG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PeFile pe = parsed(c.file);
    std::string error;
    EXPECT_FALSE(applyWindowsIdentity(pe, {"A", "1.0.0.0", "A"}, c.icons, &error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(pe.bytes, c.file);
  }
}

TEST(PeResources, DamagedFilesAreErrorsNotCrashes) {
  const Bytes good = makePe(sampleResources());
  const std::size_t dirs = 0x58 + 112;
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    bool parses;
  };
  const Case cases[] = {
      {"cut in the headers", [](Bytes& b) { b.resize(0x90); }, false},
      {"not MZ", [](Bytes& b) { b[0] = 'X'; }, false},
      {"section past the end", [](Bytes& b) { b.resize(0x3000); }, false},
      {"resource directory outside the file",
       [&](Bytes& b) { writeLe32(b, dirs + 8 * kDirResource, 0x900000); }, true},
      {"entry count too large", [](Bytes& b) { writeLe16(b, kRdataRaw + kRdataSize + 14, 0xFFFF); },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    c.damage(bytes);
    PeFile pe;
    std::string error;
    const bool ok = parsePe(bytes, pe, &error);
    EXPECT_EQ(ok, c.parses) << error;
    if (!ok) continue;
    std::vector<Resource> resources;
    EXPECT_FALSE(readResources(pe, resources, &error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace plenwick
