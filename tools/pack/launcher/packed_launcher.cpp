#include "tools/pack/launcher/packed_launcher.h"

#include <filesystem>

#include "config/launch_flags.h"
#include "config/region_locator.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/launcher/launcher_file.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool readBytes(const std::string& path, Bytes& bytes, std::string* err) {
  LauncherFile launcher;
  if (!readLauncher(path, launcher, err)) return false;
  bytes = std::move(launcher.bytes);
  return true;
}

bool isElf(const Bytes& bytes) {
  return bytes.size() > 4 && bytes[0] == 0x7F && bytes[1] == 'E' && bytes[2] == 'L' &&
         bytes[3] == 'F';
}

bool giveWindowsIdentity(const LauncherSource& c, Bytes& bytes, std::string* err) {
  PeFile pe;
  if (!parsePe(std::move(bytes), pe, err)) {
    *err = c.file + ": " + *err;
    return false;
  }
  const std::string wanted = c.target == "windows-arm64" ? "arm64" : "x64";
  if (machineName(pe.machine) != wanted) {
    *err = c.file + " is a launcher for " + machineName(pe.machine) + ", not for " + c.target;
    return false;
  }
  if (!applyWindowsIdentity(pe, c.identity, c.icons, err)) {
    *err = c.file + ": " + *err;
    return false;
  }
  bytes = std::move(pe.bytes);
  return true;
}

bool writeBlock(const LaunchConfig& launch, Bytes& bytes, std::string* err) {
  if (!writeLaunchConfigBlock(launch, bytes, err)) return false;
  updateChecksum(bytes);
  return true;
}

}  // namespace

bool writePackedLauncher(const LauncherSource& c, const LaunchConfig& launch,
                         const std::string& path, std::string* err) {
  Bytes bytes;
  if (!readBytes(c.file, bytes, err)) return false;
  if (c.windows && !giveWindowsIdentity(c, bytes, err)) return false;
  if (!c.windows && !isElf(bytes)) {
    *err = c.file + " is not a Linux launcher (not an ELF file)";
    return false;
  }
  if (!writeBlock(launch, bytes, err)) return false;
  std::error_code code;
  fs::create_directories(fs::path(path).parent_path(), code);
  return writeFileAtomically(path, bytes, 0777, err);
}

}  // namespace plenwick
