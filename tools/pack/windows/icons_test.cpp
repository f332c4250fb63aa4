#include "tools/pack/windows/icons.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace plenwick {
namespace {

TEST(Icons, ScalingAveragesAndKeepsTransparency) {
  RgbaBitmap image;  // left half opaque red, right half transparent
  image.width = image.height = 4;
  for (int i = 0; i < 16; ++i) {
    const unsigned char v = i % 4 < 2 ? 255 : 0;
    image.pixels.insert(image.pixels.end(), {v, 0, 0, v});
  }
  EXPECT_EQ(scaleBitmap(image, 1).pixels, (std::vector<unsigned char>{255, 0, 0, 128}))
      << "transparent pixels add no colour";
  const RgbaBitmap two = scaleBitmap(image, 2);
  EXPECT_EQ(two.pixels[3], 255);
  EXPECT_EQ(two.pixels[7], 0);
  // Sizes, 256 recorded as 0, planes, 32 bits per pixel, byte counts, resource ids.
  const std::vector<unsigned char> group =
      iconGroup({{1, 2, 3}, {4, 5}, {}, {}, {}}, {7, 8, 9, 10, 11});
  ASSERT_EQ(group.size(), 6u + 5 * 14);
  EXPECT_EQ(std::vector<unsigned char>(group.begin(), group.begin() + 34),
            (std::vector<unsigned char>{0, 0, 1, 0,  5,  0, 16, 16, 0, 0,  1, 0, 32, 0, 3, 0, 0,
                                        0, 7, 0, 32, 32, 0, 0,  1,  0, 32, 0, 2, 0,  0, 0, 8, 0}));
  EXPECT_EQ(group[6 + 4 * 14], 0) << "256 px is recorded as 0";
  // An .ico file: the same entries, each ending with its image's offset, then the images.
  const std::vector<unsigned char> ico = iconFile({{1, 2, 3}, {4, 5}, {}, {}, {}});
  ASSERT_EQ(ico.size(), 6u + 5 * 16 + 5);
  EXPECT_TRUE(std::equal(group.begin(), group.begin() + 18, ico.begin()));
  EXPECT_EQ(std::vector<unsigned char>(ico.begin() + 18, ico.begin() + 22),
            (std::vector<unsigned char>{86, 0, 0, 0}));
  EXPECT_EQ(ico[6 + 16 + 12], 89) << "the second image follows the first";
  EXPECT_EQ(std::vector<unsigned char>(ico.end() - 5, ico.end()),
            (std::vector<unsigned char>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace plenwick
