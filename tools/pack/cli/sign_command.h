// plenwick-pack sign: signs a packed launcher.exe or an .msi (Authenticode). Returns the exit code.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

int signCommand(const std::vector<std::string>& args);

}  // namespace plenwick
