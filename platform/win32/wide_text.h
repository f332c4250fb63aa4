// UTF-16 text for the few Windows calls that take wide strings. Wide strings
// never leave platform/win32: the rest of the launcher works in UTF-8.
#pragma once

#include <string>

namespace plenwick {

// Converts UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::wstring utf8ToWide(const std::string& text);

}  // namespace plenwick
