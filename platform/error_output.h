// The launcher's error outputs, written through the platform so that every
// line on the standard error stream ends the platform's way.
#pragma once

#include <string>

#include "platform/platform.h"

namespace plenwick {

// Ends the process with `code` through the platform; never returns.
[[noreturn]] void exitProcess(Platform& platform, int code);

// `text` and the platform's line end, on the standard error stream.
void writeErrorLine(Platform& platform, const std::string& text);

// Writes the formatted message and a line end to the standard error stream and
// ends the process with exit code 1. Shows nothing on screen.
[[noreturn]] void fatalError(Platform& platform, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// A modal error box: caption (the title) first, then the text.
void showErrorBox(Platform& platform, const char* caption, const char* text);

}  // namespace plenwick
