#include "platform/win32/wide_text.h"

#include <windows.h>

namespace plenwick {

std::wstring utf8ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int inputLength = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), inputLength, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), inputLength, &wide[0], length);
  return wide;
}

}  // namespace plenwick
