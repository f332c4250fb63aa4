#include "tools/pack/pe/section_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "config/block_encoder.h"
#include "config/region_locator.h"
#include "tools/pack/launcher/packed_launcher.h"
#include "tools/pack/pe/resource_writer.h"
#include "tools/pack/windows/icons.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRsrcRaw = 0x4600;  // after .rdata, which holds the launch configuration region
constexpr std::size_t kTable = 0x58 + 240, kDirs = 0x58 + 112;
const std::string kManifest =
    "<assembly><assemblyIdentity name=\"Old\" version=\"1.0.0.0\"/>"
    "<description>Old</description></assembly>";

std::vector<Resource> sampleResources() {
  return {{{kRtManifest, {}}, {1, {}}, 1033, 0, Bytes(kManifest.begin(), kManifest.end())},
          {{kRtIcon, {}}, {1, {}}, 1033, 0, Bytes(40, 0xAB)},
          {{kRtGroupIcon, {}}, {kIconGroupId, {}}, 1033, 0, iconGroup({Bytes(40, 0xAB)}, {1})},
          {{0, u"CUSTOM"}, {0, u"DATA"}, 0, 1252, Bytes{'x', 'y', 'z'}}};
}

// A PE32+ file: .rdata with the launch configuration region, .rsrc, .reloc.
Bytes makePe(const std::vector<Resource>& resources, uint16_t machine = 0x8664) {
  const uint32_t rsrcRva = 0x6000;
  const Bytes rsrc = buildResourceSection(resources, rsrcRva);
  const uint32_t size = static_cast<uint32_t>(rsrc.size());
  const uint32_t relocRaw = kRsrcRaw + alignUp(size, 0x200);
  const uint32_t relocRva = rsrcRva + alignUp(size, 0x1000);
  Bytes b(relocRaw + 0x200, 0);
  std::memcpy(&b[0], "MZ", 2);
  std::memcpy(&b[0x40], "PE", 2);
  writeLe16(b, 0x44, machine);
  writeLe16(b, 0x46, 3);
  writeLe16(b, 0x54, 240);
  writeLe16(b, 0x58, 0x20B);
  // Alignments, SizeOfImage, SizeOfHeaders, a checksum to recompute, 16 directories.
  const std::pair<std::size_t, uint32_t> fields[] = {
      {0x3C, 0x40},       {0x58 + 32, 0x1000},
      {0x58 + 36, 0x200}, {0x58 + 56, relocRva + 0x1000},
      {0x58 + 60, 0x400}, {0x58 + 64, 0x1234},
      {0x58 + 108, 16},   {kDirs + 16, rsrcRva},
      {kDirs + 20, size}, {kDirs + 40, relocRva},
      {kDirs + 44, 8},    {relocRaw, 0x1000},
      {relocRaw + 4, 8}};
  for (const auto& f : fields) writeLe32(b, f.first, f.second);
  const struct {
    const char* name;
    uint32_t rva, raw, size;
  } sections[] = {{".rdata", 0x1000, 0x400, 0x4200},
                  {".rsrc", rsrcRva, kRsrcRaw, size},
                  {".reloc", relocRva, relocRaw, 12}};
  for (std::size_t i = 0, at = kTable; i < 3; ++i, at += 40) {
    const auto& s = sections[i];
    std::memcpy(&b[at], s.name, std::strlen(s.name));
    const uint32_t header[] = {s.size, s.rva, alignUp(s.size, 0x200), s.raw};
    for (int k = 0; k < 4; ++k) writeLe32(b, at + 8 + 4 * k, header[k]);
  }
  const std::vector<unsigned char> region = unpackedRegion();
  std::copy(kRegionLocator, kRegionLocator + kRegionLocatorSize, b.begin() + 0x410);
  std::copy(region.begin(), region.end(), b.begin() + 0x410 + kRegionLocatorSize);
  std::copy(rsrc.begin(), rsrc.end(), b.begin() + kRsrcRaw);
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

// Square PNGs written as <size>.png.
std::vector<std::string> pngs(const std::vector<uint32_t>& sizes) {
  std::vector<std::string> paths;
  for (uint32_t size : sizes) {
    RgbaBitmap image;
    image.width = image.height = size;
    image.pixels.assign(static_cast<std::size_t>(size) * size * 4, 200);
    Bytes png;
    std::string error;
    EXPECT_TRUE(encodePng(image, png, &error)) << error;
    paths.push_back(::testing::TempDir() + std::to_string(size) + ".png");
    std::ofstream(paths.back(), std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), png.size());
  }
  return paths;
}

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

