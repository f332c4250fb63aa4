#include "tools/pack/plan/plan_image.h"

#include <algorithm>
#include <filesystem>

#include "options/class_path_option.h"
#include "tools/pack/app/jvm_option_forms.h"
#include "tools/pack/app/stack_size.h"
#include "tools/pack/content/class_path_plan.h"
#include "tools/pack/content/file_names.h"
#include "tools/pack/plan/file_association_check.h"
#include "tools/pack/plan/input_check.h"
#include "tools/pack/plan/planner.h"
#include "tools/pack/runtime/aot_cache.h"
#include "tools/pack/runtime/app_cds.h"
#include "tools/pack/runtime/java_release.h"
#include "tools/pack/windows/manifest.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
}

bool validName(const std::string& name) {
  return !name.empty() && name.size() <= 64 && name[0] != '.' && name[0] != '-' &&
         std::all_of(name.begin(), name.end(), isNameChar);
}

bool validJavaName(const std::string& name) {
  if (name.empty() || name.front() == '.' || name.back() == '.') return false;
  char previous = '.';
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool part = std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
    if (c == '.' && previous == '.') return false;
    if (c != '.' && !part) return false;
    if (previous == '.' && std::isdigit(u)) return false;
    previous = c;
  }
  return true;
}

bool hasControlChar(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The name, the display name and the version, with their defaults, as the
// Windows manifest gives them.
bool checkIdentity(Planner& check) {
  const AppSettings& c = check.settings;
  ManifestIdentity& identity = check.plan.launcher.identity;
  if (c.name.empty()) return check.fail("name", "is required");
  if (!validName(c.name)) {
    return check.fail("name", "'" + c.name +
                                  "' is not usable as a file name: use letters, digits, '.', "
                                  "'_' and '-', at most 64, not starting with '.' or '-'");
  }
  identity.name = c.name;
  identity.description = c.displayName.empty() ? c.name : c.displayName;
  if (hasControlChar(identity.description)) {
    return check.fail("displayName", "holds a control character");
  }
  const std::string version = c.version.empty() ? "1.0" : c.version;
  identity.version = manifestVersion(version);
  if (identity.version.empty()) {
    return check.fail("version", "'" + version +
                                     "' is not a version: one to four numbers from 0 to 65535 "
                                     "joined by '.', e.g. 1.2 or 3.2.0.0");
  }
  check.plan.description = identity.description;
  if (c.mainClass.empty() && c.mainJar.empty()) {
    return check.fail("mainClass", "is required (or 'mainJar', whose manifest names it)");
  }
  return true;
}

// After the app content is known: the main class may come from the main jar.
bool checkMainClass(Planner& check) {
  const AppContent& content = check.plan.content;
  std::string& mainClass = check.plan.launch.mainClass;
  mainClass = check.settings.mainClass;
  if (mainClass.empty()) {
    mainClass = content.manifestMainClass;
    check.origin["mainClass"] =
        "the Main-Class in the manifest of app/" + content.classPath.front();
  }
  if (!validJavaName(mainClass)) {
    return check.fail("mainClass", "'" + mainClass + "' is not a class name like com.example.App");
  }
  return true;
}

// The options as the JVM takes them (kept in the launch settings for
// planLaunch), none of them setting the class path.
bool checkLaunch(Planner& check) {
  const AppSettings& c = check.settings;
  JvmOptionForms forms;
  std::string problem;
  if (!toJvmOptionForms(c.jvmOptions, &forms, &problem)) return check.fail("jvmOptions", problem);
  if (!forms.note.empty()) check.plan.notes.push_back("jvmOptions: " + forms.note);
  check.plan.launch.jvmOptions = forms.options;
  for (const std::string& option : forms.options) {
    if (setsClassPath(option)) {
      return check.fail("jvmOptions",
                        "'" + option +
                            "' sets the class path (the launcher reads one after "
                            "-Djava.class.path=, -cp or -classpath anywhere in an option), "
                            "which the packer writes from app/: give its entries in "
                            "'classPath' (or add folders with 'classPathFolders') instead");
    }
  }
  if (!c.stackSize.empty() && !parseStackSize(c.stackSize, check.plan.launch.threadStackSize)) {
    return check.fail("stackSize", "'" + c.stackSize +
                                       "' is not a size: give bytes, or a number with K or M, "
                                       "below 4 GiB");
  }
  return true;
}

bool addJarsOf(const std::string& path, Planner& check, std::vector<std::string>& jars) {
  std::error_code code;
  if (fs::is_directory(path, code)) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(path, code)) {
      if (entry.is_regular_file(code) && entry.path().extension() == ".jar") {
        found.push_back(entry.path().string());
      }
    }
    std::sort(found.begin(), found.end());
    if (found.empty()) return check.fail("jars", "directory " + path + " holds no .jar file");
    jars.insert(jars.end(), found.begin(), found.end());
    return true;
  }
  if (!fs::is_regular_file(path, code)) return check.fail("jars", "no such file: " + path);
  if (fs::path(path).extension() != ".jar") {
    return check.fail("jars", path + " is not a .jar file");
  }
  jars.push_back(path);
  return true;
}

