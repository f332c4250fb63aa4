#include "tools/pack/content/jar_manifest.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

#include "tools/pack/files/read_file.h"

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

constexpr uint64_t kWindow = 64 * 1024;

// The bytes of the zip, from the open file (or from memory, for tests and the
// fuzzer, through the same window): a window of at least two aligned 64 KiB
// blocks around what is asked for, so a jar is never read whole, only its
// end, its central directory and the manifest entry. Little-endian fields at
// checked offsets: `ok` turns false on the first read past the end (or a read
// error, in `readError`), and every later read returns 0.
struct Reader {
  const Bytes* memory = nullptr;
  const OpenFile* file = nullptr;
  std::string path;
  uint64_t size = 0;
  Bytes window;
  uint64_t windowAt = 0;
  bool ok = true;
  std::string readError;

  // `count` bytes at `at`, valid until the next call; null past the end.
  const unsigned char* span(uint64_t at, uint64_t count) {
    if (!ok || at > size || size - at < count) {
      ok = false;
      return nullptr;
    }
    static const unsigned char kNone = 0;
    if (count == 0) return &kNone;
    if (at < windowAt || at + count > windowAt + window.size()) {
      windowAt = at / kWindow * kWindow;
      window.resize(std::min(std::max(2 * kWindow, at - windowAt + count), size - windowAt));
      if (memory != nullptr) {
        std::copy_n(memory->data() + windowAt, window.size(), window.data());
      } else if (!readAt(*file, path, windowAt, window.size(), window.data(), &readError)) {
        window.clear();
        ok = false;
        return nullptr;
      }
    }
    return window.data() + (at - windowAt);
  }
  uint64_t get(uint64_t at, int count) {
    const unsigned char* bytes = span(at, static_cast<uint64_t>(count));
    uint64_t value = 0;
    for (int i = count - 1; bytes != nullptr && i >= 0; --i) value = value << 8 | bytes[i];
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

// The end record lies in the last 64 KiB + 22 bytes (its comment is at most
// 64 KiB), searched from the end.
bool findDirectory(Reader& in, Directory* dir, std::string* err) {
  if (in.size < kEndSize) return fail("not a zip file (too short)", err);
  const uint64_t lowest = in.size > kEndSize + 0xFFFF ? in.size - kEndSize - 0xFFFF : 0;
  for (uint64_t end = in.size - kEndSize + 1; end-- > lowest && in.ok;) {
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

bool isManifestName(Reader& in, uint64_t at, uint64_t size) {
  static const std::string kName = "meta-inf/manifest.mf";
  if (size != kName.size()) return false;
  const unsigned char* name = in.span(at, size);
  for (std::size_t i = 0; name != nullptr && i < kName.size(); ++i) {
    if (std::tolower(name[i]) != kName[i]) return false;
  }
  return name != nullptr;
}

struct Entry {
  uint64_t method = 0, crc = 0, packed = 0, size = 0, local = 0;
};

// Sizes and offset that did not fit in 32 bits are in the zip64 extra field,
// in this order, each present only when its 32-bit field is all ones.
void applyZip64Extra(Reader& in, uint64_t at, uint64_t length, Entry* entry) {
  for (uint64_t p = at; p + 4 <= at + length && in.ok;) {
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
    if (!in.ok || in.size - at < kEntrySize + name + extra + comment) return false;
    if (isManifestName(in, at + kEntrySize, name)) {
      *entry = {in.get(at + 10, 2), in.get(at + 16, 4), in.get(at + 20, 4), in.get(at + 24, 4),
                in.get(at + 42, 4)};
      applyZip64Extra(in, at + kEntrySize + name, extra, entry);
      return *found = in.ok;
    }
    at += kEntrySize + name + extra + comment;
  }
  return in.ok;
}

// Inflates the entry's data a window at a time into at most kMaxManifest
// bytes; more input than 64 times that is not a manifest either.
bool inflateRaw(Reader& in, uint64_t data, uint64_t size, std::string* text) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  std::string out(kMaxManifest + 1, '\0');
  stream.next_out = reinterpret_cast<unsigned char*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  const uint64_t total = std::min<uint64_t>(size, kMaxManifest * 64);
  int result = Z_OK;
  for (uint64_t done = 0; result == Z_OK && stream.avail_out > 0;) {
    const uint64_t count = std::min(kWindow, total - done);
    const unsigned char* chunk = in.span(data + done, count);
    if (chunk == nullptr) break;
    stream.next_in = const_cast<unsigned char*>(chunk);
    stream.avail_in = static_cast<uInt>(count);
    done += count;
    result = inflate(&stream, done == total ? Z_FINISH : Z_NO_FLUSH);
    if (result == Z_BUF_ERROR && done < total) result = Z_OK;  // no progress on this window
  }
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
  if (!in.ok || data > in.size || in.size - data < entry.packed) {
    return fail("damaged zip (manifest data past the end)", err);
  }
  if (entry.method == 0 && entry.packed <= kMaxManifest) {
    const unsigned char* start = in.span(data, entry.packed);
    if (start == nullptr) return fail("damaged zip (manifest data past the end)", err);
    text->assign(reinterpret_cast<const char*>(start), entry.packed);
  } else if (entry.method != 8 || !inflateRaw(in, data, entry.packed, text)) {
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

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// "a.jar, lib/b.jar;lib/c.jar;x=y" : clauses split at ',', the paths of a
// clause at ';', parameters (with '=') left out, quotes taken off.
std::vector<std::string> bundlePaths(const std::string& value) {
  std::vector<std::string> paths;
  for (std::size_t at = 0; at <= value.size();) {
    const std::size_t end = std::min(value.find_first_of(",;", at), value.size());
    std::string path = trimmed(value.substr(at, end - at));
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
      path = path.substr(1, path.size() - 2);
    }
    if (!path.empty() && path.find('=') == std::string::npos) paths.push_back(path);
    at = end + 1;
  }
  return paths;
}

void setAttribute(const std::string& name, const std::string& value, JarManifest* manifest) {
  const std::string key = lowerCase(name);
  if (key == "main-class") {
    manifest->mainClass = trimmed(value);
  } else if (key == "class-path") {
    manifest->classPath.clear();
    std::size_t at = 0;
    while ((at = value.find_first_not_of(' ', at)) != std::string::npos) {
      const std::size_t end = std::min(value.find(' ', at), value.size());
      manifest->classPath.push_back(decodePercent(value.substr(at, end - at)));
      at = end;
    }
  } else if (key == "bundle-classpath") {
    manifest->bundleClassPath = bundlePaths(value);
  }
}

// A read error explains a failure better than what the bytes seemed to be.
bool failed(const Reader& in, std::string* err) {
  if (!in.readError.empty()) *err = in.readError;
  return false;
}

bool extractFrom(Reader& in, std::string* text, std::string* err) {
  Directory dir;
  Entry entry;
  bool found = false;
  text->clear();
  if (!findDirectory(in, &dir, err)) return failed(in, err);
  if (!findManifestEntry(in, dir, &entry, &found)) {
    *err = "damaged zip (central directory)";
    return failed(in, err);
  }
  return !found || readEntry(in, entry, text, err) || failed(in, err);
}

}  // namespace

bool extractManifest(const Bytes& zip, std::string* text, std::string* err) {
  Reader in;
  in.memory = &zip;
  in.size = zip.size();
  return extractFrom(in, text, err);
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
  OpenFile file;
  if (!openRegularFile(path, &file, err)) return false;
  Reader in;
  in.file = &file;
  in.path = path;
  in.size = file.size;
  std::string text;
  if (!extractFrom(in, &text, err) || !parseManifest(text, manifest, err)) {
    if (in.readError.empty()) *err = path + ": " + *err;
    return false;
  }
  return true;
}

}  // namespace plenwick
