#include "startup/errors.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace plenwick {

void fatalError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputs(systemPlatform().conventions().lineEnd, stderr);
  std::exit(1);
}

void showErrorBox(Platform& platform, const char* caption, const char* text) {
  platform.showErrorBox(caption, text);
}

}  // namespace plenwick
