// plenwick-pack image: from jars and a configuration to a movable application image.
#include <cstdio>
#include <filesystem>

#include "tools/pack/app_config.h"
#include "tools/pack/commands.h"
#include "tools/pack/packed_launcher.h"
#include "tools/pack/process.h"
#include "tools/pack/runtime_image.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// The first runtime whose archives stay usable when the image moves: from 19
// on, a dynamic archive named with -XX:+AutoCreateSharedArchive is rewritten
// by the runtime itself when it no longer matches (and from 21 on a moved
// class path matches). Runtime 17 records absolute jar paths, so a moved
// image would silently start without the archive.
constexpr int kAppCdsMinimumFeature = 19;
constexpr int kTrainingSeconds = 120;

bool copyApp(const AppConfig& c, const std::string& root, std::string& error) {
  const fs::path app = fs::path(root) / "app";
  std::error_code code;
  fs::create_directories(app, code);
  std::vector<std::string> files = c.jarFiles;
  files.push_back(c.bootstrapJar);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const fs::path name =
        i + 1 == files.size() ? fs::path("plenwick-bootstrap.jar") : fs::path(files[i]).filename();
    fs::copy_file(files[i], app / name, fs::copy_options::overwrite_existing, code);
    if (code) return error = "cannot copy " + files[i] + ": " + code.message(), false;
  }
  return true;
}

std::string appCdsArchive(const AppConfig& c) {
  return c.name + ".jsa";
}

bool wantAppCds(const AppConfig& c, const std::string& root) {
  if (c.windows || !c.appCds.value_or(true)) return false;
  const int feature = javaFeatureVersion(root);
  if (feature >= kAppCdsMinimumFeature) return true;
  std::printf(
      "AppCDS: %s for runtime %d: it records the jars' absolute paths, so the archive would be "
      "ignored once the image moves (the default CDS archive of the runtime is used)\n",
      c.appCds.has_value() ? "dropped" : "off", feature);
  return false;
}

// Runs the packed launcher once; the runtime writes the archive when it ends.
void trainAppCds(const AppConfig& c, const std::string& root) {
  std::vector<std::string> argv = {launcherPath(c, root)};
  argv.insert(argv.end(), c.trainingArguments.begin(), c.trainingArguments.end());
  std::printf("AppCDS: training run of bin/%s\n", c.name.c_str());
  std::fflush(stdout);
  const ProcessResult run = runProcess(argv, kTrainingSeconds);
  const bool made = fs::exists(fs::path(root) / "app" / appCdsArchive(c));
  if (!made) {
    std::printf(
        "AppCDS: the training run (exit code %d%s) wrote no archive; the runtime will "
        "write it on the first start instead\n",
        run.exitCode, run.timedOut ? ", stopped after the time limit" : "");
  }
}

bool buildImage(const AppConfig& c, const std::string& root, std::string& error) {
  if (!makeRuntime(c, root, error) || !copyApp(c, root, error)) return false;
  std::vector<std::string> extra;
  const bool appCds = wantAppCds(c, root);
  if (appCds) {
    extra = {"-XX:SharedArchiveFile=&&" + appCdsArchive(c), "-XX:+AutoCreateSharedArchive"};
  }
  if (!writePackedLauncher(c, imageLaunchConfig(c, extra), root, error)) return false;
  if (appCds) trainAppCds(c, root);
  return true;
}

bool moveIntoPlace(const AppConfig& c, const std::string& temporary, std::string& error) {
  std::error_code code;
  if (fs::exists(c.output, code)) fs::remove_all(c.output, code);
  if (code) return error = "cannot replace " + c.output + ": " + code.message(), false;
  fs::rename(temporary, c.output, code);
  if (code) return error = "cannot create " + c.output + ": " + code.message(), false;
  return true;
}

int failed(const std::string& message) {
  std::fprintf(stderr, "plenwick-pack image: %s\n", message.c_str());
  return kExitFailed;
}

}  // namespace

int imageCommand(const std::vector<std::string>& args) {
  AppConfig config;
  std::string error;
  const OptionParse parsed = parseImageArguments(args, config, error);
  if (parsed == OptionParse::kHelp) return std::fputs(imageUsage(), stdout), kExitOk;
  if (parsed == OptionParse::kUsageError || !validateAppConfig(config, error)) {
    std::fprintf(stderr,
                 "plenwick-pack image: %s\n(plenwick-pack image --help lists the options)\n",
                 error.c_str());
    return kExitUsage;
  }
  std::error_code code;
  const fs::path output = fs::absolute(config.output);
  fs::create_directories(output.parent_path(), code);
  const std::string temporary = output.string() + ".plenwick-tmp";
  fs::remove_all(temporary, code);
  if (!buildImage(config, temporary, error) || !moveIntoPlace(config, temporary, error)) {
    fs::remove_all(temporary, code);
    return failed(error);
  }
  std::printf("image: %s (start it with %s)\n", config.output.c_str(),
              launcherPath(config, config.output).c_str());
  return kExitOk;
}

}  // namespace plenwick
