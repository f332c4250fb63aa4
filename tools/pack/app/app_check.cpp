#include "tools/pack/app/app_check.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "options/class_path_option.h"
#include "tools/pack/app/input_check.h"
#include "tools/pack/app/stack_size.h"
#include "tools/pack/app/tool_paths.h"
#include "tools/pack/content/app_content.h"
#include "tools/pack/content/file_names.h"
#include "tools/pack/windows/manifest.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

struct Check {
  const AppConfig& config;
  std::string* err;
  bool fail(const std::string& key, const std::string& problem) {
    *err = config.where(key) + ": " + problem;
    return false;
  }
};

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

bool checkIdentity(AppConfig& c, Check& check) {
  if (c.name.empty()) return check.fail("name", "is required");
  if (!validName(c.name)) {
    return check.fail("name", "'" + c.name +
                                  "' is not usable as a file name: use letters, digits, '.', "
                                  "'_' and '-', at most 64, not starting with '.' or '-'");
  }
  if (c.displayName.empty()) c.displayName = c.name;
  if (hasControlChar(c.displayName)) return check.fail("displayName", "holds a control character");
  if (c.version.empty()) c.version = "1.0";
  if (manifestVersion(c.version).empty()) {
    return check.fail("version", "'" + c.version +
                                     "' is not a version: one to four numbers from 0 to 65535 "
                                     "joined by '.', e.g. 1.2 or 3.2.0.0");
  }
  if (c.mainClass.empty() && c.mainJar.empty()) {
    return check.fail("mainClass", "is required (or 'mainJar', whose manifest names it)");
  }
  return true;
}

// After the app content is known: the main class may come from the main jar.
bool checkMainClass(const AppConfig& c, Check& check) {
  if (!validJavaName(c.mainClass)) {
    return check.fail("mainClass",
                      "'" + c.mainClass + "' is not a class name like com.example.App");
  }
  return true;
}

bool checkLaunch(AppConfig& c, Check& check) {
  for (const std::string& option : c.jvmOptions) {
    if (setsClassPath(option)) {
      return check.fail("jvmOptions", "'" + option +
                                          "': the class path is written from 'jars'; "
                                          "list the jars there instead");
    }
  }
  if (!c.stackSize.empty() && !parseStackSize(c.stackSize, c.stackBytes)) {
    return check.fail("stackSize", "'" + c.stackSize +
                                       "' is not a size: give bytes, or a number with K or M, "
                                       "below 4 GiB");
  }
  return true;
}

bool addJarsOf(const std::string& path, Check& check, std::vector<std::string>& jars) {
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

bool checkJars(AppConfig& c, Check& check) {
  if (c.jars.empty() && c.appFolder.empty() && c.appContent.empty()) {
    return check.fail("jars", "is required: the application's jars");
  }
  c.jarFiles.clear();
  for (const std::string& path : c.jars) {
    if (!addJarsOf(path, check, c.jarFiles)) return false;
  }
  return true;  // their names are checked with the rest of app/ (planAppContent)
}

bool checkWindowsName(const AppConfig& c, Check& check) {
  const std::string problem = c.windows ? windowsNameProblem(c.name) : "";
  if (!problem.empty())
    return check.fail("name", "'" + c.name + "' " + problem + "; choose another");
  return true;
}

}  // namespace

bool validateAppConfig(AppConfig& config, std::string* err) {
  Check check{config, err};
  return checkIdentity(config, check) && checkLaunch(config, check) && checkRuntime(config, err) &&
         checkWindowsName(config, check) && checkJars(config, check) &&
         planAppContent(config, err) && checkMainClass(config, check) && checkFiles(config, err);
}

}  // namespace plenwick
