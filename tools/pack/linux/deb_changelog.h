// The changelog Debian wants in every binary package
// (/usr/share/doc/<name>/changelog.Debian.gz): one entry for this packaging.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "tools/pack/linux/linux_package.h"

namespace plenwick {

// The entry's text, dated `when`.
std::string debChangelog(const LinuxPackage& p, std::time_t when);

// `text` compressed as gzip -9n does: best compression, no name, no time.
bool gzipBest(const std::string& text, std::vector<unsigned char>* out, std::string* err);

}  // namespace plenwick
