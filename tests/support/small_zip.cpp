#include "tests/support/small_zip.h"

#include <zlib.h>

#include <fstream>

namespace plenwick {
namespace {

void put(std::vector<unsigned char>& out, unsigned long value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
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
  std::vector<unsigned char> zip;
  // Local header, then the data; the central directory entry; its end record.
  for (const unsigned long signature : {0x04034b50UL, 0x02014b50UL}) {
    put(zip, signature, 4);
    if (signature == 0x02014b50UL) put(zip, 20, 2);
    put(zip, 20, 2);
    put(zip, 0, 2);
    put(zip, deflated ? 8 : 0, 2);
    put(zip, 0, 4);
    put(zip, crc, 4);
    put(zip, data.size(), 4);
    put(zip, content.size(), 4);
    put(zip, name.size(), 2);
    put(zip, 0, 2);
    if (signature == 0x02014b50UL) {
      put(zip, 0, 6);  // comment length, disk, internal attributes
      put(zip, 0, 8);  // external attributes, local header offset
    }
    zip.insert(zip.end(), name.begin(), name.end());
    if (signature == 0x04034b50UL) zip.insert(zip.end(), data.begin(), data.end());
  }
  const std::size_t directory = 30 + name.size() + data.size();
  put(zip, 0x06054b50UL, 4);
  put(zip, 0, 4);
  put(zip, 1, 2);
  put(zip, 1, 2);
  put(zip, zip.size() - directory, 4);
  put(zip, directory, 4);
  put(zip, 0, 2);
  return zip;
}

void writeSmallZip(const std::string& path, const std::string& name, const std::string& content,
                   bool deflated) {
  const std::vector<unsigned char> zip = smallZip(name, content, deflated);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(zip.data()), static_cast<std::streamsize>(zip.size()));
}

}  // namespace plenwick
