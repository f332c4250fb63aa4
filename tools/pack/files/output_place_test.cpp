#include "tools/pack/files/output_place.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

// Whether an earlier image, a file or a link may be replaced: app_check_test, on the disk.
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
      {"/opt", "holds /opt/jdk-21, which this run reads"},
      {"/opt/jdk-21", "holds /opt/jdk-21"},
      {"/opt/jdk-21/image", "lies inside /opt/jdk-21"},
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
  for (const char* path : {"/", "//"}) EXPECT_EQ(normalOutputPath(path), "/");
}

}  // namespace
}  // namespace plenwick
