// The launcher's icon images: five square PNGs (16, 32, 64, 128, 256 px) in
// 8-bit RGBA, made from one large image or taken from five given ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plenwick {

constexpr int kIconSizes[] = {16, 32, 64, 128, 256};

struct RgbaBitmap {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<unsigned char> pixels;  // RGBA, row by row
};

bool readPng(const std::string& path, RgbaBitmap& out, std::string* err);
bool encodePng(const RgbaBitmap& in, std::vector<unsigned char>& png, std::string* err);
// Area-averaged scaling with premultiplied alpha; `size` divides nothing in particular.
RgbaBitmap scaleBitmap(const RgbaBitmap& source, uint32_t size);

// The five bitmaps, smallest first, from one PNG or five, as makeIconSet reads them.
bool makeIconBitmaps(const std::vector<std::string>& paths, std::vector<RgbaBitmap>& bitmaps,
                     std::string* err);

// The five PNG files' bytes, smallest first, from one PNG (square, 256 px or
// more) or from five (one of each size, in any order).
bool makeIconSet(const std::vector<std::string>& paths,
                 std::vector<std::vector<unsigned char>>& pngs, std::string* err);

// The icon group (GRPICONDIR) for images with resource ids `firstId`.. in
// the order of kIconSizes.
std::vector<unsigned char> iconGroup(const std::vector<std::vector<unsigned char>>& pngs,
                                     const std::vector<uint16_t>& ids);

// An .ico file holding the images of makeIconSet, in the order of kIconSizes.
std::vector<unsigned char> iconFile(const std::vector<std::vector<unsigned char>>& pngs);

}  // namespace plenwick
