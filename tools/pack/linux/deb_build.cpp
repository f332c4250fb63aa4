#include "tools/pack/linux/deb_build.h"

#include <filesystem>
#include <set>
#include <vector>

#include "tools/pack/files/replace.h"
#include "tools/pack/host/external_tool.h"
#include "tools/pack/host/process.h"
#include "tools/pack/linux/deb_control.h"
#include "tools/pack/linux/package_root.h"
#include "tools/pack/release/image_files.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool writeText(const std::string& path, const std::string& text, std::string* err) {
  return writeFileAtomically(path, {text.begin(), text.end()}, 0644, err);
}

// The ELF files under `tree`, and the folders that hold shared libraries
// among them, where dpkg-shlibdeps finds the image's own libraries.
bool elfFiles(const std::string& tree, std::vector<std::string>* files,
              std::set<std::string>* libraryFolders, std::string* err) {
  std::error_code code;
  for (fs::recursive_directory_iterator it(tree, code), end; !code && it != end;
       it.increment(code)) {
    if (!it->is_symlink() && it->is_regular_file() && isElfFile(it->path().string())) {
      files->push_back(it->path().string());
      if (it->path().string().find(".so") != std::string::npos) {
        libraryFolders->insert(it->path().parent_path().string());
      }
    }
  }
  if (!code) return true;
  *err = "cannot read " + tree + ": " + code.message();
  return false;
}

bool hasFontManager(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (fs::path(file).filename() == kFontManager) return true;
  }
  return false;
}

}  // namespace

bool computeDepends(const std::string& root, const std::string& work, Reporter& reporter,
                    std::string* depends, std::string* err) {
  std::vector<std::string> files;
  std::set<std::string> folders;
  // dpkg-shlibdeps reads the package names from debian/control in its working folder.
  const std::string folder = work + "/shlibdeps";
  std::error_code code;
  fs::create_directories(folder + "/debian", code);
  if (code) {
    *err = "cannot create " + folder + ": " + code.message();
    return false;
  }
  if (!elfFiles(root + "/opt", &files, &folders, err) ||
      !writeText(folder + "/debian/control",
                 "Source: image\n\nPackage: image\nArchitecture: amd64\n", err)) {
    return false;
  }
  Reporter::Step step = reporter.step("installer: dpkg-shlibdeps");
  std::vector<std::string> args = {"-O", "--ignore-missing-info", "--warnings=0"};
  for (const std::string& library : folders) args.push_back("-l" + library);
  for (const std::string& file : files) args.push_back("-e" + file);
  ProcessResult run;
  if (!runHostTool("dpkg-shlibdeps", "dpkg-dev", args, folder, &run, err)) {
    // The line that names the library is often above the tail shown.
    const std::size_t missing = run.output.find("cannot find library");
    if (missing != std::string::npos) {
      *err += "\n  " + run.output.substr(missing, run.output.find('\n', missing) - missing) +
              "\n  Install the Debian package that holds it on this machine (dpkg-shlibdeps "
              "names each dependency after the installed package of a library the runtime uses).";
    }
    return false;
  }
  const std::string key = "shlibs:Depends=";
  const std::size_t at = run.output.find(key);
  if (at != std::string::npos) {
    *depends = run.output.substr(at + key.size(), run.output.find('\n', at) - at - key.size());
  }
  // Java's font manager opens fontconfig with dlopen, which no tool sees: without it (and
  // the font its configuration package pulls in) a Swing window cannot draw text.
  if (hasFontManager(files)) {
    *depends += std::string(depends->empty() ? "" : ", ") + "libfontconfig1";
  }
  return step.end(true);
}

bool buildDeb(const LinuxPackage& p, const std::string& root, const std::string& depends,
              const std::string& deb, Reporter& reporter, std::string* err) {
  std::string error;
  const uint64_t size = installedKiB(root, &error);
  if (!error.empty()) {
    *err = error;
    return false;
  }
  std::error_code code;
  fs::create_directory(root + "/DEBIAN", code);
  if (!code) fs::permissions(root + "/DEBIAN", fs::perms(0755), code);
  if (code) {
    *err = "cannot create " + root + "/DEBIAN: " + code.message();
    return false;
  }
  if (!writeText(root + "/DEBIAN/control", debControl(p, depends, size), err)) return false;
  Reporter::Step step = reporter.step("installer: dpkg-deb");
  ProcessResult run;
  return runHostTool("dpkg-deb", "dpkg", {"--build", "--root-owner-group", root, deb}, "", &run,
                     err) &&
         step.end(true);
}

}  // namespace plenwick
