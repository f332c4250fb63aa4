#include "platform/error_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace plenwick {

void exitProcess(Platform& platform, int code) {
  platform.exitProcess(code);
  std::abort();  // not reached: the compiler cannot see through the virtual call
}

void writeErrorLine(Platform& platform, const std::string& text) {
  platform.writeStandardError(text + platform.conventions().lineEnd);
}

void fatalError(Platform& platform, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::vector<char> text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  writeErrorLine(platform, text.data());
  exitProcess(platform, 1);
}

void showErrorBox(Platform& platform, const char* caption, const char* text) {
  platform.showErrorBox(caption, text);
}

}  // namespace plenwick
