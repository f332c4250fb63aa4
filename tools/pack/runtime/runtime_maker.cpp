#include "tools/pack/runtime/runtime_maker.h"

#include <filesystem>

#include "tools/pack/files/replace.h"
#include "tools/pack/files/tree_copy.h"
#include "tools/pack/host/process.h"
#include "tools/pack/runtime/java_release.h"
#include "tools/pack/runtime/module_deps.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// jlink's own launchers are not part of the image: bin/ holds the
// application's, and bin/java only for applications that start a JVM of
// their own (java.home/bin/java).
bool removeJdkCommands(Staging& staging, const fs::path& root, bool keepJava, std::string* err) {
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(root / "bin", code)) {
    if (keepJava && entry.path().filename() == "java") continue;
    if (!staging.remove(entry.path().string(), err)) return false;
  }
  return true;
}

// The size options: zip compression of the modules only when asked for, as
// it slows start-up (docs/benchmark.md); JDK 21 named the levels zip-0..9.
std::vector<std::string> sizeOptions(const RuntimeSource& c) {
  std::vector<std::string> options = {"--strip-debug", "--no-header-files", "--no-man-pages"};
  if (c.compressRuntime) {
    options.push_back(javaFeatureVersion(c.jdk) >= 21 ? "--compress=zip-6" : "--compress=2");
  }
  if (!c.locales.empty()) {
    std::string locales;
    for (const std::string& locale : c.locales) locales += (locales.empty() ? "" : ",") + locale;
    options.push_back("--include-locales=" + locales);
  }
  return options;
}

bool linkRuntime(const RuntimeSource& c, const std::vector<std::string>& jars, Staging& staging,
                 Reporter& reporter, std::string* err) {
  const std::string root = staging.imagePath();
  std::string modules;
  if (!findModules(c, jars, reporter, modules, err)) return false;
  std::vector<std::string> argv = {(fs::path(c.jdk) / "bin" / "jlink").string(), "--add-modules",
                                   modules};
  const std::vector<std::string> size = sizeOptions(c);
  argv.insert(argv.end(), size.begin(), size.end());
  argv.insert(argv.end(), {"--generate-cds-archive", "--output", root});
  std::string shown;
  for (std::size_t i = 1; i + 2 < argv.size(); ++i) shown += " " + argv[i];
  Reporter::Step step = reporter.step("runtime: jlink" + shown + " (from " + c.jdk + ")");
  const ProcessResult run = runProcess(argv);
  if (run.exitCode != 0) {
    *err = "jlink failed:\n" + run.output;
    return false;
  }
  if (!fs::exists(fs::path(root) / "lib" / "server" / "classes.jsa")) {
    *err = "jlink made no CDS archive (lib/server/classes.jsa):\n" + run.output;
    return false;
  }
  const bool keepJava = c.keepJavaCommand || c.makesJdkArchive;
  return step.end(removeJdkCommands(staging, root, keepJava, err));
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

bool copyRuntime(const RuntimeSource& c, const std::string& root, Reporter& reporter,
                 std::string* err) {
  Reporter::Step step = reporter.step("runtime: copied from " + c.runtime);
  if (!copyRuntimeTree(c.runtime, root, err)) return false;
  return step.end(!c.windows || placeJvmDll(root, err));
}

}  // namespace

bool makeRuntime(const RuntimeSource& source, const std::vector<std::string>& jars,
                 Staging& staging, Reporter& reporter, std::string* err) {
  return source.jdk.empty() ? copyRuntime(source, staging.imagePath(), reporter, err)
                            : linkRuntime(source, jars, staging, reporter, err);
}

}  // namespace plenwick
