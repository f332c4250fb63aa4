#include "tools/pack/release/installer.h"

#include <filesystem>

#include "tools/pack/files/image_marker.h"
#include "tools/pack/files/read_file.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/host/external_tool.h"
#include "tools/pack/host/process.h"
#include "tools/pack/launcher/launcher_file.h"
#include "tools/pack/release/file_type_icons.h"
#include "tools/pack/release/image_files.h"
#include "tools/pack/release/name_uuid.h"
#include "tools/pack/release/signing.h"
#include "tools/pack/release/wxs.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
constexpr int kWixlSeconds = 600;

// The image's launcher: the one .exe in bin/. A Linux image is named as such.
bool findLauncher(const std::string& image, fs::path* launcher, std::string* err) {
  std::error_code code;
  if (!fs::exists(fs::path(image) / kImageMarker, code)) {
    *err = image + " is not an image made by plenwick-pack image";
    return false;
  }
  std::vector<fs::path> exes;
  bool elf = false;
  for (const auto& entry : fs::directory_iterator(fs::path(image) / "bin", code)) {
    if (entry.path().extension() == ".exe") exes.push_back(entry.path());
    if (entry.is_regular_file() && isElfFile(entry.path().string())) elf = true;
  }
  if (exes.empty() && elf) {
    *err = image +
           " is an image for Linux: an installer is made from an image for windows-x64 or "
           "windows-arm64 (target)";
    return false;
  }
  if (exes.size() != 1) {
    *err = image + "/bin holds no single launcher .exe";
    return false;
  }
  *launcher = exes[0];
  return true;
}

bool describeImage(const InstallerRequest& r, const fs::path& launcher, InstallerSpec* spec,
                   PeFile* pe, std::string* err) {
  Bytes bytes;
  std::string error;
  WindowsIdentity identity;
  if (!readFile(launcher.string(), kMaxLauncherFile, &bytes, &error) ||
      !parsePe(bytes, *pe, &error) || !readWindowsIdentity(*pe, identity, &error)) {
    *err = launcher.string() + ": " + error;
    return false;
  }
  spec->name = launcher.stem().string();
  spec->displayName =
      identity.manifest.description.empty() ? spec->name : identity.manifest.description;
  if (!installerVersion(identity.manifest.version, &spec->version, err)) return false;
  spec->publisher = r.publisher.empty() ? spec->displayName : r.publisher;
  spec->upgradeCode = defaultUpgradeCode(spec->name);
  if (!r.upgradeCode.empty() && !parseGuid(r.upgradeCode, &spec->upgradeCode)) {
    *err = "upgradeCode '" + r.upgradeCode + "' is not a GUID";
    return false;
  }
  return imageFiles(r.image, &spec->files, err);
}

// wixl looks files up relative to its working folder (absolute names fail),
// so the sources are written relative to the run's working folder.
bool runWixl(const std::string& work, const std::string& msi, Reporter& reporter,
             std::string* err) {
  std::string wixl;
  if (!findTool("wixl", "wixl", &wixl, err)) return false;
  Reporter::Step step = reporter.step("installer: wixl");
  ProcessOptions options;
  options.timeoutSeconds = kWixlSeconds;
  options.workingDirectory = work;
  // x86 ("Intel") package: it installs files and a shortcut only, which every
  // Windows platform accepts from a 32-bit package (docs/windows.md says why).
  const ProcessResult run = runProcess({wixl, "-a", "x86", "-o", msi, "app.wxs"}, options);
  if (run.exitCode == 0) return step.end(true);
  *err = "wixl failed to build the installer: " +
         (run.timedOut ? std::string("stopped after the time limit") : outputTail(run.output));
  return false;
}

}  // namespace

bool buildInstaller(const InstallerRequest& r, const std::string& runWork, Reporter& reporter,
                    std::string* msi, std::string* err) {
  // A folder of its own: the run may have signed files in its working folder already.
  const std::string work = runWork + "/msi";
  std::error_code code;
  if (!fs::create_directory(work, code) || code) {
    *err = "cannot create " + work + ": " + code.message();
    return false;
  }
  fs::path launcher;
  InstallerSpec spec;
  PeFile pe;
  if (!findLauncher(r.image, &launcher, err) || !describeImage(r, launcher, &spec, &pe, err) ||
      !addFileTypes(r.fileTypes, work, &spec, err)) {
    return false;
  }
  // wixl reads "$(" as a variable of the build machine's, in any text.
  const std::string problem = wixSourceProblem(spec);
  if (!problem.empty()) {
    *err = problem;
    return false;
  }
  spec.sourceRoot = fs::absolute(r.image).lexically_normal().lexically_relative(work).string();
  Signer signer;
  if (r.sign.given() && !prepareSigner(r.sign, work, r.timestampNoted, reporter, &signer, err)) {
    return false;
  }
  // The image is left as it is: an unsigned launcher is signed as a copy.
  if (r.sign.given() && dataDirectory(pe, kDirSecurity).size == 0) {
    const std::string copy = work + "/" + launcher.filename().string();
    if (!signFile(&signer, launcher.string(), copy, spec.displayName, 0755, reporter, err)) {
      return false;
    }
    spec.sources["bin/" + launcher.filename().string()] = launcher.filename().string();
  }
  const std::string wxs = work + "/app.wxs";
  const std::string source = wixSource(spec);
  *msi = work + "/app.msi";
  if (!writeFileAtomically(wxs, {source.begin(), source.end()}, 0644, err) ||
      !runWixl(work, *msi, reporter, err)) {
    return false;
  }
  if (!r.sign.given()) return true;
  const std::string unsigned_ = *msi;
  *msi = work + "/signed.msi";
  return signFile(&signer, unsigned_, *msi, spec.displayName, 0644, reporter, err);
}

}  // namespace plenwick
