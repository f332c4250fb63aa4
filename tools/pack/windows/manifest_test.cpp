#include "tools/pack/windows/manifest.h"

#include <gtest/gtest.h>

#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

TEST(ManifestVersion, OneToFourNumbers) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"1", "1.0.0.0"},    {"3.2", "3.2.0.0"}, {"1.2.3.4", "1.2.3.4"}, {"65535", "65535.0.0.0"},
      {"01.2", "1.2.0.0"}, {"65536", ""},      {"1.2.3.4.5", ""},      {"", ""},
      {"1.", ""},          {".1", ""},         {"1..2", ""},           {"1.2-beta", ""},
      {"-1", ""},          {"1 .2", ""},       {"123456", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(manifestVersion(c.in), c.out);
  }
}

TEST(ManifestIdentity, ReplacesOnlyTheApplicationsOwnIdentity) {
  const struct {
    const char* name;
    std::string xml;
    const char* expected;
  } cases[] = {
      {"both present",
       "<assembly><assemblyIdentity name=\"Old\" version=\"1.0.0.0\" type=\"win32\"/>"
       "<description>Old</description><dependency><dependentAssembly><assemblyIdentity "
       "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"/></dependentAssembly>"
       "</dependency></assembly>",
       "<assembly><assemblyIdentity name=\"New\" version=\"2.0.0.0\" type=\"win32\"/>"
       "<description>A &amp; &lt;B&gt;</description><dependency><dependentAssembly>"
       "<assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"/>"
       "</dependentAssembly></dependency></assembly>"},
      {"no description, single quotes",
       "<assembly><assemblyIdentity type='win32' name='Old' version='1.0.0.0'/></assembly>",
       "<assembly><assemblyIdentity type='win32' name='New' version='2.0.0.0'/>\n  "
       "<description>A &amp; &lt;B&gt;</description></assembly>"},
      {"no version attribute", "<assembly><assemblyIdentity name=\"Old\"/></assembly>",
       "<assembly><assemblyIdentity name=\"New\" version=\"2.0.0.0\"/>\n  "
       "<description>A &amp; &lt;B&gt;</description></assembly>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string xml = c.xml;
    std::string error;
    ASSERT_TRUE(writeManifestIdentity(xml, {"New", "2.0.0.0", "A & <B>"}, &error)) << error;
    EXPECT_EQ(xml, c.expected);
    ManifestIdentity back;
    ASSERT_TRUE(readManifestIdentity(xml, back));
    EXPECT_EQ(back.name, "New");
    EXPECT_EQ(back.version, "2.0.0.0");
    EXPECT_EQ(back.description, "A & <B>");
  }
  std::string onlyDependency =
      "<assembly><dependency><assemblyIdentity name=\"X\"/></dependency></assembly>";
  std::string error;
  EXPECT_FALSE(writeManifestIdentity(onlyDependency, {"New", "2.0.0.0", "A"}, &error));
}

TEST(Icons, ScalingAveragesAndKeepsTransparency) {
  RgbaBitmap image;
  image.width = image.height = 4;
  image.pixels.assign(4 * 4 * 4, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 2; ++x) {  // left half opaque red, right half transparent
      unsigned char* p = &image.pixels[static_cast<std::size_t>(y * 4 + x) * 4];
      p[0] = 255;
      p[3] = 255;
    }
  }
  const RgbaBitmap one = scaleBitmap(image, 1);
  EXPECT_EQ(one.pixels, (std::vector<unsigned char>{255, 0, 0, 128}))
      << "transparent pixels add no colour";
  const RgbaBitmap two = scaleBitmap(image, 2);
  EXPECT_EQ(two.pixels[3], 255);
  EXPECT_EQ(two.pixels[7], 0);
  const std::vector<unsigned char> group =
      iconGroup({{1, 2, 3}, {4, 5}, {}, {}, {}}, {7, 8, 9, 10, 11});
  ASSERT_EQ(group.size(), 6u + 5 * 14);
  EXPECT_EQ(group[4], 5);       // five images
  EXPECT_EQ(group[6], 16);      // first is 16 px
  EXPECT_EQ(group[6 + 8], 3);   // of three bytes
  EXPECT_EQ(group[6 + 12], 7);  // resource id 7
  EXPECT_EQ(group[6 + 4 * 14], 0) << "256 px is recorded as 0";
  EXPECT_EQ(group[6 + 4 * 14 + 6], 32) << "32 bits per pixel";
}

}  // namespace
}  // namespace plenwick
