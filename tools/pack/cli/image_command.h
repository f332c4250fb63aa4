// plenwick-pack image: lays out an application image. Returns the exit code.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

int imageCommand(const std::vector<std::string>& args);

}  // namespace plenwick
