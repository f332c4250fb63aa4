// plenwick-pack installer: makes a per-user Windows installer (.msi). Returns the exit code.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

int installerCommand(const std::vector<std::string>& args);

}  // namespace plenwick
