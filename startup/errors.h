// The two process-wide error outputs.
#pragma once

namespace plenwick {

class Platform;

// Writes the formatted message and a line end to the standard error stream and
// ends the process with exit code 1. Shows nothing on screen.
[[noreturn]] void fatalError(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A modal error box: caption (the title) first, then the text.
void showErrorBox(Platform& platform, const char* caption, const char* text);

}  // namespace plenwick
