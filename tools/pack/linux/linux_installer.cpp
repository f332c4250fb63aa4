#include "tools/pack/linux/linux_installer.h"

#include <algorithm>
#include <filesystem>

#include "tools/pack/files/image_marker.h"
#include "tools/pack/launcher/launcher_file.h"
#include "tools/pack/linux/deb_build.h"
#include "tools/pack/linux/package_root.h"
#include "tools/pack/linux/rpm_build.h"
#include "tools/pack/release/image_files.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// AWT's XToolkit names the application's windows (WM_CLASS) after the class
// at the bottom of the stack that first touches it: for this launcher the
// main class, which is called directly, with its dots turned to dashes.
std::string windowClass(const std::string& mainClass) {
  std::string out = mainClass;
  std::replace(out.begin(), out.end(), '/', '.');
  std::replace(out.begin(), out.end(), '.', '-');
  return out;
}

}  // namespace

bool readImageLauncher(const std::string& image, std::string* command, LaunchConfig* launch,
                       std::string* err) {
  std::error_code code;
  if (!fs::exists(fs::path(image) / kImageMarker, code)) {
    *err = image + " is not an image made by plenwick-pack image";
    return false;
  }
  // A runtime's own programs (java, keytool) may stand beside it: the launcher is packed.
  std::vector<fs::path> launchers;
  for (const auto& entry : fs::directory_iterator(fs::path(image) / "bin", code)) {
    LauncherFile file;
    std::string ignored;
    if (entry.is_symlink() || !isElfFile(entry.path().string()) ||
        !readLauncher(entry.path().string(), file, &ignored) || stillUnpacked(file)) {
      continue;
    }
    launchers.push_back(entry.path());
    if (!decodeLaunchConfig(file.bytes.data() + file.regionOffset, kLaunchConfigBlockSize,
                            *launch)) {
      *err = entry.path().string() + ": its launch settings are damaged; make the image again";
      return false;
    }
  }
  if (launchers.size() != 1) {
    *err = image +
           "/bin holds no single packed launcher: give an image made by plenwick-pack "
           "image";
    return false;
  }
  *command = launchers[0].filename().string();
  return true;
}

bool describeImagePackage(const AppSettings& settings, const std::string& command,
                          const LaunchConfig& launch, LinuxPackage* p, std::string* err) {
  if (!describeLinuxPackage(settings, command, p, err)) return false;
  p->terminal = launch.consoleApp;
  p->wmClass = windowClass(launch.mainClass);
  p->hasIcon = !settings.icons.empty();
  return true;
}

bool buildLinuxInstaller(const LinuxPackage& p, const std::string& image,
                         const std::vector<std::string>& icons, bool rpm, const std::string& work,
                         Reporter& reporter, std::string* file, std::string* err) {
  const std::string root = work + "/package";
  PackageRootRequest request{image, icons, !rpm};
  if (!layOutPackageRoot(request, p, root, err)) return false;
  if (rpm) return buildRpm(p, root, work, reporter, file, err);
  std::string depends;
  *file = work + "/" + debFileName(p);
  return computeDepends(root, work, reporter, &depends, err) &&
         buildDeb(p, root, depends, *file, reporter, err);
}

}  // namespace plenwick
