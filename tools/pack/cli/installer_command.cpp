// plenwick-pack installer: a per-user .msi from a Windows image, or from a
// configuration file (the image is made first, as by `image`).
#include "tools/pack/cli/installer_command.h"

#include <cstdio>

#include "tools/pack/app/app_config.h"
#include "tools/pack/app/app_options.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/image_command.h"
#include "tools/pack/release/installer.h"

namespace plenwick {
namespace {

constexpr const char* kInstallerUsage =
    "Usage: plenwick-pack installer [CONFIG.json] [options]\n"
    "\n"
    "Makes a per-user Windows installer (.msi) with wixl: no administrator rights,\n"
    "installed under %LOCALAPPDATA%\\Programs\\NAME, with a Start-menu shortcut and an\n"
    "Apps & features entry; a newer version replaces an older one. Without --image\n"
    "the image is first made from the configuration, as by 'plenwick-pack image'\n"
    "(its options apply). With a sign section in CONFIG.json the launcher and the\n"
    ".msi are signed.\n"
    "\n"
    "  --image DIR           an existing Windows image made by plenwick-pack\n"
    "  --installer FILE      the .msi to write (default: the image folder's path\n"
    "                        with .msi)                                 [installer]\n"
    "  --publisher TEXT      the publisher in Apps & features (default: the display\n"
    "                        name)                                      [publisher]\n"
    "  --upgrade-code GUID   the code that ties all versions together (default:\n"
    "                        derived from the name; keep it once released) [upgradeCode]\n"
    "\n"
    "Needs the Debian packages wixl, and osslsigncode and openssl for signing.\n"
    "Exit codes: 0 done, 1 failed, 2 wrong usage.\n";

int usageError(const std::string& message) {
  std::fprintf(stderr,
               "plenwick-pack installer: %s\n(plenwick-pack installer --help lists the options)\n",
               message.c_str());
  return kExitUsage;
}

}  // namespace

int installerCommand(const std::vector<std::string>& args) {
  std::vector<std::string> rest;
  std::string image;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kInstallerUsage, stdout);
      return kExitOk;
    }
    if (args[i] != "--image") {
      rest.push_back(args[i]);
    } else if (i + 1 < args.size()) {
      image = args[++i];
    } else {
      return usageError("--image needs a value");
    }
  }
  AppConfig config;
  std::string error;
  bool help = false;
  if (!parseImageArguments(rest, config, &help, &error)) return usageError(error);
  const bool made = image.empty();
  if (made) {
    const int status = imageCommand(rest);
    if (status != kExitOk) return status;
    image = config.output;
  }
  while (image.size() > 1 && image.back() == '/') image.pop_back();
  InstallerRequest request{
      image, config.installer, config.publisher, config.upgradeCode, config.sign, made};
  if (request.output.empty()) request.output = image + ".msi";
  if (!buildInstaller(request, &error)) {
    std::fprintf(stderr, "plenwick-pack installer: %s\n", error.c_str());
    return kExitFailed;
  }
  std::printf("installer: %s (per-user; installs to %%LOCALAPPDATA%%\\Programs)\n",
              request.output.c_str());
  return kExitOk;
}

}  // namespace plenwick
