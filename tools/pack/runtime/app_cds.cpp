#include "tools/pack/runtime/app_cds.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/pack/files/tree_snapshot.h"
#include "tools/pack/host/process.h"

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
constexpr std::size_t kChangesShown = 10;

// The training run is the user's application: it runs in a private folder,
// with a small fixed environment, and whatever it starts is killed when it
// ends.
ProcessOptions trainingProcess(const TrainingFolders& f) {
  ProcessOptions options;
  options.timeoutSeconds = kTrainingSeconds;
  options.workingDirectory = f.run;
  options.environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + f.home, "TMPDIR=" + f.temp,
                         "LANG=C.UTF-8"};
  return options;
}

std::string changesMessage(const std::vector<std::string>& changes) {
  std::string list;
  for (std::size_t i = 0; i < changes.size() && i < kChangesShown; ++i) {
    list += "\n  " + changes[i];
  }
  if (changes.size() > kChangesShown) {
    list += "\n  and " + std::to_string(changes.size() - kChangesShown) + " more";
  }
  return "AppCDS: the training run changed the image:" + list +
         "\nan application must not write into its own folder; give it training arguments "
         "that keep it out, or turn the archive off (--no-app-cds)";
}

}  // namespace

bool makeTrainingFolders(const std::string& work, TrainingFolders* f, std::string* err) {
  f->run = work + "/training";
  f->home = f->run + "/home";
  f->temp = f->run + "/tmp";
  for (const std::string* folder : {&f->run, &f->home, &f->temp}) {
    if (mkdir(folder->c_str(), 0700) != 0) {
      *err = "cannot create " + *folder + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

LaunchConfig trainingLaunch(LaunchConfig launch, const TrainingFolders& f) {
  launch.jvmOptions.push_back("-Duser.home=" + f.home);
  launch.jvmOptions.push_back("-Djava.io.tmpdir=" + f.temp);
  return launch;
}

bool runTraining(const TrainingRun& t, const TrainingFolders& folders, Reporter& reporter,
                 std::string* err) {
  std::vector<std::string> argv = {(fs::path(t.root) / t.launcher).string()};
  argv.insert(argv.end(), t.arguments.begin(), t.arguments.end());
  Reporter::Step step = reporter.step("AppCDS: training run of " + t.launcher);
  const TreeSnapshot before = snapshotTree(t.root);
  const ProcessResult run = runProcess(argv, trainingProcess(folders));
  const std::vector<std::string> changes = treeChanges(before, snapshotTree(t.root), t.archive);
  if (!changes.empty()) {
    *err = changesMessage(changes);
    return false;
  }
  step.end(true);
  if (!fs::exists(fs::path(t.root) / t.archive)) {
    reporter.warning("AppCDS: the training run (exit code " + std::to_string(run.exitCode) +
                     (run.timedOut ? ", stopped after the time limit" : "") +
                     ") wrote no archive; the runtime will write it on the first start instead");
  }
  return true;
}

std::string appCdsArchive(const std::string& name) {
  return name + ".jsa";
}

AppCdsChoice chooseAppCds(bool windows, std::optional<bool> requested, int runtimeFeature) {
  if (windows || !requested.value_or(true)) return {false, ""};
  if (runtimeFeature >= kAppCdsMinimumFeature) return {true, ""};
  return {false, std::string("AppCDS: ") + (requested.has_value() ? "dropped" : "off") +
                     " for runtime " + std::to_string(runtimeFeature) +
                     ": it records the jars' absolute paths, so the archive would be ignored "
                     "once the image moves (the default CDS archive of the runtime is used)"};
}

}  // namespace plenwick
