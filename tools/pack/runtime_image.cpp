#include "tools/pack/runtime_image.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "tools/pack/files/replace.h"
#include "tools/pack/files/tree_copy.h"
#include "tools/pack/process.h"

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

// jdeps on `jars`, each resolved against the others; multi-release jars are
// read for the JDK's own release, and dependencies on absent jars are ignored.
bool runJdeps(const AppConfig& c, const std::vector<std::string>& jars,
              const std::vector<std::string>& others, std::string& out) {
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
  out = trimmed(run.output);
  return run.exitCode == 0 && std::regex_match(out, std::regex("[A-Za-z0-9_.,]+"));
}

// After a failure on all jars together: the first jar that fails on its own.
std::string failingJar(const AppConfig& c, std::string& out) {
  for (std::size_t i = 0; i < c.jarFiles.size(); ++i) {
    std::vector<std::string> others = c.jarFiles;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
    if (!runJdeps(c, {c.jarFiles[i]}, others, out)) return c.jarFiles[i];
  }
  return "";
}

bool findModules(const AppConfig& c, std::string& modules, std::string& error) {
  if (!c.modules.empty()) {
    modules = joined(c.modules, ",");
    return true;
  }
  std::string out;
  if (!runJdeps(c, c.jarFiles, {}, out)) {
    std::string alone;
    const std::string jar = failingJar(c, alone);
    if (!jar.empty()) out = alone;
    error = "jdeps could not find the modules " + (jar.empty() ? "the jars need" : "of " + jar) +
            "; give them with 'modules' (option --module), e.g. \"modules\": [\"java.base\", "
            "\"java.desktop\"]:\n" +
            out;
    return false;
  }
  modules = out;
  std::printf("modules (found with jdeps): %s\n", modules.c_str());
  return true;
}

// jlink's own launchers are not part of the image: bin/ holds the application's.
bool removeJdkCommands(Staging& staging, const fs::path& root, std::string& error) {
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(root / "bin", code)) {
    if (!staging.remove(entry.path().string(), &error)) return false;
  }
  return true;
}

bool linkRuntime(const AppConfig& c, Staging& staging, std::string& error) {
  const std::string root = staging.imagePath();
  std::string modules;
  if (!findModules(c, modules, error)) return false;
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
  if (run.exitCode != 0) return error = "jlink failed:\n" + run.output, false;
  if (!fs::exists(fs::path(root) / "lib" / "server" / "classes.jsa")) {
    return error = "jlink made no CDS archive (lib/server/classes.jsa):\n" + run.output, false;
  }
  return removeJdkCommands(staging, root, error);
}

// A Windows runtime's jvm.dll goes beside the launcher, where the loader finds it.
bool placeJvmDll(const fs::path& root, std::string& error) {
  const fs::path bin = root / "bin";
  if (fs::exists(bin / "jvm.dll")) return true;
  std::error_code code;
  for (const char* name : {"jvm.dll", "classes.jsa", "classes_nocoops.jsa"}) {
    if (!fs::exists(bin / "server" / name)) continue;
    fs::copy_file(bin / "server" / name, bin / name, code);
    if (code) return error = "cannot copy " + std::string(name) + ": " + code.message(), false;
  }
  return true;
}

bool copyRuntime(const AppConfig& c, const std::string& root, std::string& error) {
  std::printf("runtime: copied from %s\n", c.runtime.c_str());
  std::fflush(stdout);
  if (!copyRuntimeTree(c.runtime, root, &error)) return false;
  return !c.windows || placeJvmDll(root, error);
}

}  // namespace

int javaFeatureVersion(const std::string& home) {
  std::ifstream in(fs::path(home) / "release");
  std::string line;
  const std::regex pattern("JAVA_VERSION=\"(1\\.)?([0-9]{1,4})[^0-9].*");
  std::smatch match;
  while (std::getline(in, line)) {
    if (std::regex_match(line, match, pattern)) return std::stoi(match[2].str());
  }
  return 0;
}

bool makeRuntime(const AppConfig& config, Staging& staging, std::string& error) {
  return config.jdk.empty() ? copyRuntime(config, staging.imagePath(), error)
                            : linkRuntime(config, staging, error);
}

}  // namespace plenwick
