// Packs a launcher into a temporary application image around the real JDK,
// runs it or plenwick-pack as a child process and captures what it prints.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/launch_config.h"
#include "tests/support/temp_dir.h"

namespace plenwick::e2e {

struct RunResult {
  int exitCode = -1;  // 128 + signal when killed by one
  std::string out;
  std::string err;
};

// Environment changes for one run: a value sets the variable, nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

std::string testJar(const std::string& name);  // a jar built for the tests
// The value of the first "key=value" line of `text`, or "(missing)".
std::string valueOf(const std::string& text, const std::string& key);

// A child started with `args` (argv[0] is the program), the current environment changed by
// `env`, in `cwd` (empty: this one), writing to two temporary files.
struct StartedProcess {
  pid_t pid = -1;
  std::string outPath, errPath;
};
StartedProcess startProcess(const std::string& program, const std::vector<std::string>& args,
                            const EnvChanges& env = {}, const std::string& cwd = {});
RunResult finishProcess(const StartedProcess& started);  // waits, collects what it printed
RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const EnvChanges& env = {}, const std::string& cwd = {});
// plenwick-pack with `args` after its name.
StartedProcess startPack(const std::vector<std::string>& args, const EnvChanges& env = {},
                         const std::string& cwd = {});
RunResult runPack(const std::vector<std::string>& args, const EnvChanges& env = {},
                  const std::string& cwd = {});

// The processes (other than this one) whose command line or environment
// holds `text`, as "PID: command line".
std::vector<std::string> processesMentioning(const std::string& text);

// A temporary application image: ROOT/bin/app, ROOT/lib -> the JDK's lib,
// ROOT/app/ with the probe and the bootstrap jar.
class AppImageTest : public TempDirTest {
 protected:
  void SetUp() override;

  // The configuration to pack; starts as a console app whose class path holds
  // the probe and the bootstrap jar, main class probe.Probe.
  LaunchConfig config;

  std::string appDir() const { return root_ + "/app/"; }
  void addJar(const std::string& path, const std::string& name);
  // Packs `config` into ROOT/bin/app and returns the executable's path.
  std::string pack();
  // Packs and runs with `args` after the program name.
  RunResult run(const std::vector<std::string>& args = {}, const EnvChanges& env = {});

 private:
  std::string root_;
};

}  // namespace plenwick::e2e
