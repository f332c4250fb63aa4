#include "tools/pack/content/jar_manifest.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

namespace plenwick {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kEntrySignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMaxManifest = 1 << 20;  // more is no manifest but a zip bomb

// Little-endian fields at checked offsets: `ok` turns false on the first
// read past the end, and every later read returns 0.
struct Reader {
  const Bytes& bytes;
  bool ok = true;
  uint64_t get(uint64_t at, int size) {
    if (!ok || at > bytes.size() || bytes.size() - at < static_cast<uint64_t>(size)) {
      ok = false;
      return 0;
    }
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<uint64_t>(i)];
    return value;
  }
};

struct Directory {
  uint64_t offset = 0;
  uint64_t entries = 0;
};

bool fail(const std::string& message, std::string* err) {
  *err = message;
  return false;
}

// The zip64 end record, when the plain one says its values did not fit.
bool readZip64End(Reader& in, uint64_t end, Directory* dir) {
  if (end < 20 || in.get(end - 20, 4) != kZip64LocatorSignature) return false;
  const uint64_t at = in.get(end - 20 + 8, 8);
  if (in.get(at, 4) != kZip64EndSignature) return false;
  dir->entries = in.get(at + 32, 8);
  dir->offset = in.get(at + 48, 8);
  return in.ok;
}

bool findDirectory(Reader& in, Directory* dir, std::string* err) {
  const Bytes& bytes = in.bytes;
  if (bytes.size() < kEndSize) return fail("not a zip file (too short)", err);
  const std::size_t lowest =
      bytes.size() > kEndSize + 0xFFFF ? bytes.size() - kEndSize - 0xFFFF : 0;
  for (std::size_t end = bytes.size() - kEndSize + 1; end-- > lowest;) {
    if (in.get(end, 4) != kEndSignature) continue;
    dir->entries = in.get(end + 10, 2);
    dir->offset = in.get(end + 16, 4);
    if (dir->entries == 0xFFFF || dir->offset == 0xFFFFFFFF) {
      if (!readZip64End(in, end, dir)) return fail("not a readable zip file (zip64 end)", err);
    }
    return true;
  }
  return fail("not a zip file (no end of central directory)", err);
}

bool isManifestName(const Bytes& bytes, uint64_t at, uint64_t size) {
  static const std::string kName = "meta-inf/manifest.mf";
  if (size != kName.size()) return false;
  for (std::size_t i = 0; i < kName.size(); ++i) {
    if (std::tolower(bytes[at + i]) != kName[i]) return false;
  }
  return true;
}

struct Entry {
  uint64_t method = 0, crc = 0, packed = 0, size = 0, local = 0;
};

// Sizes and offset that did not fit in 32 bits are in the zip64 extra field,
// in this order, each present only when its 32-bit field is all ones.
void applyZip64Extra(Reader& in, uint64_t at, uint64_t length, Entry* entry) {
  for (uint64_t p = at; p + 4 <= at + length;) {
    const uint64_t id = in.get(p, 2), size = in.get(p + 2, 2);
    if (id == 1) {
      uint64_t field = p + 4;
      for (uint64_t* value : {&entry->size, &entry->packed, &entry->local}) {
        if (*value == 0xFFFFFFFF && field + 8 <= p + 4 + size) {
          *value = in.get(field, 8);
          field += 8;
        }
      }
      return;
    }
    p += 4 + size;
  }
}

bool findManifestEntry(Reader& in, const Directory& dir, Entry* entry, bool* found) {
  uint64_t at = dir.offset;
  for (uint64_t i = 0; i < dir.entries && in.ok; ++i) {
    if (in.get(at, 4) != kEntrySignature) return false;
    const uint64_t name = in.get(at + 28, 2), extra = in.get(at + 30, 2),
                   comment = in.get(at + 32, 2);
    if (!in.ok || in.bytes.size() - at < kEntrySize + name + extra + comment) return false;
    if (isManifestName(in.bytes, at + kEntrySize, name)) {
      *entry = {in.get(at + 10, 2), in.get(at + 16, 4), in.get(at + 20, 4), in.get(at + 24, 4),
                in.get(at + 42, 4)};
      applyZip64Extra(in, at + kEntrySize + name, extra, entry);
      return *found = in.ok;
    }
    at += kEntrySize + name + extra + comment;
  }
  return in.ok;
}

