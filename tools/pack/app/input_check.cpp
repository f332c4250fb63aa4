#include "tools/pack/app/input_check.h"

#include <filesystem>

#include "tools/pack/host/tool_paths.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/runtime/java_release.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool present(const fs::path& path) {
  std::error_code code;
  return fs::exists(path, code);
}

bool fail(const AppConfig& c, const std::string& key, const std::string& problem,
          std::string* err) {
  *err = c.where(key) + ": " + problem;
  return false;
}

bool checkWindowsRuntime(AppConfig& c, std::string* err) {
  if (!c.jdk.empty()) {
    return fail(c, "jdk",
                "a Windows runtime cannot be made with jlink here; give 'runtime': a "
                "Windows runtime directory",
                err);
  }
  if (c.runtime.empty()) {
    return fail(c, "runtime",
                "is required for target " + c.target +
                    ": a Windows runtime directory (with bin\\jvm.dll or bin\\server\\jvm.dll)",
                err);
  }
  if (!present(fs::path(c.runtime) / "bin" / "jvm.dll") &&
      !present(fs::path(c.runtime) / "bin" / "server" / "jvm.dll")) {
    return fail(c, "runtime",
                c.runtime +
                    " is not a Windows runtime: no bin\\jvm.dll or "
                    "bin\\server\\jvm.dll",
                err);
  }
  if (c.appCds.value_or(false)) {
    return fail(c, "appCds", "needs a training run, which cannot run a Windows runtime here", err);
  }
  c.appCds = false;
  return true;
}

bool checkLinuxRuntime(AppConfig& c, std::string* err) {
  if (c.jdk.empty() && c.runtime.empty()) {
    c.jdk = defaultJdk();
    c.origin["jdk"] = "the default JDK (JAVA_HOME or javac on the PATH)";
    if (c.jdk.empty()) return fail(c, "jdk", "is required: no JDK found", err);
  }
  if (!c.runtime.empty()) {
    if (!present(fs::path(c.runtime) / "lib" / "server" / "libjvm.so")) {
      return fail(c, "runtime", c.runtime + " is not a Linux runtime: no lib/server/libjvm.so",
                  err);
    }
    return true;
  }
  if (!present(fs::path(c.jdk) / "bin" / "jlink")) {
    return fail(c, "jdk", c.jdk + " is not a JDK: no bin/jlink", err);
  }
  if (!present(fs::path(c.jdk) / "jmods" / "java.base.jmod") && javaFeatureVersion(c.jdk) < 24) {
    return fail(c, "jdk", c.jdk + " has no jmods/java.base.jmod, which its jlink needs", err);
  }
  return true;
}

bool checkModules(const AppConfig& c, std::string* err) {
  if (!c.modules.empty() && c.jdk.empty()) {
    return fail(c, "modules", "only apply when the runtime is made with jlink from 'jdk'", err);
  }
  for (const std::string& module : c.modules) {
    if (module.empty() || module.find_first_of(" /\\,:") != std::string::npos) {
      return fail(c, "modules", "'" + module + "' is not a module name", err);
    }
  }
  return true;
}

std::string defaultLauncher(const AppConfig& c) {
  const fs::path dir = toolDirectory();
  if (!c.windows) return (dir / "launcher").string();
  const fs::path beside = dir / ("launcher-" + c.target + ".exe");
  if (present(beside)) return beside.string();
  return (dir.parent_path() / ("build-" + c.target) / "launcher.exe").string();
}

bool checkFile(const AppConfig& c, const std::string& key, const std::string& path,
               std::string* err) {
  std::error_code code;
  if (!fs::is_regular_file(path, code)) return fail(c, key, "no such file: " + path, err);
  return true;
}

bool checkOutput(AppConfig& c, std::string* err) {
  if (c.output.empty()) return fail(c, "output", "is required: the image directory", err);
  std::string problem;
  std::vector<std::string> changes;
  if (!checkFolderOutput(c.output, surroundingsOf(imageInputs(c)), &c.output, &problem) ||
      !mayPlaceImage(c.output, outputKindAt(c.output, &changes), c.force, changes, &problem)) {
    return fail(c, "output", problem, err);
  }
  return true;
}

}  // namespace

std::vector<std::string> imageInputs(const AppConfig& c) {
  std::vector<std::string> inputs = {c.runtime,          c.jdk,      c.launcher,
                                     c.bootstrapJar,     c.file,     c.appFolder,
                                     c.sign.certificate, c.sign.key, c.sign.passwordFile};
  for (const auto* list : {&c.jars, &c.jarFiles, &c.icons, &c.appContent}) {
    inputs.insert(inputs.end(), list->begin(), list->end());
  }
  return inputs;
}

bool checkRuntime(AppConfig& c, std::string* err) {
  if (c.target.empty()) c.target = "linux-x64";
  if (c.target != "linux-x64" && c.target != "windows-x64" && c.target != "windows-arm64") {
    return fail(c, "target",
                "'" + c.target + "' is not a target: linux-x64, windows-x64 or windows-arm64", err);
  }
  c.windows = c.target != "linux-x64";
  if (!c.jdk.empty() && !c.runtime.empty()) {
    return fail(c, "runtime", "give either 'jdk' or 'runtime', not both", err);
  }
  const bool ok = c.windows ? checkWindowsRuntime(c, err) : checkLinuxRuntime(c, err);
  return ok && checkModules(c, err);
}

bool checkFiles(AppConfig& c, std::string* err) {
  if (c.windows && !c.icons.empty() && c.icons.size() != 1 && c.icons.size() != 5) {
    return fail(c, "icons",
                "give one large PNG or five (16, 32, 64, 128 and 256 px), not " +
                    std::to_string(c.icons.size()),
                err);
  }
  for (const std::string& icon : c.icons) {
    if (c.windows && !checkFile(c, "icons", icon, err)) return false;
  }
  if (c.launcher.empty()) c.launcher = defaultLauncher(c);
  if (!checkFile(c, "launcher", c.launcher, err)) return false;
  if (c.bootstrapJar.empty())
    c.bootstrapJar = (fs::path(toolDirectory()) / "plenwick-bootstrap.jar").string();
  return checkFile(c, "bootstrapJar", c.bootstrapJar, err) && checkOutput(c, err);
}

}  // namespace plenwick
