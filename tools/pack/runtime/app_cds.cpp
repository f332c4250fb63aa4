#include "tools/pack/runtime/app_cds.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "tools/pack/launcher/packed_launcher.h"
#include "tools/pack/runtime/java_release.h"
#include "tools/pack/runtime/process.h"

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

}  // namespace

bool trainAppCds(const AppConfig& c, Staging& staging, std::string* err) {
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
    if (!staging.remove((fs::path(root) / file).string(), err)) return false;
  }
  if (!fs::exists(fs::path(root) / archive)) {
    std::printf(
        "AppCDS: the training run (exit code %d%s) wrote no archive; the runtime will "
        "write it on the first start instead\n",
        run.exitCode, run.timedOut ? ", stopped after the time limit" : "");
  }
  return true;
}

std::string appCdsArchive(const AppConfig& c) {
  return c.name + ".jsa";
}

AppCdsChoice chooseAppCds(bool windows, std::optional<bool> requested, int runtimeFeature) {
  if (windows || !requested.value_or(true)) return {false, ""};
  if (runtimeFeature >= kAppCdsMinimumFeature) return {true, ""};
  return {false, std::string("AppCDS: ") + (requested.has_value() ? "dropped" : "off") +
                     " for runtime " + std::to_string(runtimeFeature) +
                     ": it records the jars' absolute paths, so the archive would be ignored "
                     "once the image moves (the default CDS archive of the runtime is used)"};
}

bool wantAppCds(const AppConfig& c, const std::string& root) {
  const AppCdsChoice choice = chooseAppCds(c.windows, c.appCds, javaFeatureVersion(root));
  if (!choice.note.empty()) std::printf("%s\n", choice.note.c_str());
  return choice.on;
}

}  // namespace plenwick
