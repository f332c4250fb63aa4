// The stack size of the Java thread as people write it.
#pragma once

#include <cstdint>
#include <string>

namespace plenwick {

// "512K", "2M", "1048576" -> bytes; false for anything else or a size beyond 32 bits.
bool parseStackSize(const std::string& text, uint32_t& size);

}  // namespace plenwick
