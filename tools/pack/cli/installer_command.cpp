// plenwick-pack installer: a per-user .msi from a Windows image, or from a
// configuration file (the image is made first, as by `image`).
#include "tools/pack/cli/installer_command.h"

#include <cstdio>

#include "tools/pack/app/app_options.h"
#include "tools/pack/cli/console_reporter.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/image_command.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/files/read_file.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/image/image_builder.h"
#include "tools/pack/plan/file_association_check.h"
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
    "  --quiet               say nothing but errors\n"
    "\n"
    "Needs the Debian packages wixl, and osslsigncode and openssl for signing.\n"
    "Exit codes: 0 done, 1 failed, 2 wrong usage, 130/143/129 interrupted.\n";

int usageError(const std::string& message) {
  std::fprintf(stderr,
               "plenwick-pack installer: %s\n(plenwick-pack installer --help lists the options)\n",
               message.c_str());
  return kExitUsage;
}

int failed(const std::string& message) {
  std::fprintf(stderr, "plenwick-pack installer: %s\n", message.c_str());
  return kExitFailed;
}

// Everything the run reads: the .msi may be neither one of them nor inside one.
std::vector<std::string> installerInputs(const AppSettings& settings, const ImagePlan& plan,
                                         const std::string& image) {
  std::vector<std::string> inputs = plan.inputs.empty() ? namedInputs(settings) : plan.inputs;
  inputs.push_back(image);
  return inputs;
}

bool putMsi(const std::string& msi, const std::string& output, std::string* err) {
  std::vector<unsigned char> bytes;
  return readFile(msi, kMaxPackageFile, &bytes, err) &&
         writeFileAtomically(output, bytes, 0644, err);
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
  AppSettings settings;
  ImagePlan plan;
  std::string error;
  bool help = false;
  const bool made = image.empty();
  if (made) {
    const int status = readImageConfig("installer", rest, &settings, &plan, &help);
    if (status != kExitOk) return status;
    image = plan.output;
  } else if (!parseImageArguments(rest, settings, &help, &error) ||
             !checkFileAssociations(settings, &error)) {
    return usageError(error);
  }
  image = normalOutputPath(image);
  std::string output = settings.installer.empty() ? image + ".msi" : settings.installer;
  if (!checkFileOutput(output, surroundingsOf(installerInputs(settings, plan, image)), &output,
                       &error)) {
    return usageError(error);
  }
  // A new image is built beside its output and published with the .msi, once both are complete.
  ConsoleReporter reporter(settings.quiet);
  Staging staging;
  InstallerRequest request{image, settings.publisher,       settings.upgradeCode, settings.sign,
                           made,  settings.fileAssociations};
  std::string msi;
  if (!staging.create(made ? image : output, &error) ||
      (made && !buildImage(plan, staging, reporter, &error))) {
    return failed(error);
  }
  request.image = made ? staging.imagePath() : image;
  if (!buildInstaller(request, staging.workPath(), reporter, &msi, &error) ||
      (made && !publishImage(plan, staging, &error)) || !putMsi(msi, output, &error)) {
    return failed(error);
  }
  if (made) reporter.note("image: " + image);
  reporter.note("installer: " + output + " (per-user; installs to %LOCALAPPDATA%\\Programs)");
  return kExitOk;
}

}  // namespace plenwick
