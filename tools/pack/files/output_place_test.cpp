#include "tools/pack/files/output_place.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(OutputPlace, PathWithinComparesWholeNames) {
  const struct {
    const char* inner;
    const char* outer;
    bool within;
  } cases[] = {
      {"/a/b", "/a/b", true},   {"/a/b/c", "/a/b", true}, {"/a/..x", "/a", true},
      {"/a/bc", "/a/b", false}, {"/a", "/a/b", false},    {"/x", "/", true},
  };
  for (const auto& c : cases) EXPECT_EQ(pathWithin(c.inner, c.outer), c.within) << c.inner;
}

// Whether an earlier image, a file or a link may be replaced: plan_image_test, on the disk.
TEST(OutputPlace, RefusesWhatCanNeverBeReplaced) {
  const OutputSurroundings around{
      {"/home/ann/work/project", "/srv/real/project"},
      {"/home/ann"},
      {"/home/ann/work/project/lib/app.jar", "/opt/jdk-21", "/home/ann/work/project/rt"}};
  const struct {
    const char* output;
    const char* message;      // for a folder output; empty: allowed
    const char* fileMessage;  // for a file output
  } cases[] = {
      {"/", "is the filesystem root", ""},
      {"/home/ann", "is your home folder", ""},
      {"/home", "holds your home folder", ""},
      {"/home/ann/work/project", "is the current folder", ""},
      {"/srv/real/project", "is the current folder", ""},
      {"/home/ann/work", "holds the current folder", ""},
      {"/opt", "holds /opt/jdk-21, which this run reads", ""},
      {"/opt/jdk-21", "holds /opt/jdk-21", "is an input of this run"},
      {"/opt/jdk-21/image", "lies inside /opt/jdk-21", "lies inside /opt/jdk-21"},
      {"/home/ann/work/project/lib/app.jar", "holds /home/ann/work/project/lib", "is an input"},
      {"/home/ann/work/project/r", "", ""},
      {"/opt/jdk-21-image", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    std::string err;
    EXPECT_EQ(checkOutputPlace(c.output, around, &err), std::string(c.message).empty());
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    err.clear();
    EXPECT_EQ(checkFileOutputPlace(c.output, around, &err), std::string(c.fileMessage).empty());
    EXPECT_NE(err.find(c.fileMessage), std::string::npos) << err;
  }
}

TEST(OutputPlace, NormalPathsDropTrailingSeparatorsAndDots) {
  for (const char* path : {"/a/b/", "/a/b/.", "/a/c/../b//"})
    EXPECT_EQ(normalOutputPath(path), "/a/b");
  for (const char* path : {"/", "//"}) EXPECT_EQ(normalOutputPath(path), "/");
}

class OutputSpellings : public TempDirTest {};

// A link anywhere in the path leads to the place it names.
TEST_F(OutputSpellings, BothSpellingsAreChecked) {
  put("content/a.jar");
  fs::create_directories(dir_ / "home");
  fs::create_symlink("content", dir_ / "lnk");
  fs::create_symlink(".", dir_ / "here");
  const std::string d = dir_.string();
  const OutputSurroundings around = {{}, {d + "/home"}, {d + "/content"}};
  const struct {
    std::string output;
    std::string message;
  } cases[] = {
      {d + "/lnk/out", "lies inside " + d + "/content"},
      {d + "/here/here/home", "is your home folder"},
      {d + "/here/lnk/../new/out", ""},
      {d + "/" + std::string(256, 'n'), "the file system holds names of at most 255"},
      {d + "/out\0x"s, "holds a NUL character"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output.substr(0, 80));
    std::string normal, err;
    EXPECT_EQ(checkFolderOutput(c.output, around, &normal, &err), c.message.empty());
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
  }
  EXPECT_EQ(resolvedPath(d + "/here/lnk/x/y"), fs::canonical(dir_).string() + "/content/x/y");
}

}  // namespace
}  // namespace plenwick
