#include "tools/pack/windows/icons.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "tools/pack/files/read_file.h"

namespace plenwick {
namespace {

// A 4096 px square PNG (the largest read) holds 64 MiB of pixels at most.
constexpr std::size_t kMaxIconFile = 80 * kMiB;

std::string pngError(const png_image& image) {
  return image.message[0] != '\0' ? image.message : "unreadable PNG";
}

void put16(std::vector<unsigned char>& out, uint32_t value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// Sum of premultiplied RGBA over the source pixels under one target pixel.
void averageCell(const RgbaBitmap& s, double x0, double x1, double y0, double y1,
                 unsigned char* out) {
  double sum[4] = {0, 0, 0, 0};
  double total = 0;
  for (uint32_t y = static_cast<uint32_t>(y0); y < s.height && y < y1; ++y) {
    const double wy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
    for (uint32_t x = static_cast<uint32_t>(x0); x < s.width && x < x1; ++x) {
      const double w = wy * (std::min<double>(x + 1, x1) - std::max<double>(x, x0));
      const unsigned char* p = &s.pixels[(static_cast<std::size_t>(y) * s.width + x) * 4];
      const double alpha = p[3] / 255.0;
      for (int c = 0; c < 3; ++c) sum[c] += w * p[c] * alpha;
      sum[3] += w * p[3];
      total += w;
    }
  }
  const double alpha = total > 0 ? sum[3] / total : 0;
  for (int c = 0; c < 3; ++c) {
    const double value = alpha > 0 ? sum[c] / total / (alpha / 255.0) : 0;
    out[c] = static_cast<unsigned char>(std::clamp(value + 0.5, 0.0, 255.0));
  }
  out[3] = static_cast<unsigned char>(std::clamp(alpha + 0.5, 0.0, 255.0));
}

bool fromOnePng(const std::string& path, std::vector<RgbaBitmap>& bitmaps, std::string* err) {
  RgbaBitmap large;
  if (!readPng(path, large, err)) return false;
  if (large.width != large.height || large.width < 256) {
    *err = path + ": the icon must be square and at least 256 px, not " +
           std::to_string(large.width) + "x" + std::to_string(large.height);
    return false;
  }
  for (int size : kIconSizes) bitmaps.push_back(scaleBitmap(large, static_cast<uint32_t>(size)));
  return true;
}

bool fromFivePngs(const std::vector<std::string>& paths, std::vector<RgbaBitmap>& bitmaps,
                  std::string* err) {
  bitmaps.assign(5, RgbaBitmap());
  for (const std::string& path : paths) {
    RgbaBitmap bitmap;
    if (!readPng(path, bitmap, err)) return false;
    const int* size = std::find(std::begin(kIconSizes), std::end(kIconSizes), bitmap.width);
    if (bitmap.width != bitmap.height || size == std::end(kIconSizes)) {
      *err = path + ": each of five icons must be square, 16, 32, 64, 128 or 256 px, not " +
             std::to_string(bitmap.width) + "x" + std::to_string(bitmap.height);
      return false;
    }
    RgbaBitmap& slot = bitmaps[static_cast<std::size_t>(size - std::begin(kIconSizes))];
    if (slot.width != 0) {
      *err = path + ": two icons of " + std::to_string(*size) + " px";
      return false;
    }
    slot = std::move(bitmap);
  }
  return true;
}

// The header and the start of each entry, which the icon group and the .ico
// file share: an entry then ends with its resource id or its file offset.
std::vector<unsigned char> iconHeader(const std::vector<std::vector<unsigned char>>& pngs) {
  std::vector<unsigned char> out;
  put16(out, 0);  // reserved
  put16(out, 1);  // icons
  put16(out, static_cast<uint32_t>(pngs.size()));
  return out;
}

void putIconEntry(const std::vector<std::vector<unsigned char>>& pngs, std::size_t i,
                  std::vector<unsigned char>& out) {
  const int size = kIconSizes[i];
  out.push_back(static_cast<unsigned char>(size >= 256 ? 0 : size));  // 256 is written as 0
  out.push_back(static_cast<unsigned char>(size >= 256 ? 0 : size));
  out.push_back(0);  // colour count
  out.push_back(0);  // reserved
  put16(out, 1);     // planes
  put16(out, 32);    // bits per pixel
  put32(out, static_cast<uint32_t>(pngs[i].size()));
}

}  // namespace

bool readPng(const std::string& path, RgbaBitmap& out, std::string* err) {
  std::vector<unsigned char> file;
  if (!readFile(path, kMaxIconFile, &file, err)) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
    *err = path + ": not a readable PNG (" + pngError(image) + ")";
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  if (image.width > 4096 || image.height > 4096) {
    png_image_free(&image);
    *err = path + ": the image is larger than 4096 px";
    return false;
  }
  out.width = image.width;
  out.height = image.height;
  out.pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
    *err = path + ": not a readable PNG (" + pngError(image) + ")";
    return false;
  }
  return true;
}

bool encodePng(const RgbaBitmap& in, std::vector<unsigned char>& png, std::string* err) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = in.width;
  image.height = in.height;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, in.pixels.data(), 0, nullptr)) {
    *err = "cannot encode a PNG: " + pngError(image);
    return false;
  }
  png.assign(size, 0);
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, in.pixels.data(), 0, nullptr)) {
    *err = "cannot encode a PNG: " + pngError(image);
    return false;
  }
  png.resize(size);
  return true;
}

