#include "config/launch_config.h"

#include "config/launch_flags.h"

namespace plenwick {
namespace {

// Reads one NUL-terminated string starting at `pos`; false when no NUL is left.
bool readString(const unsigned char* block, std::size_t size, std::size_t& pos, std::string& out) {
  const unsigned char* start = block + pos;
  std::size_t length = 0;
  while (pos + length < size && start[length] != 0) ++length;
  if (pos + length >= size) return false;
  out.assign(reinterpret_cast<const char*>(start), length);
  pos += length + 1;
  return true;
}

bool readList(const unsigned char* block, std::size_t size, std::size_t& pos,
              std::vector<std::string>& list) {
  if (pos >= size) return false;
  unsigned count = block[pos++];
  list.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    std::string entry;
    if (!readString(block, size, pos, entry)) return false;
    list.push_back(std::move(entry));
  }
  return true;
}

}  // namespace

bool decodeLaunchConfig(const unsigned char* block, std::size_t size, LaunchConfig& config) {
  config = LaunchConfig();
  config.intact = false;
  if (size < 6) return false;
  const unsigned flags = block[0];
  for (const LaunchFlag& flag : kLaunchFlags) config.*flag.field = (flags >> flag.bit) & 1u;
  config.threadStackSize = uint32_t{block[1]} << 24 | uint32_t{block[2]} << 16 |
                           uint32_t{block[3]} << 8 | uint32_t{block[4]};
  std::size_t pos = 5;
  if (!readString(block, size, pos, config.mainClass)) return false;
  if (!readList(block, size, pos, config.jvmOptions)) return false;
  if (!readList(block, size, pos, config.appArguments)) return false;
  config.intact = true;
  return true;
}

LaunchConfig::LaunchConfig(const unsigned char* block) {
  decodeLaunchConfig(block, kLaunchConfigBlockSize, *this);
}

}  // namespace plenwick