// The loader binary-searches each directory, so the writer sorts whatever order it is given
// (named entries first, then ids ascending), and the reader returns that order whatever order
// a file's entries are in.
TEST(PeResources, DirectoriesInTheOrderTheLoaderSearches) {
  std::vector<Resource> resources = sampleResources();
  resources.push_back({{kRtManifest, {}}, {1, {}}, 2057, 0, Bytes{'e', 'n'}});
  std::reverse(resources.begin(), resources.end());
  const Bytes good = makePe(resources);
  const auto entry = [&](uint32_t dir, int index) { return kRsrcRaw + dir + 16 + 8 * index; };
  const auto child = [&](uint32_t dir, int index) {
    return readLe32(good, entry(dir, index) + 4) & 0x7FFFFFFFu;
  };
  const auto ids = [&](uint32_t dir) {
    std::string out;
    for (int i = 0; i < readLe16(good, kRsrcRaw + dir + 12) + readLe16(good, kRsrcRaw + dir + 14);
         ++i) {
      const uint32_t id = readLe32(good, entry(dir, i));
      out += (id >> 31 ? std::string("named") : std::to_string(id)) + " ";
    }
    return out;
  };
  const uint32_t manifestLanguages = child(child(0, 3), 0);
  ASSERT_EQ(ids(0) + "| " + ids(manifestLanguages), "named 3 14 24 | 1033 2057 ");
  const std::string expected =
      "CUSTOM/DATA/0:3 3/1/1033:40 14/2000/1033:20 24/1/1033:" + std::to_string(kManifest.size()) +
      " 24/1/2057:2 ";
  const struct {
    uint32_t dir;
    int first, second;
  } swaps[] = {{0, 0, 0}, {0, 0, 3}, {0, 1, 2}, {manifestLanguages, 0, 1}};
  for (const auto& s : swaps) {
    SCOPED_TRACE(s.dir + s.first + s.second);
    Bytes bytes = good;
    std::swap_ranges(bytes.begin() + entry(s.dir, s.first),
                     bytes.begin() + entry(s.dir, s.first) + 8,
                     bytes.begin() + entry(s.dir, s.second));
    EXPECT_EQ(describe(resourcesOf(parsed(bytes))), expected);
  }
}

