#include "tools/pack/runtime/jdk_archive.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/pack/host/process.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr int kDumpSeconds = 120;
constexpr std::size_t kOutputShown = 2000;

// No class path: the application's classes in the list are not found and
// left out (each with a warning the JVM prints), which keeps their code
// sources and lets a replaced jar take effect.
std::vector<std::string> dumpCommand(const std::string& root, const std::string& list,
                                     const std::string& archive) {
  return {(fs::path(root) / "bin" / "java").string(), "-Xshare:dump",
          "-XX:SharedClassListFile=" + list, "-XX:SharedArchiveFile=" + archive};
}

// Only the JDK runs here; still, options from the environment must not reach it.
ProcessOptions dumpProcess() {
  ProcessOptions options;
  options.timeoutSeconds = kDumpSeconds;
  options.environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "LANG=C.UTF-8"};
  return options;
}

// The runtime's own list (the JDK's classes of a small program, which jlink's
// archive holds) and then the training run's, in `merged`: the archive never
// holds fewer classes than jlink's. Duplicates are loaded once.
bool mergeLists(const std::string& root, const std::string& list, const std::string& merged,
                std::string* err) {
  std::ofstream out(merged, std::ios::binary);
  for (const std::string& part : {root + "/lib/classlist", list}) {
    std::ifstream in(part, std::ios::binary);
    if (in) out << in.rdbuf() << '\n';
  }
  if (!out.flush()) {
    *err = "cannot write " + merged;
    return false;
  }
  return true;
}

}  // namespace

// The archive the JVM maps by default, for the usual heaps (compressed oops).
std::string jdkArchivePath(const std::string& root) {
  return root + "/lib/server/classes.jsa";
}

std::string jdkArchiveListPath(const std::string& root) {
  return root + "/lib/server/classes.list";
}

LaunchConfig classListLaunch(LaunchConfig launch, const std::string& list) {
  launch.jvmOptions.push_back("-XX:DumpLoadedClassList=" + list);
  return launch;
}

bool replaceJdkArchive(const std::string& root, const std::string& list, Reporter& reporter,
                       std::string* err) {
  const std::string archive = jdkArchivePath(root);
  const std::string fresh = archive + ".new";
  Reporter::Step step = reporter.step("class cache: archive of the JDK classes it loads");
  const std::string merged = list + ".merged";
  if (!mergeLists(root, list, merged, err)) return false;
  const ProcessResult run = runProcess(dumpCommand(root, merged, fresh), dumpProcess());
  std::error_code code;
  if (run.exitCode != 0 || !fs::is_regular_file(fresh, code)) {
    fs::remove(fresh, code);
    const std::string how =
        run.timedOut ? "was stopped" : "ended with exit code " + std::to_string(run.exitCode);
    const std::size_t shown = std::min(run.output.size(), kOutputShown);
    reporter.warning("class cache: making the archive of the JDK classes " + how +
                     "; the image keeps the runtime's own archive. Its last output:\n" +
                     run.output.substr(run.output.size() - shown));
    return step.end(true);
  }
  // A rename within lib/server: the image has the old archive or the new one.
  if (std::rename(fresh.c_str(), archive.c_str()) != 0) {
    *err = "cannot replace " + archive + ": " + std::strerror(errno);
    return false;
  }
  fs::copy_file(list, jdkArchiveListPath(root), code);
  if (code) {
    *err = "cannot copy the class list into the runtime: " + code.message();
    return false;
  }
  return step.end(true);
}

}  // namespace plenwick
