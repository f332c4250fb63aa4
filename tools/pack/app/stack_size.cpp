#include "tools/pack/app/stack_size.h"

#include <cerrno>
#include <cstdlib>

namespace plenwick {

bool parseStackSize(const std::string& text, uint32_t& size) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0) return false;
  const std::string suffix(end);
  if (suffix == "K" || suffix == "k") {
    value *= 1024;
  } else if (suffix == "M" || suffix == "m") {
    value *= 1024 * 1024;
  } else if (!suffix.empty()) {
    return false;
  }
  if (value > UINT32_MAX) return false;
  size = static_cast<uint32_t>(value);
  return true;
}

}  // namespace plenwick
