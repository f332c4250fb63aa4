#include "tools/pack/plan/input_check.h"

#include <filesystem>

#include "tools/pack/files/output_place.h"
#include "tools/pack/host/tool_paths.h"
#include "tools/pack/plan/planner.h"
#include "tools/pack/runtime/java_release.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool present(const fs::path& path) {
  std::error_code code;
  return fs::exists(path, code);
}

bool checkWindowsRuntime(Planner& check) {
  const RuntimeSource& c = check.plan.runtime;
  if (!c.jdk.empty()) {
    return check.fail("jdk",
                      "a Windows runtime cannot be made with jlink here; give 'runtime': a "
                      "Windows runtime directory");
  }
  if (c.runtime.empty()) {
    return check.fail("runtime", "is required for target " + check.settings.target +
                                     ": a Windows runtime directory (with bin\\jvm.dll or "
                                     "bin\\server\\jvm.dll)");
  }
  if (!present(fs::path(c.runtime) / "bin" / "jvm.dll") &&
      !present(fs::path(c.runtime) / "bin" / "server" / "jvm.dll")) {
    return check.fail("runtime", c.runtime +
                                     " is not a Windows runtime: no bin\\jvm.dll or "
                                     "bin\\server\\jvm.dll");
  }
  if (check.settings.appCds.value_or(false)) {
    return check.fail("appCds", "needs a training run, which cannot run a Windows runtime here");
  }
  return true;
}

bool checkLinuxRuntime(Planner& check) {
  RuntimeSource& c = check.plan.runtime;
  if (c.jdk.empty() && c.runtime.empty()) {
    c.jdk = defaultJdk();
    check.origin["jdk"] = "the default JDK (JAVA_HOME or javac on the PATH)";
    if (c.jdk.empty()) return check.fail("jdk", "is required: no JDK found");
  }
  if (!c.runtime.empty()) {
    if (!present(fs::path(c.runtime) / "lib" / "server" / "libjvm.so")) {
      return check.fail("runtime", c.runtime + " is not a Linux runtime: no lib/server/libjvm.so");
    }
    return true;
  }
  if (!present(fs::path(c.jdk) / "bin" / "jlink")) {
    return check.fail("jdk", c.jdk + " is not a JDK: no bin/jlink");
  }
  if (!present(fs::path(c.jdk) / "jmods" / "java.base.jmod") && javaFeatureVersion(c.jdk) < 24) {
    return check.fail("jdk", c.jdk + " has no jmods/java.base.jmod, which its jlink needs");
  }
  return true;
}

bool checkNames(Planner& check, const char* key, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (name.empty() || name.find_first_of(" /\\,:=") != std::string::npos) {
      return check.fail(key, "'" + name + "' is not a " +
                                 (key == std::string("locales") ? "locale tag" : "module name"));
    }
  }
  return true;
}

// The keys that only jlink reads are refused with a prepared runtime, which
// is copied as it is.
bool checkModules(Planner& check) {
  const AppSettings& s = check.settings;
  const struct {
    const char* key;
    bool given;
  } jlinkKeys[] = {{"modules", !s.modules.empty()},
                   {"addModules", !s.addModules.empty()},
                   {"locales", !s.locales.empty()},
                   {"keepJavaCommand", s.keepJavaCommand.value_or(false)},
                   {"compressRuntime", s.compressRuntime.value_or(false)}};
  for (const auto& key : jlinkKeys) {
    if (key.given && check.plan.runtime.jdk.empty()) {
      return check.fail(key.key,
                        "only applies when the runtime is made with jlink from 'jdk'; "
                        "a prepared 'runtime' is copied as it is");
    }
  }
  return checkNames(check, "modules", s.modules) && checkNames(check, "addModules", s.addModules) &&
         checkNames(check, "locales", s.locales);
}

