#include "tools/pack/launcher/packed_launcher.h"

#include <algorithm>
#include <filesystem>

#include "config/launch_flags.h"
#include "config/region_locator.h"
#include "tools/pack/content/app_content.h"
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

bool giveWindowsIdentity(const AppConfig& c, Bytes& bytes, std::string* err) {
  PeFile pe;
  if (!parsePe(std::move(bytes), pe, err)) {
    *err = c.launcher + ": " + *err;
    return false;
  }
  const std::string wanted = c.target == "windows-arm64" ? "arm64" : "x64";
  if (machineName(pe.machine) != wanted) {
    *err = c.launcher + " is a launcher for " + machineName(pe.machine) + ", not for " + c.target;
    return false;
  }
  const ManifestIdentity identity{c.name, manifestVersion(c.version), c.displayName};
  if (!applyWindowsIdentity(pe, identity, c.icons, err)) {
    *err = c.launcher + ": " + *err;
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

LaunchConfig imageLaunchConfig(const AppConfig& c, const std::vector<std::string>& extraOptions) {
  LaunchConfig launch;
  for (std::size_t i = 0; i < kLaunchFlagCount; ++i) {
    launch.*kLaunchFlags[i].field = c.launchFlags[i].value_or(false);
  }
  launch.threadStackSize = c.stackBytes;
  launch.mainClass = c.mainClass;
  launch.jvmOptions.push_back(classPathOption(c));
  const std::vector<std::string> options = withLibraryPath(c);
  launch.jvmOptions.insert(launch.jvmOptions.end(), options.begin(), options.end());
  launch.jvmOptions.insert(launch.jvmOptions.end(), extraOptions.begin(), extraOptions.end());
  launch.appArguments = c.arguments;
  return launch;
}

std::string launcherPath(const AppConfig& c, const std::string& root) {
  return (fs::path(root) / "bin" / (c.name + (c.windows ? ".exe" : ""))).string();
}

bool writePackedLauncher(const AppConfig& c, const LaunchConfig& launch, const std::string& root,
                         std::string* err) {
  Bytes bytes;
  if (!readBytes(c.launcher, bytes, err)) return false;
  if (c.windows && !giveWindowsIdentity(c, bytes, err)) return false;
  if (!c.windows && !isElf(bytes)) {
    *err = c.launcher + " is not a Linux launcher (not an ELF file)";
    return false;
  }
  if (!writeBlock(launch, bytes, err)) return false;
  std::error_code code;
  fs::create_directories(fs::path(root) / "bin", code);
  return writeFileAtomically(launcherPath(c, root), bytes, 0777, err);
}

}  // namespace plenwick