bool inflateRaw(const unsigned char* data, uint64_t size, std::string* text) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  stream.next_in = const_cast<unsigned char*>(data);
  stream.avail_in = static_cast<uInt>(std::min<uint64_t>(size, kMaxManifest * 64));
  std::string out(kMaxManifest + 1, '\0');
  stream.next_out = reinterpret_cast<unsigned char*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  const uint64_t produced = stream.total_out;
  inflateEnd(&stream);
  if (result != Z_STREAM_END || produced > kMaxManifest) return false;
  out.resize(produced);
  *text = std::move(out);
  return true;
}

bool readEntry(Reader& in, const Entry& entry, std::string* text, std::string* err) {
  if (in.get(entry.local, 4) != kLocalSignature) return fail("damaged zip (manifest header)", err);
  const uint64_t data =
      entry.local + kLocalSize + in.get(entry.local + 26, 2) + in.get(entry.local + 28, 2);
  if (!in.ok || data > in.bytes.size() || in.bytes.size() - data < entry.packed) {
    return fail("damaged zip (manifest data past the end)", err);
  }
  const unsigned char* start = in.bytes.data() + data;
  if (entry.method == 0 && entry.packed <= kMaxManifest) {
    text->assign(reinterpret_cast<const char*>(start), entry.packed);
  } else if (entry.method != 8 || !inflateRaw(start, entry.packed, text)) {
    return fail("the manifest cannot be unpacked (method " + std::to_string(entry.method) + ")",
                err);
  }
  const uLong crc =
      crc32(0, reinterpret_cast<const Bytef*>(text->data()), static_cast<uInt>(text->size()));
  if (crc != entry.crc) return fail("damaged zip (manifest checksum)", err);
  return true;
}

std::string decodePercent(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

void setAttribute(const std::string& name, const std::string& value, JarManifest* manifest) {
  const std::string key = lowerCase(name);
  if (key == "main-class") {
    const auto first = value.find_first_not_of(" \t");
    const auto last = value.find_last_not_of(" \t");
    manifest->mainClass = first == std::string::npos ? "" : value.substr(first, last - first + 1);
  } else if (key == "class-path") {
    manifest->classPath.clear();
    std::size_t at = 0;
    while ((at = value.find_first_not_of(' ', at)) != std::string::npos) {
      const std::size_t end = std::min(value.find(' ', at), value.size());
      manifest->classPath.push_back(decodePercent(value.substr(at, end - at)));
      at = end;
    }
  }
}

}  // namespace

bool extractManifest(const Bytes& zip, std::string* text, std::string* err) {
  Reader in{zip};
  Directory dir;
  if (!findDirectory(in, &dir, err)) return false;
  Entry entry;
  bool found = false;
  if (!findManifestEntry(in, dir, &entry, &found)) {
    return fail("damaged zip (central directory)", err);
  }
  text->clear();
  return !found || readEntry(in, entry, text, err);
}

bool parseManifest(const std::string& text, JarManifest* manifest, std::string* err) {
  *manifest = JarManifest();
  std::vector<std::pair<std::string, std::string>> attributes;
  int number = 0;
  for (const std::string& line : splitLines(text)) {
    ++number;
    if (line.empty()) break;  // the end of the main section
    if (line[0] == ' ') {
      if (attributes.empty()) {
        return fail("manifest line " + std::to_string(number) + " continues nothing", err);
      }
      attributes.back().second += line.substr(1);
      continue;
    }
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos || colon == 0) {
      return fail("manifest line " + std::to_string(number) + " is not 'Name: value'", err);
    }
    attributes.emplace_back(line.substr(0, colon), line.substr(colon + 2));
  }
  for (const auto& attribute : attributes)
    setAttribute(attribute.first, attribute.second, manifest);
  return true;
}

bool readJarManifest(const std::string& path, JarManifest* manifest, std::string* err) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail(path + ": cannot read", err);
  const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string text;
  if (!extractManifest(bytes, &text, err) || !parseManifest(text, manifest, err)) {
    *err = path + ": " + *err;
    return false;
  }
  return true;
}

}  // namespace plenwick