RgbaBitmap scaleBitmap(const RgbaBitmap& source, uint32_t size) {
  RgbaBitmap out;
  out.width = out.height = size;
  out.pixels.assign(static_cast<std::size_t>(size) * size * 4, 0);
  const double sx = static_cast<double>(source.width) / size;
  const double sy = static_cast<double>(source.height) / size;
  for (uint32_t y = 0; y < size; ++y) {
    for (uint32_t x = 0; x < size; ++x) {
      averageCell(source, x * sx, (x + 1) * sx, y * sy, (y + 1) * sy,
                  &out.pixels[(static_cast<std::size_t>(y) * size + x) * 4]);
    }
  }
  return out;
}

bool makeIconBitmaps(const std::vector<std::string>& paths, std::vector<RgbaBitmap>& bitmaps,
                     std::string* err) {
  if (paths.size() != 1 && paths.size() != 5) {
    *err = "give one large PNG or five icons";
    return false;
  }
  return paths.size() == 1 ? fromOnePng(paths[0], bitmaps, err) : fromFivePngs(paths, bitmaps, err);
}

bool makeIconSet(const std::vector<std::string>& paths,
                 std::vector<std::vector<unsigned char>>& pngs, std::string* err) {
  std::vector<RgbaBitmap> bitmaps;
  if (!makeIconBitmaps(paths, bitmaps, err)) return false;
  pngs.clear();
  for (const RgbaBitmap& bitmap : bitmaps) {
    pngs.emplace_back();
    if (!encodePng(bitmap, pngs.back(), err)) return false;
  }
  return true;
}

std::vector<unsigned char> iconGroup(const std::vector<std::vector<unsigned char>>& pngs,
                                     const std::vector<uint16_t>& ids) {
  std::vector<unsigned char> out = iconHeader(pngs);
  for (std::size_t i = 0; i < pngs.size(); ++i) {
    putIconEntry(pngs, i, out);
    put16(out, ids[i]);
  }
  return out;
}

std::vector<unsigned char> iconFile(const std::vector<std::vector<unsigned char>>& pngs) {
  std::vector<unsigned char> out = iconHeader(pngs);
  std::size_t offset = out.size() + 16 * pngs.size();
  for (std::size_t i = 0; i < pngs.size(); ++i) {
    putIconEntry(pngs, i, out);
    put32(out, static_cast<uint32_t>(offset));
    offset += pngs[i].size();
  }
  for (const auto& png : pngs) out.insert(out.end(), png.begin(), png.end());
  return out;
}

}  // namespace plenwick
