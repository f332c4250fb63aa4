#include "tools/pack/runtime/module_deps.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "tools/pack/host/process.h"
#include "tools/pack/runtime/java_release.h"
#include "tools/pack/runtime/module_list.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

std::string trimmed(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// jdeps's answer is a comma-separated list of module names.
bool isModuleList(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == ',';
  });
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
  return out;
}

// jdeps on `jars`, each resolved against the others; multi-release jars are
// read for the JDK's own release, and dependencies on absent jars are ignored.
bool runJdeps(const RuntimeSource& c, const std::vector<std::string>& jars,
              const std::vector<std::string>& others, std::string* out) {
  const int feature = javaFeatureVersion(c.jdk);
  std::vector<std::string> argv = {(fs::path(c.jdk) / "bin" / "jdeps").string(),
                                   "--print-module-deps",
                                   "--ignore-missing-deps",
                                   "-q",
                                   "--multi-release",
                                   std::to_string(feature > 0 ? feature : 17)};
  if (!others.empty()) argv.insert(argv.end(), {"--class-path", joined(others, ":")});
  argv.insert(argv.end(), jars.begin(), jars.end());
  const ProcessResult run = runProcess(argv);
  *out = trimmed(run.output);
  return run.exitCode == 0 && isModuleList(*out);
}

// After a failure on all jars together: the first jar that fails on its own.
std::string failingJar(const RuntimeSource& c, const std::vector<std::string>& jars,
                       std::string* out) {
  for (std::size_t i = 0; i < jars.size(); ++i) {
    std::vector<std::string> others = jars;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
    if (!runJdeps(c, {jars[i]}, others, out)) return jars[i];
  }
  return "";
}

// What jdeps finds `jars` need, reported.
bool jdepsModules(const RuntimeSource& c, const std::vector<std::string>& jars, Reporter& reporter,
                  std::vector<std::string>* found, std::string* err) {
  std::string out;
  Reporter::Step step = reporter.step("modules: jdeps on " + std::to_string(jars.size()) +
                                      (jars.size() == 1 ? " jar" : " jars"));
  if (!runJdeps(c, jars, {}, &out)) {
    std::string alone;
    const std::string jar = failingJar(c, jars, &alone);
    if (!jar.empty()) out = alone;
    *err = "jdeps could not find the modules " + (jar.empty() ? "the jars need" : "of " + jar) +
           "; give them with 'modules' (option --module), e.g. \"modules\": [\"java.base\", "
           "\"java.desktop\"]:\n" +
           out;
    return false;
  }
  step.end(true);
  reporter.note("modules (found with jdeps): " + out);
  std::istringstream names(out);
  for (std::string name; std::getline(names, name, ',');) found->push_back(name);
  return true;
}

}  // namespace

bool findModules(const RuntimeSource& c, const std::vector<std::string>& jars, Reporter& reporter,
                 std::string& modules, std::string* err) {
  std::vector<std::string> found = c.modules;
  if (found.empty() && !jdepsModules(c, jars, reporter, &found, err)) return false;
  const ModuleList list = runtimeModules(c, found, javaModules(c.jdk));
  if (!list.defaults.empty()) {
    reporter.note(
        "modules added for what jdeps cannot see (--no-default-modules leaves them "
        "out): " +
        joined(list.defaults, ","));
  }
  modules = joined(list.modules, ",");
  return true;
}

}  // namespace plenwick