// The jars of 'jars', directories opened, then all of app/; their names are
// checked with the rest of app/ (planAppContent).
bool planContent(Planner& check) {
  const AppSettings& c = check.settings;
  if (c.jars.empty() && c.appFolder.empty() && c.appContent.empty()) {
    return check.fail("jars", "is required: the application's jars");
  }
  std::vector<std::string> jars;
  for (const std::string& path : c.jars) {
    if (!addJarsOf(path, check, jars)) return false;
  }
  if (!planAppContent(c, check.plan.windows, jars, &check.plan.content, check.err)) return false;
  const std::vector<std::string>& notes = check.plan.content.notes;
  check.plan.notes.insert(check.plan.notes.end(), notes.begin(), notes.end());
  return true;
}

bool checkWindowsName(Planner& check) {
  const std::string& name = check.settings.name;
  const std::string problem = check.plan.windows ? windowsNameProblem(name) : "";
  if (!problem.empty()) return check.fail("name", "'" + name + "' " + problem + "; choose another");
  return true;
}

bool checkSigning(Planner& check) {
  check.plan.sign = check.settings.sign;
  if (!check.plan.sign.given() || check.plan.windows) return true;
  *check.err = "sign: only Windows targets are signed";
  return false;
}

// Only runtimes that keep the cache valid after the image moves get one;
// the runtime is the JDK's own release when jlink makes it.
void decideAppCds(Planner& check) {
  ImagePlan& p = check.plan;
  const std::string& runtime = p.runtime.jdk.empty() ? p.runtime.runtime : p.runtime.jdk;
  const AppCdsChoice choice =
      chooseAppCds(p.windows, check.settings.appCds, p.windows ? 0 : javaFeatureVersion(runtime),
                   filledClassPathFolder(p.content));
  if (!choice.note.empty()) p.notes.push_back(choice.note);
  // A prepared runtime is the user's: its archive stays as it is.
  const bool linked = !p.runtime.jdk.empty();
  p.cache = choice.cache == ClassCache::jdk && !linked ? ClassCache::none : choice.cache;
  p.runtime.makesJdkArchive = p.cache == ClassCache::jdk;
  const std::string caveat = appCacheCaveat(p.cache, javaVersion(runtime));
  if (!caveat.empty()) p.notes.push_back(caveat);
  p.cacheFile = classCacheFile(choice.cache, check.settings.name);
  p.trainingArguments = check.settings.trainingArguments;
}

// The launch settings: the class path of the jars in app/ with the "&&"
// token, the configured options with the folders of native libraries on
// java.library.path, then the archive's options.
void planLaunch(Planner& check) {
  const AppSettings& c = check.settings;
  ImagePlan& p = check.plan;
  LaunchConfig& launch = p.launch;
  for (std::size_t i = 0; i < kLaunchFlagCount; ++i) {
    launch.*kLaunchFlags[i].field = c.launchFlags[i].value_or(false);
  }
  launch.jvmOptions = withLibraryPath(p.content, launch.jvmOptions);
  launch.jvmOptions.insert(launch.jvmOptions.begin(), classPathOption(p.content));
  if (p.cache == ClassCache::appCds) {
    launch.jvmOptions.insert(launch.jvmOptions.end(), {"-XX:SharedArchiveFile=&&" + p.cacheFile,
                                                       "-XX:+AutoCreateSharedArchive"});
  } else if (p.cache == ClassCache::aot) {
    launch.jvmOptions.push_back(aotCacheOption(p.cacheFile));
  }
  launch.appArguments = c.arguments;
  p.launcherName = "bin/" + c.name + (p.windows ? ".exe" : "");
}

}  // namespace

bool planImage(const AppSettings& settings, ImagePlan* plan, std::string* err) {
  *plan = ImagePlan();
  Planner check{settings, *plan, err, {}};
  if (!checkIdentity(check) || !checkLaunch(check) || !checkRuntime(check) ||
      !checkWindowsName(check) || !planContent(check) || !checkMainClass(check) ||
      !checkFileAssociations(settings, err) || !checkFiles(check) || !checkSigning(check)) {
    return false;
  }
  decideAppCds(check);
  planLaunch(check);
  return true;
}

}  // namespace plenwick