// Every other section keeps its bytes and the headers follow, or the file is left alone.
TEST(PeResources, RewritingMovesNoSectionWithoutItsHeader) {
  const Bytes good = makePe(sampleResources());
  const auto unaligned = [](Bytes& b) { writeLe32(b, kTable + 56, readLe32(b, kTable + 48)); };
  const struct {
    const char* name;
    std::function<void(Bytes&)> change;
    std::size_t added;    // bytes of a resource added
    const char* refusal;  // nullptr: written
  } cases[] = {
      {"sections in file order", [](Bytes&) {}, 20000, nullptr},
      {"an unaligned raw size, rewritten in place", unaligned, 0, nullptr},
      {"an unaligned raw size, grown", unaligned, 20000, nullptr},
      {"no raw bytes", [](Bytes& b) { writeLe32(b, kTable + 56, 0); }, 0,
       "has no bytes of its own"},
      {"an earlier section's bytes behind it",
       [](Bytes& b) {
         writeLe32(b, kTable + 16, 0x200);  // .rdata moves to the end of the file
         writeLe32(b, kTable + 20, static_cast<uint32_t>(b.size()));
         b.resize(b.size() + 0x200, 0x5A);
       },
       20000, "section .rdata lies behind it"},
      {"a follower that is not the relocations",
       [](Bytes& b) { writeLe32(b, kDirs + 8 * kDirBaseReloc, 0); }, 20000,
       "section .reloc follows it and cannot be moved"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    c.change(bytes);
    PeFile pe = parsed(bytes);
    std::vector<Resource> resources = sampleResources();
    if (c.added != 0) resources.push_back({{10, {}}, {7, {}}, 1033, 0, Bytes(c.added, 0x42)});
    std::string error;
    const bool written = writeResources(pe, resources, &error);
    ASSERT_EQ(written, c.refusal == nullptr) << error;
    if (!written) {
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
      EXPECT_EQ(pe.bytes, bytes);
      continue;
    }
    const PeFile before = parsed(bytes);
    const PeFile after = parsed(pe.bytes);
    for (std::size_t i : {0, 2}) {
      const PeSection& was = before.sections[i];
      const PeSection& now = after.sections[i];
      ASSERT_EQ(now.rawSize, was.rawSize);
      EXPECT_TRUE(std::equal(bytes.begin() + was.rawPointer,
                             bytes.begin() + was.rawPointer + was.rawSize,
                             pe.bytes.begin() + now.rawPointer))
          << was.name;
    }
    const PeSection &rsrc = after.sections[1], &reloc = after.sections[2];
    EXPECT_EQ(rsrc.rawSize, c.added ? alignUp(rsrc.virtualSize, 0x200) : before.sections[1].rawSize)
        << "padded only when grown";
    EXPECT_GE(reloc.virtualAddress, alignUp(rsrc.virtualAddress + rsrc.virtualSize, 0x1000));
    EXPECT_EQ(dataDirectory(after, kDirBaseReloc).rva, reloc.virtualAddress);
    EXPECT_EQ(dataDirectory(after, kDirResource).size, rsrc.virtualSize);
    EXPECT_EQ(readLe32(pe.bytes, 0x58 + 56), reloc.virtualAddress + 0x1000) << "SizeOfImage";
    EXPECT_NE(readLe32(pe.bytes, 0x58 + 64), 0x1234u) << "checksum recomputed";
    std::vector<Resource> back = resourcesOf(after);
    ASSERT_EQ(back.size(), resources.size());
    EXPECT_TRUE(std::is_permutation(
        back.begin(), back.end(), resources.begin(),
        [](auto& x, auto& y) { return x.type == y.type && x.name == y.name && x.data == y.data; }));
    EXPECT_EQ(locateRegion(pe.bytes).offset, locateRegion(bytes).offset);
  }
}

// One large PNG is scaled to five; five given PNGs are taken in size order; a refusal leaves
// the file alone.
TEST(PeResources, WindowsIdentityAndIcons) {
  const Bytes plain = makePe(sampleResources());
  std::vector<Resource> noManifest = sampleResources();
  noManifest.erase(noManifest.begin());
  Bytes signedFile = plain;
  writeLe32(signedFile, kDirs + 8 * kDirSecurity, static_cast<uint32_t>(signedFile.size()));
  writeLe32(signedFile, kDirs + 8 * kDirSecurity + 4, 16);
  signedFile.resize(signedFile.size() + 16, 0x30);
  const struct {
    Bytes file;
    std::vector<std::string> icons;
    const char* refusal;  // nullptr: applied
  } cases[] = {
      {plain, pngs({300}), nullptr},
      {plain, pngs({64, 16, 256, 32, 128}), nullptr},
      {signedFile, {}, "signing comes after packing"},
      {makePe(noManifest), {}, "no manifest"},
      {plain, pngs({64}), "at least 256 px"},
      {plain, {"/no/such.png"}, "cannot read /no/such.png"},
      {plain, pngs({16, 32, 48, 128, 256}), "48.png: each of five icons must be square, 16, 32"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refusal ? c.refusal : std::to_string(c.icons.size()) + " PNGs");
    PeFile pe = parsed(c.file);
    std::string error;
    const bool applied =
        applyWindowsIdentity(pe, {"New.App", "2.5.0.0", "New & <shiny>"}, c.icons, &error);
    ASSERT_EQ(applied, c.refusal == nullptr) << error;
    if (!applied) {
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
      EXPECT_EQ(pe.bytes, c.file);
      continue;
    }
    const PeFile again = parsed(pe.bytes);
    WindowsIdentity identity;
    ASSERT_TRUE(readWindowsIdentity(again, identity, &error)) << error;
    const ManifestIdentity& m = identity.manifest;
    EXPECT_EQ(m.name + " " + m.version + " " + m.description, "New.App 2.5.0.0 New & <shiny>");
    EXPECT_EQ(identity.iconSizes, (std::vector<int>{16, 32, 64, 128, 256}));
    const std::vector<Resource> back = resourcesOf(again);
    EXPECT_EQ(back.size(), 8u) << "manifest, group, five images, custom";
    for (const Resource& r : back) {
      if (r.type.id != kRtIcon) continue;
      ASSERT_TRUE(r.name.id >= 1 && r.name.id <= 5 && r.data.size() > 24) << r.name.id;
      EXPECT_EQ(r.data[18] << 8 | r.data[19], kIconSizes[r.name.id - 1]) << "PNG width";
    }
  }
}

// An ARM64 launcher given for an x64 target is refused before anything is written.
TEST(PackedLauncher, MachineMustMatchTheTarget) {
  LauncherSource source;
  source.identity = {"App", "1.0.0.0", "App"};
  source.windows = true;
  source.target = "windows-x64";
  source.file = ::testing::TempDir() + "arm64-launcher.exe";
  const Bytes file = makePe(sampleResources(), 0xAA64);
  std::ofstream(source.file, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), file.size());
  const std::string root = ::testing::TempDir() + "machine-mismatch";
  fs::remove_all(root);
  std::string error;
  EXPECT_FALSE(writePackedLauncher(source, LaunchConfig{}, root + "/bin/App.exe", &error));
  EXPECT_EQ(error, source.file + " is a launcher for arm64, not for windows-x64");
  EXPECT_FALSE(fs::exists(root + "/bin/App.exe"));
}

}  // namespace
}  // namespace plenwick