std::string defaultLauncher(const std::string& target, bool windows) {
  const fs::path dir = toolDirectory();
  if (!windows) return (dir / "launcher").string();
  const fs::path beside = dir / ("launcher-" + target + ".exe");
  if (present(beside)) return beside.string();
  return (dir.parent_path() / ("build-" + target) / "launcher.exe").string();
}

bool checkFile(Planner& check, const std::string& key, const std::string& path) {
  std::error_code code;
  if (!fs::is_regular_file(path, code)) return check.fail(key, "no such file: " + path);
  return true;
}

// Everything the image is made from, the defaults taken included.
std::vector<std::string> imageInputs(const AppSettings& s, const ImagePlan& p) {
  std::vector<std::string> inputs = namedInputs(s);
  inputs.insert(inputs.end(), {p.runtime.jdk, p.launcher.file, p.bootstrapJar});
  inputs.insert(inputs.end(), p.content.jarFiles.begin(), p.content.jarFiles.end());
  return inputs;
}

bool checkOutput(Planner& check) {
  const AppSettings& c = check.settings;
  ImagePlan& p = check.plan;
  if (c.output.empty()) return check.fail("output", "is required: the image directory");
  p.inputs = imageInputs(c, p);
  std::string problem;
  std::vector<std::string> changes;
  if (!checkFolderOutput(c.output, surroundingsOf(p.inputs), &p.output, &problem) ||
      !mayPlaceImage(p.output, outputKindAt(p.output, &changes), c.force, changes, &problem)) {
    return check.fail("output", problem);
  }
  return true;
}

}  // namespace

bool checkRuntime(Planner& check) {
  const AppSettings& c = check.settings;
  ImagePlan& p = check.plan;
  const std::string target = c.target.empty() ? "linux-x64" : c.target;
  if (target != "linux-x64" && target != "windows-x64" && target != "windows-arm64") {
    return check.fail("target",
                      "'" + target + "' is not a target: linux-x64, windows-x64 or windows-arm64");
  }
  p.windows = target != "linux-x64";
  p.launcher.target = target;
  p.launcher.windows = p.windows;
  p.runtime.jdk = c.jdk;
  p.runtime.runtime = c.runtime;
  p.runtime.modules = c.modules;
  p.runtime.addModules = c.addModules;
  p.runtime.defaultModules = c.defaultModules.value_or(true);
  p.runtime.locales = c.locales;
  p.runtime.keepJavaCommand = c.keepJavaCommand.value_or(false);
  p.runtime.compressRuntime = c.compressRuntime.value_or(false);
  p.runtime.windows = p.windows;
  if (!c.jdk.empty() && !c.runtime.empty()) {
    return check.fail("runtime", "give either 'jdk' or 'runtime', not both");
  }
  const bool ok = p.windows ? checkWindowsRuntime(check) : checkLinuxRuntime(check);
  return ok && checkModules(check);
}

bool checkFiles(Planner& check) {
  const AppSettings& c = check.settings;
  ImagePlan& p = check.plan;
  if (p.windows && !c.icons.empty() && c.icons.size() != 1 && c.icons.size() != 5) {
    return check.fail("icons", "give one large PNG or five (16, 32, 64, 128 and 256 px), not " +
                                   std::to_string(c.icons.size()));
  }
  for (const std::string& icon : c.icons) {
    if (p.windows && !checkFile(check, "icons", icon)) return false;
  }
  if (p.windows) p.launcher.icons = c.icons;
  p.launcher.file = c.launcher.empty() ? defaultLauncher(p.launcher.target, p.windows) : c.launcher;
  if (!checkFile(check, "launcher", p.launcher.file)) return false;
  p.bootstrapJar = c.bootstrapJar.empty()
                       ? (fs::path(toolDirectory()) / "plenwick-bootstrap.jar").string()
                       : c.bootstrapJar;
  return checkFile(check, "bootstrapJar", p.bootstrapJar) && checkOutput(check);
}

}  // namespace plenwick
