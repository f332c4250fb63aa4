#include "jvm/java_strings.h"

#include <cstdint>

namespace plenwick {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void appendThreeBytes(std::string& out, uint32_t unit) {
  out += static_cast<char>(0xE0 | (unit >> 12));
  out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (unit & 0x3F));
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    appendThreeBytes(out, cp);
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `i`; returns the code point or kReplacement for
// an invalid one, and advances `i` past what it consumed (at least one byte).
// With `surrogatesAllowed`, encoded surrogates (modified UTF-8) are accepted.
uint32_t decodeOne(const std::string& s, std::size_t& i, bool surrogatesAllowed) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  std::size_t length;
  uint32_t cp;
  uint32_t minimum;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + length > s.size()) {
    ++i;
    return kReplacement;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
  // Modified UTF-8 writes NUL as C0 80.
  const bool modifiedNul = surrogatesAllowed && length == 2 && cp == 0;
  if ((cp < minimum && !modifiedNul) || cp > 0x10FFFF || (surrogate && !surrogatesAllowed)) {
    ++i;
    return kReplacement;
  }
  i += length;
  return cp;
}

}  // namespace

std::string toModifiedUtf8(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const uint32_t cp = decodeOne(utf8, i, false);
    if (cp >= 0x10000) {
      const uint32_t v = cp - 0x10000;
      appendThreeBytes(out, 0xD800 | (v >> 10));
      appendThreeBytes(out, 0xDC00 | (v & 0x3FF));
    } else {
      appendUtf8(out, cp);
    }
  }
  return out;
}

std::string fromModifiedUtf8(const std::string& modified) {
  std::string out;
  out.reserve(modified.size());
  for (std::size_t i = 0; i < modified.size();) {
    uint32_t cp = decodeOne(modified, i, true);
    if (cp >= 0xD800 && cp <= 0xDBFF && i < modified.size()) {
      std::size_t next = i;
      const uint32_t low = decodeOne(modified, next, true);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i = next;
      }
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = kReplacement;  // an unpaired surrogate
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace plenwick
