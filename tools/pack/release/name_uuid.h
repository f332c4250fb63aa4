// Name-based UUIDs (version 5, SHA-1): the same name always gives the same
// identifier, which is what an installer's upgrade and component codes need.
#pragma once

#include <string>

namespace plenwick {

// The UUID of `name` in the namespace `space` ("xxxxxxxx-xxxx-..." form),
// written upper-case in braces, as Windows Installer writes GUIDs.
std::string nameUuid(const std::string& space, const std::string& name);

// "{8-4-4-4-12}" or the same without braces, hex in either case; the braced,
// upper-case form in `normal`.
bool parseGuid(const std::string& text, std::string* normal);

}  // namespace plenwick
