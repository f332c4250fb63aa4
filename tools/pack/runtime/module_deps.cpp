#include "tools/pack/runtime/module_deps.h"

#include <cstdio>
#include <filesystem>
#include <regex>

#include "tools/pack/runtime/java_release.h"
#include "tools/pack/runtime/process.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

std::string trimmed(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
  return out;
}

}  // namespace

bool findModules(const AppConfig& c, std::string& modules, std::string* err) {
  if (!c.modules.empty()) {
    modules = joined(c.modules, ",");
    return true;
  }
  const int feature = javaFeatureVersion(c.jdk);
  std::vector<std::string> argv = {(fs::path(c.jdk) / "bin" / "jdeps").string(),
                                   "--print-module-deps",
                                   "--ignore-missing-deps",
                                   "-q",
                                   "--multi-release",
                                   std::to_string(feature > 0 ? feature : 17)};
  argv.insert(argv.end(), c.jarFiles.begin(), c.jarFiles.end());
  const ProcessResult run = runProcess(argv);
  const std::string out = trimmed(run.output);
  if (run.exitCode != 0 || !std::regex_match(out, std::regex("[A-Za-z0-9_.,]+"))) {
    *err = "jdeps could not find the modules the jars need (give 'modules'):\n" + run.output;
    return false;
  }
  modules = out;
  std::printf("modules (found with jdeps): %s\n", modules.c_str());
  return true;
}

}  // namespace plenwick
