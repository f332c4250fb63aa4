// HOME, set from the user's profile directory on every start.
#pragma once

#include <string>

#include "platform/platform.h"

namespace plenwick {

// "HOME=<profile>", cut to fit a 512-byte buffer (so at most 506 bytes of the
// profile survive). Empty when the profile variable is unset.
std::string homeAssignment(const char* profile);

// Reads the platform's profile variable and puts HOME; an unset profile leaves
// HOME as it was rather than formatting a null string.
void setHomeFromProfile(Platform& platform);

}  // namespace plenwick
