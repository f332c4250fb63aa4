#include "tools/pack/files/replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"
#include "tools/pack/files/image_marker.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

class ReplaceTest : public TempDirTest {
 protected:
  // Builds a new image whose file "which" reads "new".
  void stageImage(Staging& staging, const std::string& output) {
    std::string err;
    ASSERT_TRUE(staging.create(output, &err)) << err;
    writeFile(fs::path(staging.imagePath()) / "which", "new");
    ASSERT_TRUE(writeImageMarker(staging.imagePath(), &err)) << err;
  }
};

TEST_F(ReplaceTest, AnEarlierImageIsReplacedOrRestored) {
  const struct {
    const char* name;
    bool failAfterAside;
    const char* expected;  // the marker's text at the output afterwards
  } cases[] = {{"replaced", false, "new"}, {"failure after moving it aside", true, "old"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string output = (dir_ / "out").string();
    fs::remove_all(output);
    put("out/which", "old");
    put("out/app/data.txt", "the old image's");
    std::string err;
    ASSERT_TRUE(writeImageMarker(output, &err)) << err;
    {
      Staging staging;
      stageImage(staging, output);
      const bool placed = staging.commitImage(
          {}, &err, [&](std::string* e) { return !c.failAfterAside || (*e = "injected", false); });
      EXPECT_EQ(placed, !c.failAfterAside) << err;
    }
    EXPECT_EQ(readFile(fs::path(output) / "which"), c.expected);
    EXPECT_EQ(fs::exists(fs::path(output) / "app/data.txt"), c.failAfterAside);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "nothing of the run is left beside the output";
  }
}

TEST_F(ReplaceTest, FailureRemovesTheParentsItMade) {
  const std::string output = (dir_ / "a/b/out").string();
  {
    Staging staging;
    stageImage(staging, output);
    put("a/b/out/file", "appeared while the image was built");
    std::string err;
    EXPECT_FALSE(staging.commitImage({}, &err));
    EXPECT_NE(err.find("is a folder that is not an image"), std::string::npos) << err;
  }
  EXPECT_EQ(readFile(dir_ / "a/b/out/file"), "appeared while the image was built");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "a/b"), fs::directory_iterator()), 1);
  fs::remove_all(dir_ / "a");
  {
    Staging staging;
    stageImage(staging, output);
  }
  EXPECT_FALSE(fs::exists(dir_ / "a")) << "parents made for a run that did not finish";
}

TEST_F(ReplaceTest, RemovesOnlyInsideItsOwnFolder) {
  Staging staging;
  stageImage(staging, (dir_ / "out").string());
  std::string err;
  for (const std::string& path : {put("keep", "x"), staging.imagePath() + "/../../keep"}) {
    EXPECT_FALSE(staging.remove(path, &err)) << path;
  }
  EXPECT_TRUE(fs::exists(dir_ / "keep"));
  EXPECT_TRUE(staging.remove(staging.imagePath() + "/which", &err)) << err;
}

// Links and special files are refused in pack_safety_e2e_test.
TEST_F(ReplaceTest, WritingAFileKeepsItsMode) {
  const std::vector<unsigned char> bytes = {'n', 'e', 'w'};
  std::string err;
  const std::string kept = put("kept", "old");
  chmod(kept.c_str(), 0700);
  ASSERT_TRUE(writeFileAtomically(kept, bytes, 0777, &err)) << err;
  struct stat info;
  stat(kept.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0700u);
  EXPECT_EQ(readFile(kept), "new");

  const mode_t mask = umask(027);
  ASSERT_TRUE(writeFileAtomically((dir_ / "fresh").string(), bytes, 0777, &err)) << err;
  umask(mask);
  stat((dir_ / "fresh").c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0750u);
}

}  // namespace
}  // namespace plenwick
