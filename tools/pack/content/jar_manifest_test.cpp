#include "tools/pack/content/jar_manifest.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "tests/support/small_zip.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/pe/pe_file.h"

namespace plenwick {
namespace {

using Strings = std::vector<std::string>;

TEST(JarManifestTest, MainSectionAttributes) {
  const struct {
    const char* text;
    const char* mainClass;
    Strings classPath;
    const char* error;  // empty: parsed
  } cases[] = {
      {"Main-Class: com.exa\r\n mple.App\r\nClass-Path: lib/a.jar lib/b\r\n .jar\r\n",
       "com.example.App",
       {"lib/a.jar", "lib/b.jar"},
       ""},
      {"main-class:  x.Y \nCLASS-PATH: my%20lib.jar  other.jar%2\n",
       "x.Y",
       {"my lib.jar", "other.jar%2"},
       ""},
      {"Main-Class: a.B\rClass-Path: c.jar", "a.B", {"c.jar"}, ""},
      {"Manifest-Version: 1.0\n\nName: a/\nMain-Class: not.Main\n", "", {}, ""},
      {"", "", {}, ""},
      {" continued\n", "", {}, "manifest line 1 continues nothing"},
      {"Manifest-Version: 1.0\nMain-Class a.B\n", "", {}, "manifest line 2 is not 'Name: value'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    JarManifest manifest;
    std::string error;
    EXPECT_EQ(parseManifest(c.text, &manifest, &error), std::string(c.error).empty());
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(manifest.mainClass, c.mainClass);
    EXPECT_EQ(manifest.classPath, c.classPath);
  }
}

// A deflated manifest and a file too short for a zip are read in plan_image_test.
TEST(JarManifestTest, FromZipBytes) {
  const std::string text = "Main-Class: a.B\r\n";
  const struct {
    std::vector<unsigned char> zip;
    const char* manifest;
    const char* error;
  } cases[] = {
      {smallZip("meta-inf/manifest.mf", text, false), "Main-Class: a.B\r\n", ""},
      {smallZip("a/B.class", text, true), "", ""},
      {std::vector<unsigned char>(100, 0), "", "not a zip file (no end of central directory)"},
  };
  for (const auto& c : cases) {
    std::string manifest, error;
    EXPECT_EQ(extractManifest(c.zip, &manifest, &error), std::string(c.error).empty());
    EXPECT_EQ(manifest, c.manifest);
    EXPECT_EQ(error, c.error);
  }
  std::vector<unsigned char> damaged = smallZip("META-INF/MANIFEST.MF", text, true);
  damaged[30 + 20 + 2] ^= 1;  // in the deflated data, after the header and the name
  std::string manifest, error;
  EXPECT_FALSE(extractManifest(damaged, &manifest, &error));
  EXPECT_NE(error, "");
}

class JarFileTest : public TempDirTest {};

// A jar whose zip starts 3 GiB into the file (a sparse hole before it): only
// its end, its central directory and the manifest are read, never the whole.
TEST_F(JarFileTest, ReadsOnlyTheDirectoryAndTheManifest) {
  const uint64_t hole = uint64_t{3} << 30;
  const std::string name = "META-INF/MANIFEST.MF";
  std::vector<unsigned char> zip = smallZip(name, "Main-Class: far.Away\r\n", true);
  const std::size_t directory = zip.size() - 22 - 46 - name.size();
  writeLe32(zip, directory + 42, static_cast<uint32_t>(hole));
  writeLe32(zip, zip.size() - 6, static_cast<uint32_t>(hole + directory));
  const std::string path = (dir_ / "far.jar").string();
  std::ofstream(path, std::ios::binary)
      .seekp(static_cast<std::streamoff>(hole))
      .write(reinterpret_cast<const char*>(zip.data()), static_cast<std::streamsize>(zip.size()));
  JarManifest manifest;
  std::string error;
  ASSERT_TRUE(readJarManifest(path, &manifest, &error)) << error;
  EXPECT_EQ(manifest.mainClass, "far.Away");
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  EXPECT_LT(usage.ru_maxrss, 1 << 20) << "KiB at the peak: the jar was read whole";
}

}  // namespace
}  // namespace plenwick
