#include "tools/pack/linux/deb_changelog.h"

#include <zlib.h>

#include <cstdio>

namespace plenwick {

std::string debChangelog(const LinuxPackage& p, std::time_t when) {
  std::tm utc{};
  gmtime_r(&when, &utc);
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char date[64];
  std::snprintf(date, sizeof date, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[utc.tm_wday],
                utc.tm_mday, kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                utc.tm_sec);
  return p.name + " (" + p.version + "-" + p.revision + ") stable; urgency=medium\n\n  * " +
         p.displayName + " " + p.version + ", packaged with plenwick-pack.\n\n -- " + p.publisher +
         " <" + p.email + ">  " + date + "\n";
}

bool gzipBest(const std::string& text, std::vector<unsigned char>* out, std::string* err) {
  z_stream stream{};
  // 15 + 16: a gzip header, which zlib writes without a name and with time 0.
  if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    *err = "cannot compress the changelog: out of memory";
    return false;
  }
  out->resize(deflateBound(&stream, static_cast<uLong>(text.size())) + 32);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = out->data();
  stream.avail_out = static_cast<uInt>(out->size());
  const int status = deflate(&stream, Z_FINISH);
  out->resize(stream.total_out);
  deflateEnd(&stream);
  if (status == Z_STREAM_END) return true;
  *err = "cannot compress the changelog";
  return false;
}

}  // namespace plenwick
