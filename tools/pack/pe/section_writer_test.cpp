#include "tools/pack/pe/section_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "config/region_locator.h"
#include "tests/support/sample_pe.h"
#include "tools/pack/pe/resource_writer.h"

namespace plenwick {
namespace {

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
      {"an earlier section at the addresses the resources grow into",
       [](Bytes& b) {  // .rdata's range starts just after .rsrc's content
         writeLe32(b, kTable + 12, 0x6000 + readLe32(b, kTable + 40 + 8) + 0x10);
       },
       20000, "section .rdata shares its addresses"},
      {"such a section reaching past 4 GiB",
       [](Bytes& b) {
         const uint32_t start = 0x6000 + readLe32(b, kTable + 40 + 8) + 0x10;
         writeLe32(b, kTable + 12, start);
         writeLe32(b, kTable + 8, 0x1000 - start);  // its end, in 32 bits, is 0x1000
       },
       20000, "section .rdata shares its addresses"},
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

}  // namespace
}  // namespace plenwick
