#include "tools/pack/files/output_place.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(OutputPlace, RefusesWhatCanNeverBeReplaced) {
  const OutputSurroundings around{
      {"/home/ann/work/project", "/srv/real/project"},
      {"/home/ann"},
      {"/home/ann/work/project/lib/app.jar", "/opt/jdk-21", "/home/ann/work/project/rt"}};
  const struct {
    const char* output;
    const char* message;  // empty: allowed
  } cases[] = {
      {"/", "is the filesystem root"},
      {"/home/ann", "is your home folder"},
      {"/home/ann/work/project", "is the current folder"},
      {"/srv/real/project", "is the current folder"},
      {"/home/ann/work", "holds the current folder"},
      {"/srv", "holds the current folder"},
      {"/opt", "holds /opt/jdk-21, which this run reads"},
      {"/opt/jdk-21", "holds /opt/jdk-21"},
      {"/opt/jdk-21/image", "lies inside /opt/jdk-21"},
      {"/home/ann/work/project/rt/bin", "lies inside /home/ann/work/project/rt"},
      {"/home/ann/work/project/lib2", ""},
      {"/home/ann/work/project/r", ""},
      {"/opt/jdk-21-image", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    std::string err;
    EXPECT_EQ(checkOutputPlace(c.output, around, &err), std::string(c.message).empty());
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
  }
}

TEST(OutputPlace, NormalPathsDropTrailingSeparatorsAndDots) {
  for (const char* path : {"/a/b/", "/a/b/.", "/a/c/../b//"})
    EXPECT_EQ(normalOutputPath(path), "/a/b");
  EXPECT_EQ(normalOutputPath("/"), "/");
  EXPECT_EQ(normalOutputPath("//"), "/");
}

TEST(OutputPlace, ForceReplacesOnlyAnEarlierImage) {
  const struct {
    OutputKind kind;
    bool force;
    const char* message;  // empty: allowed
  } cases[] = {
      {OutputKind::kNothing, false, ""},
      {OutputKind::kEmptyFolder, false, ""},
      {OutputKind::kImage, false, "exists already; --force replaces it"},
      {OutputKind::kImage, true, ""},
      {OutputKind::kFolder, true, "is a folder that is not an image made by plenwick-pack"},
      {OutputKind::kFile, true, "is a file"},
      {OutputKind::kLink, true, "is a symbolic link"},
      {OutputKind::kSpecial, true, "is a special file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    std::string err;
    EXPECT_EQ(mayPlaceImage("/x/out", c.kind, c.force, &err), std::string(c.message).empty());
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace plenwick
