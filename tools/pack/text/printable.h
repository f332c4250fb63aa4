// Text read from the files a user names (a jar's manifest, a launcher's
// settings and identity), made safe to print on a terminal.
#pragma once

#include <string>

namespace plenwick {

// `text` with control characters and bytes that are not UTF-8 written as
// escapes (ESC as \x1b, U+009B as \u009b, U+202E as \u202e), so that printing
// it cannot move the cursor, retitle the terminal or reorder what follows.
// Printable UTF-8, backslashes included, stays as it is.
std::string printable(const std::string& text);

}  // namespace plenwick
