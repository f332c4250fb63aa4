#include "tools/pack/runtime/training_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/pack/files/tree_snapshot.h"
#include "tools/pack/host/process.h"
#include "tools/pack/runtime/training_display.h"
#include "tools/pack/text/printable.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr int kTrainingSeconds = 120;
constexpr std::size_t kChangesShown = 10;
constexpr std::size_t kOutputLinesShown = 20;
constexpr std::size_t kLineShown = 300;

// The training run is the user's application: it runs in a private folder,
// with a small fixed environment, and whatever it starts is killed when it
// ends.
ProcessOptions trainingProcess(const TrainingFolders& f, const TrainingDisplay& display) {
  ProcessOptions options;
  options.timeoutSeconds = kTrainingSeconds;
  options.workingDirectory = f.run;
  options.environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + f.home, "TMPDIR=" + f.temp,
                         "LANG=C.UTF-8"};
  const std::vector<std::string>& shown = display.environment();
  options.environment.insert(options.environment.end(), shown.begin(), shown.end());
  options.spared = display.server();
  return options;
}

// The last lines of what a run printed, indented and made safe to print.
std::string lastLines(const std::string& output, std::size_t count) {
  std::size_t start = output.size();
  while (start > 0 && output[start - 1] == '\n') --start;
  const std::size_t end = start;
  for (std::size_t lines = 0; start > 0 && lines < count;) {
    --start;
    if (output[start] == '\n' && ++lines == count) ++start;
  }
  if (start == end) return " (it printed nothing)";
  std::string text = ":";
  for (std::size_t at = start; at < end;) {
    std::size_t next = output.find('\n', at);
    if (next == std::string::npos || next > end) next = end;
    text += "\n  " + printable(output.substr(at, std::min(next - at, kLineShown)));
    at = next + 1;
  }
  return text;
}

// A run that failed may still leave its product (of what it did until then),
// but the user should hear why it failed.
std::string failedRunMessage(const TrainingRun& t, const ProcessResult& run, bool made) {
  std::string text = t.title + " ";
  text += run.timedOut ? "was stopped after " + std::to_string(kTrainingSeconds) + " s"
                       : "ended with exit code " + std::to_string(run.exitCode);
  if (!made) text += "; " + t.withoutProduct;
  if (run.timedOut) {
    text +=
        " (a GUI application can end once its first window is shown when the system "
        "property " +
        std::string(kTrainingProperty) + " is true)";
  }
  return text + ". Its last lines" + lastLines(run.output, kOutputLinesShown);
}

std::string changesMessage(const TrainingRun& t, const std::vector<std::string>& changes) {
  std::string list;
  for (std::size_t i = 0; i < changes.size() && i < kChangesShown; ++i) {
    list += "\n  " + changes[i];
  }
  if (changes.size() > kChangesShown) {
    list += "\n  and " + std::to_string(changes.size() - kChangesShown) + " more";
  }
  return t.title + " changed the image:" + list +
         "\nan application must not write into its own folder; give it training arguments "
         "that keep it out, or turn the class cache off (--no-app-cds)";
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
  launch.jvmOptions.push_back(std::string("-D") + kTrainingProperty + "=true");
  return launch;
}

bool runTraining(const TrainingRun& t, const TrainingFolders& folders, Reporter& reporter,
                 bool* made, std::string* err) {
  std::vector<std::string> argv = {(fs::path(t.root) / t.launcher).string()};
  argv.insert(argv.end(), t.arguments.begin(), t.arguments.end());
  TrainingDisplay display;
  const std::string displayProblem = t.showsWindows ? display.open(folders.run) : "";
  if (!displayProblem.empty()) reporter.warning(displayProblem);
  Reporter::Step step = reporter.step(t.title + " of " + t.launcher + display.description());
  const TreeSnapshot before = snapshotTree(t.root);
  const ProcessResult run = runProcess(argv, trainingProcess(folders, display));
  const std::vector<std::string> changes = treeChanges(before, snapshotTree(t.root), t.allowed);
  if (!changes.empty()) {
    *err = changesMessage(t, changes);
    return false;
  }
  step.end(true);
  *made = fs::exists(t.product);
  if (run.exitCode != 0 || !*made) reporter.warning(failedRunMessage(t, run, *made));
  return true;
}

}  // namespace plenwick
