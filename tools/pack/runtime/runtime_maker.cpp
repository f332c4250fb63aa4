#include "tools/pack/runtime/runtime_maker.h"

#include <cstdio>
#include <filesystem>

#include "tools/pack/files/replace.h"
#include "tools/pack/files/tree_copy.h"
#include "tools/pack/runtime/module_deps.h"
#include "tools/pack/host/process.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// jlink's own launchers are not part of the image: bin/ holds the application's.
bool removeJdkCommands(Staging& staging, const fs::path& root, std::string* err) {
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(root / "bin", code)) {
    if (!staging.remove(entry.path().string(), err)) return false;
  }
  return true;
}

bool linkRuntime(const AppConfig& c, Staging& staging, std::string* err) {
  const std::string root = staging.imagePath();
  std::string modules;
  if (!findModules(c, modules, err)) return false;
  std::vector<std::string> argv = {(fs::path(c.jdk) / "bin" / "jlink").string(),
                                   "--add-modules",
                                   modules,
                                   "--strip-debug",
                                   "--no-header-files",
                                   "--no-man-pages",
                                   "--generate-cds-archive",
                                   "--output",
                                   root};
  std::printf("runtime: jlink --add-modules %s --generate-cds-archive (from %s)\n", modules.c_str(),
              c.jdk.c_str());
  std::fflush(stdout);
  const ProcessResult run = runProcess(argv);
  if (run.exitCode != 0) {
    *err = "jlink failed:\n" + run.output;
    return false;
  }
  if (!fs::exists(fs::path(root) / "lib" / "server" / "classes.jsa")) {
    *err = "jlink made no CDS archive (lib/server/classes.jsa):\n" + run.output;
    return false;
  }
  return removeJdkCommands(staging, root, err);
}

// A Windows runtime's jvm.dll goes beside the launcher, where the loader finds it.
bool placeJvmDll(const fs::path& root, std::string* err) {
  const fs::path bin = root / "bin";
  if (fs::exists(bin / "jvm.dll")) return true;
  std::error_code code;
  for (const char* name : {"jvm.dll", "classes.jsa", "classes_nocoops.jsa"}) {
    if (!fs::exists(bin / "server" / name)) continue;
    fs::copy_file(bin / "server" / name, bin / name, code);
    if (code) {
      *err = "cannot copy " + std::string(name) + ": " + code.message();
      return false;
    }
  }
  return true;
}

bool copyRuntime(const AppConfig& c, const std::string& root, std::string* err) {
  std::printf("runtime: copied from %s\n", c.runtime.c_str());
  std::fflush(stdout);
  if (!copyRuntimeTree(c.runtime, root, err)) return false;
  return !c.windows || placeJvmDll(root, err);
}

}  // namespace

bool makeRuntime(const AppConfig& config, Staging& staging, std::string* err) {
  return config.jdk.empty() ? copyRuntime(config, staging.imagePath(), err)
                            : linkRuntime(config, staging, err);
}

}  // namespace plenwick
