// plenwick-pack installer: a per-user .msi from a Windows image, or from a
// configuration file (the image is made first, as by `image`).
#include "tools/pack/cli/installer_command.h"

#include <cstdio>
#include <filesystem>
#include <functional>

#include "tools/pack/app/app_options.h"
#include "tools/pack/cli/console_reporter.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/image_command.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/files/read_file.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/image/image_builder.h"
#include "tools/pack/linux/linux_installer.h"
#include "tools/pack/plan/file_association_check.h"
#include "tools/pack/release/installer.h"

namespace plenwick {
namespace {

constexpr const char* kInstallerUsage =
    "Usage: plenwick-pack installer [CONFIG.json] [options]\n"
    "\n"
    "Makes an installer from a Windows image: a per-user .msi (wixl), installed under\n"
    "%LOCALAPPDATA%\\Programs\\NAME without administrator rights, with a Start-menu\n"
    "shortcut and an Apps & features entry. From a Linux image: a .deb (dpkg-deb), or\n"
    "an .rpm (rpmbuild) with --type rpm, that installs the image to /opt/NAME with the\n"
    "command /usr/bin/NAME, a menu entry and icons. A newer version replaces an older\n"
    "one. Without --image the image is first made from the configuration, as by\n"
    "'plenwick-pack image' (its options apply). With a sign section in CONFIG.json the\n"
    "Windows launcher and the .msi are signed.\n"
    "\n"
    "  --image DIR           an existing image made by plenwick-pack\n"
    "  --type TYPE           msi, deb or rpm (default: msi for a Windows image, deb for\n"
    "                        a Linux one)\n"
    "  --installer FILE      the file to write (default: the image folder's path with\n"
    "                        .msi; NAME_VERSION-REVISION_amd64.deb or\n"
    "                        NAME-VERSION-REVISION.x86_64.rpm beside the image) [installer]\n"
    "  --publisher TEXT      the publisher in Apps & features, the packages' maintainer\n"
    "                        (default: the display name)                [publisher]\n"
    "  --upgrade-code GUID   .msi: the code that ties all versions together (default:\n"
    "                        derived from the name; keep it once released) [upgradeCode]\n"
    "  --email ADDRESS       .deb/.rpm: the maintainer's e-mail address      [email]\n"
    "  --description TEXT    .deb/.rpm: a summary line, more lines after it [description]\n"
    "  --category NAME       .deb/.rpm: a menu category (default: Utility) [categories]\n"
    "  --license ID          .deb/.rpm: the license (default: LicenseRef-proprietary)\n"
    "  --package-revision N  .deb/.rpm: the package's revision of the version (default 1)\n"
    "  --quiet               say nothing but errors\n"
    "\n"
    "Needs the Debian packages wixl (osslsigncode and openssl for signing), dpkg-dev for\n"
    "a .deb, rpm for an .rpm.\n"
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

// Everything the run reads: the package may be neither one of them nor inside one.
std::vector<std::string> installerInputs(const AppSettings& settings, const ImagePlan& plan,
                                         const std::string& image) {
  std::vector<std::string> inputs = plan.inputs.empty() ? namedInputs(settings) : plan.inputs;
  inputs.insert(inputs.end(), settings.icons.begin(), settings.icons.end());
  inputs.push_back(image);
  return inputs;
}

bool putPackage(const std::string& file, const std::string& output, std::string* err) {
  std::vector<unsigned char> bytes;
  return readFile(file, kMaxPackageFile, &bytes, err) &&
         writeFileAtomically(output, bytes, 0644, err);
}

// Builds the package from the image at its place in the staging folder.
using PackageBuilder = std::function<bool(const std::string& image, const std::string& work,
                                          Reporter& reporter, std::string* file, std::string* err)>;

struct Run {
  const AppSettings& settings;
  const ImagePlan& plan;
  std::string image;  // absolute and normal
  bool made;          // the image is made first, from the plan
};

// Checks `output`, then builds the image (when made) and the package in one
// staging folder, and publishes them once both are complete.
int makePackage(const Run& run, std::string output, const PackageBuilder& build,
                const std::string& where) {
  std::string error;
  if (!checkFileOutput(output, surroundingsOf(installerInputs(run.settings, run.plan, run.image)),
                       &output, &error)) {
    return usageError(error);
  }
  ConsoleReporter reporter(run.settings.quiet);
  Staging staging;
  std::string file;
  if (!staging.create(run.made ? run.image : output, &error) ||
      (run.made && !buildImage(run.plan, staging, reporter, &error))) {
    return failed(error);
  }
  const std::string image = run.made ? staging.imagePath() : run.image;
  if (!build(image, staging.workPath(), reporter, &file, &error) ||
      (run.made && !publishImage(run.plan, staging, &error)) || !putPackage(file, output, &error)) {
    return failed(error);
  }
  if (run.made) reporter.note("image: " + run.image);
  reporter.note("installer: " + output + where);
  return kExitOk;
}

int makeMsi(const Run& run) {
  const AppSettings& s = run.settings;
  const std::string output = s.installer.empty() ? run.image + ".msi" : s.installer;
  auto build = [&](const std::string& image, const std::string& work, Reporter& reporter,
                   std::string* file, std::string* err) {
    const InstallerRequest request{image,  s.publisher, s.upgradeCode,
                                   s.sign, run.made,    s.fileAssociations};
    return buildInstaller(request, work, reporter, file, err);
  };
  return makePackage(run, output, build, " (per-user; installs to %LOCALAPPDATA%\\Programs)");
}

int makeLinuxPackage(const Run& run, bool rpm) {
  std::string command;
  LaunchConfig launch;
  LinuxPackage p;
  std::string error;
  if (run.made) {
    command = std::filesystem::path(run.plan.launcherName).filename().string();
    launch = run.plan.launch;
  } else if (!readImageLauncher(run.image, &command, &launch, &error)) {
    return failed(error);
  }
  if (!describeImagePackage(run.settings, command, launch, &p, &error)) return usageError(error);
  const std::string name = rpm ? rpmFileName(p) : debFileName(p);
  const std::string output =
      run.settings.installer.empty()
          ? std::filesystem::path(run.image).parent_path().append(name).string()
          : run.settings.installer;
  auto build = [&](const std::string& image, const std::string& work, Reporter& reporter,
                   std::string* file, std::string* err) {
    return buildLinuxInstaller(p, image, run.settings.icons, rpm, work, reporter, file, err);
  };
  return makePackage(run, output, build, " (installs to " + installRoot(p) + ")");
}

// A Windows image holds its launcher as bin/NAME.exe.
bool holdsWindowsLauncher(const std::string& image) {
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator(image + "/bin", code)) {
    if (entry.path().extension() == ".exe") return true;
  }
  return false;
}

// The package type for the image: --type, else the image's own kind.
bool packageType(const std::string& given, bool windows, const std::string& image,
                 std::string* type, std::string* err) {
  *type = given.empty() ? (windows ? "msi" : "deb") : given;
  if (*type != "msi" && *type != "deb" && *type != "rpm") {
    *err = "--type " + given + " is none of msi, deb and rpm";
    return false;
  }
  if (windows && *type != "msi") {
    *err = "a ." + *type + " is made from an image for linux-x64, and " + image +
           " is an image for Windows: leave out --type to make an .msi, or make the image "
           "with target linux-x64";
    return false;
  }
  if (!windows && *type == "msi") {
    *err = "an .msi is made from an image for windows-x64 or windows-arm64, and " + image +
           " is an image for Linux: leave out --type to make a .deb, or make the image with "
           "target windows-x64 or windows-arm64";
    return false;
  }
  return true;
}

}  // namespace

int installerCommand(const std::vector<std::string>& args) {
  std::vector<std::string> rest;
  std::string image;
  std::string type;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kInstallerUsage, stdout);
      return kExitOk;
    }
    if (args[i] != "--image" && args[i] != "--type") {
      rest.push_back(args[i]);
    } else if (i + 1 < args.size()) {
      std::string& value = args[i] == "--image" ? image : type;
      value = args[++i];
    } else {
      return usageError(args[i] + " needs a value");
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
  const bool windows = made ? plan.windows : holdsWindowsLauncher(image);
  if (!packageType(type, windows, image, &type, &error)) return usageError(error);
  const Run run{settings, plan, image, made};
  return type == "msi" ? makeMsi(run) : makeLinuxPackage(run, type == "rpm");
}

}  // namespace plenwick
