#include "tools/pack/release/name_uuid.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <vector>

namespace plenwick {
namespace {

uint32_t rotl(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

void sha1Block(const unsigned char* block, std::array<uint32_t, 5>& h) {
  uint32_t w[80];
  for (int i = 0; i < 16; ++i) {
    w[i] = uint32_t(block[4 * i]) << 24 | uint32_t(block[4 * i + 1]) << 16 |
           uint32_t(block[4 * i + 2]) << 8 | block[4 * i + 3];
  }
  for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
  for (int i = 0; i < 80; ++i) {
    uint32_t f, k;
    if (i < 20) {
      f = (b & c) | (~b & d), k = 0x5A827999;
    } else if (i < 40) {
      f = b ^ c ^ d, k = 0x6ED9EBA1;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d, k = 0xCA62C1D6;
    }
    const uint32_t t = rotl(a, 5) + f + e + k + w[i];
    e = d, d = c, c = rotl(b, 30), b = a, a = t;
  }
  h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

std::array<unsigned char, 20> sha1(std::vector<unsigned char> data) {
  const uint64_t bits = uint64_t(data.size()) * 8;
  data.push_back(0x80);
  while (data.size() % 64 != 56) data.push_back(0);
  for (int i = 7; i >= 0; --i) data.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  std::array<uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  for (std::size_t i = 0; i < data.size(); i += 64) sha1Block(data.data() + i, h);
  std::array<unsigned char, 20> out;
  for (int i = 0; i < 20; ++i) out[i] = static_cast<unsigned char>(h[i / 4] >> (24 - 8 * (i % 4)));
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The 16 bytes of a GUID given as 32 hex digits with dashes after 8, 12, 16, 20.
bool guidBytes(const std::string& text, std::vector<unsigned char>* bytes) {
  if (text.size() != 36) return false;
  bytes->clear();
  for (std::size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i++] != '-') return false;
      continue;
    }
    const int high = hexValue(text[i]), low = hexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes->push_back(static_cast<unsigned char>(high * 16 + low));
    i += 2;
  }
  return true;
}

std::string formatGuid(const unsigned char* b) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    out += kHex[b[i] >> 4];
    out += kHex[b[i] & 15];
  }
  return out + "}";
}

}  // namespace

std::string nameUuid(const std::string& space, const std::string& name) {
  std::vector<unsigned char> data;
  guidBytes(space, &data);
  data.insert(data.end(), name.begin(), name.end());
  std::array<unsigned char, 20> hash = sha1(data);
  hash[6] = static_cast<unsigned char>((hash[6] & 0x0F) | 0x50);  // version 5
  hash[8] = static_cast<unsigned char>((hash[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return formatGuid(hash.data());
}

bool parseGuid(const std::string& text, std::string* normal) {
  std::string bare = text;
  if (bare.size() == 38 && bare.front() == '{' && bare.back() == '}') {
    bare = bare.substr(1, 36);
  }
  std::vector<unsigned char> bytes;
  if (!guidBytes(bare, &bytes)) return false;
  *normal = formatGuid(bytes.data());
  return true;
}

}  // namespace plenwick
