// A zip file of one entry, written by the tests that read jars.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

// The bytes of a zip holding `name` with `content`, deflated or stored.
std::vector<unsigned char> smallZip(const std::string& name, const std::string& content,
                                    bool deflated);

// The same written to `path`.
void writeSmallZip(const std::string& path, const std::string& name, const std::string& content,
                   bool deflated = true);

}  // namespace plenwick
