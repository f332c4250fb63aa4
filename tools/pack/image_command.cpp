// plenwick-pack image: from jars and a configuration to a movable application image.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "tools/pack/app_config.h"
#include "tools/pack/commands.h"
#include "tools/pack/content/app_content.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/files/replace.h"
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
  if (fs::exists(fs::symlink_status(app, code))) {
    return error = "the runtime already has an app entry; the image keeps the application there",
           false;
  }
  fs::create_directory(app, code);
  if (code) return error = "cannot create " + app.string() + ": " + code.message(), false;
  if (!copyAppContent(c, app.string(), &error)) return false;
  fs::copy_file(c.bootstrapJar, app / "plenwick-bootstrap.jar", code);
  if (code) return error = "cannot copy " + c.bootstrapJar + ": " + code.message(), false;
  for (const std::string& line : missingManifestClassPath(c)) {
    std::printf("note: %s\n", line.c_str());
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

std::set<std::string> filesUnder(const fs::path& root) {
  std::set<std::string> files;
  std::error_code code;
  for (fs::recursive_directory_iterator it(root, code), end; !code && it != end;
       it.increment(code)) {
    files.insert(it->path().lexically_relative(root).string());
  }
  return files;
}

// The training run is the user's application: it runs in a private folder,
// with a small fixed environment, in a process group of its own that is
// killed as a whole at the time limit.
ProcessOptions trainingProcess(const std::string& work) {
  ProcessOptions options;
  options.timeoutSeconds = kTrainingSeconds;
  options.workingDirectory = work;
  options.environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + work, "TMPDIR=" + work,
                         "LANG=C.UTF-8"};
  options.ownProcessGroup = true;
  return options;
}

// Runs the packed launcher once; the runtime writes the archive when it ends.
// Anything else the run leaves in the image is removed.
bool trainAppCds(const AppConfig& c, Staging& staging, std::string& error) {
  const std::string root = staging.imagePath();
  std::vector<std::string> argv = {launcherPath(c, root)};
  argv.insert(argv.end(), c.trainingArguments.begin(), c.trainingArguments.end());
  std::printf("AppCDS: training run of bin/%s\n", c.name.c_str());
  std::fflush(stdout);
  const std::set<std::string> before = filesUnder(root);
  const ProcessResult run = runProcess(argv, trainingProcess(staging.workPath()));
  const std::string archive = (fs::path("app") / appCdsArchive(c)).string();
  for (const std::string& file : filesUnder(root)) {
    if (before.count(file) != 0 || file == archive) continue;
    std::printf("AppCDS: the training run created %s in the image; removed\n", file.c_str());
    if (!staging.remove((fs::path(root) / file).string(), &error)) return false;
  }
  if (!fs::exists(fs::path(root) / archive)) {
    std::printf(
        "AppCDS: the training run (exit code %d%s) wrote no archive; the runtime will "
        "write it on the first start instead\n",
        run.exitCode, run.timedOut ? ", stopped after the time limit" : "");
  }
  return true;
}

bool markImage(const std::string& root, std::string& error) {
  std::ofstream marker(fs::path(root) / kImageMarker);
  marker << "An application image made by plenwick-pack; plenwick-pack image --force may "
            "replace this folder.\n";
  marker.close();
  if (!marker) return error = "cannot write " + (fs::path(root) / kImageMarker).string(), false;
  return true;
}

bool buildImage(const AppConfig& c, Staging& staging, std::string& error) {
  const std::string root = staging.imagePath();
  if (!makeRuntime(c, staging, error) || !copyApp(c, root, error)) return false;
  std::vector<std::string> extra;
  const bool appCds = wantAppCds(c, root);
  if (appCds) {
    extra = {"-XX:SharedArchiveFile=&&" + appCdsArchive(c), "-XX:+AutoCreateSharedArchive"};
  }
  if (!writePackedLauncher(c, imageLaunchConfig(c, extra), root, error)) return false;
  if (appCds && !trainAppCds(c, staging, error)) return false;
  return markImage(root, error);
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
  Staging staging;
  if (!staging.create(config.output, &error) || !buildImage(config, staging, error) ||
      !staging.commitImage(&error)) {
    return failed(error);
  }
  std::printf("image: %s (start it with %s)\n", config.output.c_str(),
              launcherPath(config, config.output).c_str());
  return kExitOk;
}

}  // namespace plenwick
