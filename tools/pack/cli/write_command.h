// plenwick-pack write: copies a launcher and writes launch settings into it.
// Returns the exit code.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

int writeCommand(const std::vector<std::string>& args);

}  // namespace plenwick
