#include "tests/support/small_zip.h"

#include <zlib.h>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

// Little-endian fields, their sizes in bytes given as digits.
void put(std::vector<unsigned char>& out, const char* sizes,
         std::initializer_list<unsigned long> values) {
  const unsigned long* value = values.begin();
  for (const char* size = sizes; *size != '\0'; ++size, ++value) {
    for (int i = 0; i < *size - '0'; ++i)
      out.push_back(static_cast<unsigned char>(*value >> 8 * i));
  }
}

std::string deflateRaw(const std::string& content) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(content.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace

std::vector<unsigned char> smallZip(const std::string& name, const std::string& content,
                                    bool deflated) {
  const std::string data = deflated ? deflateRaw(content) : content;
  const unsigned long crc =
      crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size()));
  const unsigned long method = deflated ? 8 : 0;
  std::vector<unsigned char> zip;
  // Local header and data; the central directory entry (version made by, the local header's
  // fields, comment length, disk, attributes, local header offset); its end record.
  for (const bool central : {false, true}) {
    put(zip, central ? "42" : "4", {central ? 0x02014b50UL : 0x04034b50UL, 20});
    put(zip, "222444422", {20, 0, method, 0, crc, data.size(), content.size(), name.size(), 0});
    if (central) put(zip, "22244", {0, 0, 0, 0, 0});
    zip.insert(zip.end(), name.begin(), name.end());
    if (!central) zip.insert(zip.end(), data.begin(), data.end());
  }
  const std::size_t directory = 30 + name.size() + data.size();
  put(zip, "4422442", {0x06054b50UL, 0, 1, 1, zip.size() - directory, directory, 0});
  return zip;
}

void writeSmallZip(const std::string& path, const std::string& name, const std::string& content,
                   bool deflated) {
  const std::vector<unsigned char> zip = smallZip(name, content, deflated);
  writeFile(path, std::string(zip.begin(), zip.end()));
}

}  // namespace plenwick
