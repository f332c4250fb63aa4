#include "tools/pack/files/image_marker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

class ImageMarker : public TempDirTest {};

// Only a folder that holds what its marker lists, or less, counts as an image.
TEST_F(ImageMarker, ListsWhatThePackerMade) {
  const fs::path image = dir_ / "image", other = dir_ / "other";
  const std::string marker = std::string("image/") + kImageMarker;
  const struct {
    const char* name;
    std::function<void()> change;
    MarkerState state;
    const char* named;  // among the changes
  } cases[] = {
      {"as made", [] {}, MarkerState::kMatches, ""},
      {"a file removed", [&] { fs::remove(image / "readme.txt"); }, MarkerState::kMatches, ""},
      {"a file added", [&] { put("image/data/settings.json"); }, MarkerState::kDiffers,
       "data/settings.json (added)"},
      {"a file rewritten", [&] { put("image/app/a.jar", "other"); }, MarkerState::kDiffers,
       "app/a.jar (changed)"},
      {"a file touched",
       [&] {
         const timespec times[2] = {{0, UTIME_OMIT}, {1, 0}};
         utimensat(AT_FDCWD, (image / "readme.txt").c_str(), times, 0);
       },
       MarkerState::kDiffers, "readme.txt (changed)"},
      {"a link pointed elsewhere",
       [&] {
         fs::remove(image / "lib");
         fs::create_symlink("bin", image / "lib");
       },
       MarkerState::kDiffers, "lib (changed)"},
      {"an empty marker", [&] { put(marker, ""); }, MarkerState::kNone, ""},
      {"a marker of any text", [&] { put(marker, "An image\n"); }, MarkerState::kNone, ""},
      {"a marker that is a link",
       [&] {
         fs::rename(image / kImageMarker, dir_ / "real-marker");
         fs::create_symlink(dir_ / "real-marker", image / kImageMarker);
       },
       MarkerState::kNone, ""},
      {"another image's marker, hard-linked",
       [&] {
         fs::create_directories(other);
         fs::create_hard_link(image / kImageMarker, other / kImageMarker);
         put("other/notes.txt");
       },
       MarkerState::kDiffers, "notes.txt (added)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(image);
    fs::remove_all(other);
    put("image/app/a.jar", "a jar");
    put("image/readme.txt");
    fs::create_symlink("app", image / "lib");
    std::string err;
    ASSERT_TRUE(writeImageMarker(image.string(), &err)) << err;
    c.change();
    std::vector<std::string> changes;
    const fs::path checked = fs::exists(other) ? other : image;
    EXPECT_EQ(checkImageMarker(checked.string(), &changes), c.state);
    std::string all;
    for (const std::string& change : changes) all += change + "\n";
    EXPECT_NE(all.find(c.named), std::string::npos) << all;
  }
}

}  // namespace
}  // namespace plenwick
