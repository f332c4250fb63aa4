#include "tools/pack/windows/windows_identity.h"

#include <gtest/gtest.h>

#include "tests/support/sample_pe.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

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
    writeFile(paths.back(), std::string(png.begin(), png.end()));
  }
  return paths;
}

// One large PNG is scaled to five; five given PNGs are taken in size order; a refusal leaves
// the file alone.
TEST(WindowsIdentity, IdentityAndIcons) {
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

}  // namespace
}  // namespace plenwick
