// Packs a launcher into a temporary application image around the real JDK,
// runs it as a child process and captures what it prints.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick::e2e {

struct RunResult {
  int exitCode = -1;  // 128 + signal when killed by one
  std::string out;
  std::string err;
};

// Environment changes for one run: a value sets the variable, nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

std::string testJar(const std::string& name);  // a jar built for the tests
std::string jdkHome();

// Runs `program` with `args` (argv[0] is the program) and the current
// environment changed by `env`; `cwd` empty means the current directory.
RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const EnvChanges& env = {}, const std::string& cwd = {});

// A temporary application image: ROOT/bin/<name>, ROOT/lib -> the JDK's lib,
// ROOT/app/ with the probe and the bootstrap jar. Removed afterwards.
class AppImageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The configuration to pack; starts as a console app whose class path holds
  // the probe and the bootstrap jar, main class probe.Probe.
  LaunchConfig config;

  std::string root() const { return root_; }
  std::string appDir() const { return root_ + "/app/"; }
  void addJar(const std::string& path, const std::string& name);
  // Packs `config` into ROOT/bin/<name> and returns the executable's path.
  std::string pack(const std::string& name = "app");
  // Packs and runs with `args` after the program name.
  RunResult run(const std::vector<std::string>& args = {}, const EnvChanges& env = {});

  // Replaces the image root (e.g. to test paths with spaces) before packing.
  void useRoot(const std::string& directoryName);

 private:
  std::string base_;
  std::string root_;
};

}  // namespace plenwick::e2e
