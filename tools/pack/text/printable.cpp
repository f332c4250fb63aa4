#include "tools/pack/text/printable.h"

#include <cstdint>
#include <cstdio>

namespace plenwick {
namespace {

std::string escape(const char* format, uint32_t value) {
  char out[16];
  std::snprintf(out, sizeof out, format, static_cast<unsigned>(value));
  return out;
}

// The length of the UTF-8 sequence at `at` and its code point, or 0 when the
// bytes there are not one (truncated, overlong, a surrogate, past U+10FFFF).
std::size_t decodeUtf8(const std::string& text, std::size_t at, uint32_t* point) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || text.size() - at < length) return 0;
  uint32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(i) & 0x3F);
  }
  const uint32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < lowest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *point = value;
  return length;
}

// C1 controls, and the marks that reorder the text around them.
bool isInvisibleControl(uint32_t point) {
  return (point >= 0x80 && point <= 0x9F) || (point >= 0x202A && point <= 0x202E) ||
         (point >= 0x2066 && point <= 0x2069) || point == 0x200E || point == 0x200F ||
         point == 0x061C;
}

}  // namespace

std::string printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c >= 0x20 && c < 0x7F) {
      out += text[at++];
      continue;
    }
    uint32_t point = 0;
    const std::size_t length = c >= 0x80 ? decodeUtf8(text, at, &point) : 0;
    if (length == 0) {
      out += escape("\\x%02x", c);
      ++at;
    } else if (isInvisibleControl(point)) {
      out += escape("\\u%04x", point);
      at += length;
    } else {
      out.append(text, at, length);
      at += length;
    }
  }
  return out;
}

}  // namespace plenwick
