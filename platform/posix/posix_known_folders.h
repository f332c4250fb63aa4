// Where the application-data folders are on a POSIX desktop.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace plenwick {

using EnvironmentReader = const char* (*)(const char*);

// The local folder is $XDG_DATA_HOME (default $HOME/.local/share), the roaming
// folder $XDG_CONFIG_HOME (default $HOME/.config). Returns kFolderOk with the
// path, or kFolderFileNotFound when neither the XDG variable nor HOME is set.
uint32_t knownFolderPath(KnownFolder folder, EnvironmentReader getenv, std::string& path);

}  // namespace plenwick
