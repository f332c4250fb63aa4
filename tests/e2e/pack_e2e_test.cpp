// plenwick-pack as a user runs it: an image from a configuration file, shown,
// moved and started; exit codes. Windows images: stage 40.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/e2e/harness.h"
#include "tests/support/installed_jdk.h"
#include "tools/pack/runtime/app_cds.h"
#include "tools/pack/runtime/java_release.h"

namespace plenwick::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using PackTest = TempDirTest;

// The probe in the image `root` started with MODE through a launcher packed
// with `jvmOptions` and a class log, as bin/check.
RunResult runWithClassLog(const fs::path& root, const json& jvmOptions, const std::string& mode) {
  std::vector<std::string> write = {
      "write",        "--launcher",  PLENWICK_LAUNCHER, "--output", (root / "bin/check").string(),
      "--main-class", "probe.Probe", "--console-app"};
  for (const json& option : jvmOptions) {
    write.insert(write.end(), {"--jvm-option", option.get<std::string>()});
  }
  write.insert(write.end(), {"--jvm-option", "-Xlog:class+load"});
  RunResult written = runPack(write);
  if (written.exitCode != 0) return written;
  return runProcess((root / "bin/check").string(), {"check", mode});
}

// `image` of the probe jar with `config` (plus the jars and the JDK) as DIR/app.json, into
// DIR/image.
RunResult packProbe(json config, const fs::path& dir) {
  config["jars"] = {testJar("probe.jar")};
  config["jdk"] = PLENWICK_JDK_HOME;
  writeFile(dir / "app.json", config.dump());
  return runPack({"image", (dir / "app.json").string(), "--output", (dir / "image").string()});
}

// `image` of the probe jar with `jdk` and an application class cache, into `image`.
RunResult packProbeWithAppCache(const std::string& jdk, const fs::path& image) {
  return runPack({"image", "--name", "probe-app", "--main-class", "probe.Probe", "--jar",
                  testJar("probe.jar"), "--module", "java.base", "--console-app", "--jdk", jdk,
                  "--app-cds", "--output", image.string()});
}

TEST_F(PackTest, ImageFromConfigurationShowsMovesAndStarts) {
  json config = json::parse(R"({"name": "probe-app", "version": "2.1", "mainClass": "probe.Probe",
      "jvmOptions": ["-Dapp.dir=&&"], "arguments": ["props"], "consoleApp": true,
      "stackSize": "1M", "modules": ["java.base"]})");
  const RunResult made = packProbe(config, dir_);
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;

  const fs::path image = dir_ / "image";
  EXPECT_EQ(std::distance(fs::directory_iterator(image / "bin"), {}), 1) << "only the launcher";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 2) << "no staging folder left";

  const RunResult shown = runPack({"show", "--json", (image / "bin/probe-app").string()});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(json::parse(shown.out)["classPath"], json({"&&probe.jar", "&&plenwick-bootstrap.jar"}));
  const json block = json::parse(shown.out)["config"];
  EXPECT_GT(json::parse(shown.out)["image"]["size"], 30e6) << "the runtime's size counts";
  EXPECT_EQ(block["consoleApp"], true);
  EXPECT_EQ(block["threadStackSize"], 1048576);

  const fs::path moved = dir_ / "moved here" / "image 2";
  fs::create_directories(moved.parent_path());
  fs::rename(image, moved);
  const RunResult run = runProcess((moved / "bin/probe-app").string(),
                                   {"probe-app", "app.dir", "java.home", "java.vm.info"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(valueOf(run.out, "app.dir"), (moved / "app").string() + "/");
  EXPECT_EQ(valueOf(run.out, "java.home"), moved.string());
  EXPECT_NE(valueOf(run.out, "java.vm.info").find("sharing"), std::string::npos)
      << "the CDS archive is in use after the move: " << run.out;
}

// Asked for a class cache, a runtime of 25 or later gets an AOT cache, which `show` names and which
// the application's classes come from after the image moved to a path of another length (seen
// through a launcher packed with the same options and a class log).
TEST_F(PackTest, AotCacheIsUsedAfterAMove) {
  const std::string jdk = installedJdk();
  if (javaFeatureVersion(jdk) < 25) GTEST_SKIP() << "no JDK 25 or later in /usr/lib/jvm";
  const fs::path image = dir_ / "image";
  const RunResult made = packProbeWithAppCache(jdk, image);
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  EXPECT_NE((made.out + made.err).find("no code source"), std::string::npos) << made.out;
  const fs::path moved = dir_ / "a longer path than before" / "image";
  fs::create_directories(moved.parent_path());
  fs::rename(image, moved);

  const RunResult shown = runPack({"show", "--json", (moved / "bin/probe-app").string()});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  const json block = json::parse(shown.out);
  const json& cache = block["classCache"];
  EXPECT_EQ(cache["kind"], "aot") << shown.out;
  EXPECT_EQ(cache["path"], (moved / "app/probe-app.aot").string());
  EXPECT_GT(cache["bytes"].get<long long>(), 0);

  const RunResult run = runWithClassLog(moved, block["config"]["jvmOptions"], "props");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("probe.Probe source: shared objects file"), std::string::npos) << run.out;
}

// A jar changed after packing makes the runtime drop the AOT cache: the changed jar's classes
// run, with no error. 25.0.0 to 25.0.3 check no jar and run the cached classes.
TEST_F(PackTest, AotCacheIsDroppedOnceAJarChanges) {
  const std::string jdk = installedJdk();
  if (javaFeatureVersion(jdk) < 25) GTEST_SKIP() << "no JDK 25 or later in /usr/lib/jvm";
  const std::string version = javaVersion(jdk);
  if (aotCacheKeepsChangedJars(version)) {
    GTEST_SKIP() << "JDK " << version << " keeps the cache of a changed jar (fixed in 25.0.4)";
  }
  const fs::path image = dir_ / "image";
  const RunResult made = packProbeWithAppCache(jdk, image);
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  writeFile(dir_ / "added.txt", "a later build");
  const RunResult changed = runProcess(
      jdk + "/bin/jar",
      {"jar", "uf", (image / "app/probe.jar").string(), "-C", dir_.string(), "added.txt"});
  ASSERT_EQ(changed.exitCode, 0) << changed.err;

  const RunResult shown = runPack({"show", "--json", (image / "bin/probe-app").string()});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  const RunResult run =
      runWithClassLog(image, json::parse(shown.out)["config"]["jvmOptions"], "props");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("rror"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("probe.Probe source: file:" + (image / "app/probe.jar").string()),
            std::string::npos)
      << run.out;
}

// By default the runtime's archive is made again from the JDK classes the training run loads:
// after a move they come from it, and the application's classes from its moved jar.
TEST_F(PackTest, JdkClassArchiveServesAMovedImage) {
  const fs::path image = dir_ / "image";
  const RunResult made =
      runPack({"image", "--name", "probe-app", "--main-class", "probe.Probe", "--jar",
               testJar("probe.jar"), "--module", "java.base", "--console-app", "--jdk",
               PLENWICK_JDK_HOME, "--training-arg", "date", "--output", image.string()});
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  EXPECT_FALSE(fs::exists(image / "bin/java")) << "kept only to make the archive";
  const fs::path moved = dir_ / "a-longer-path-than-before" / "image";
  fs::create_directories(moved.parent_path());
  fs::rename(image, moved);

  const RunResult shown = runPack({"show", "--json", (moved / "bin/probe-app").string()});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(json::parse(shown.out)["classCache"]["kind"], "jdk") << shown.out;
  const RunResult run =
      runWithClassLog(moved, json::parse(shown.out)["config"]["jvmOptions"], "date");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // One the probe loads, which is not in the runtime's own archive.
  EXPECT_NE(run.out.find("java.lang.IllegalStateException source: shared objects file"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("probe.Probe source: file:" + (moved / "app/probe.jar").string()),
            std::string::npos)
      << run.out;
}

// What jdeps cannot see is in the runtime: the JDK's providers (by default),
// and bin/java when asked for; options copied from a java command start.
TEST_F(PackTest, RuntimeHoldsTheProvidersAndTheJavaCommand) {
  json config = json::parse(R"({"name": "probe-app", "mainClass": "probe.Probe",
      "jvmOptions": ["-Duser.language=de", "-Duser.country=DE", "--add-opens",
      "java.base/java.lang=ALL-UNNAMED"], "consoleApp": true, "modules": ["java.base"],
      "keepJavaCommand": true})");
  const RunResult made = packProbe(config, dir_);
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  EXPECT_NE(made.out.find("'--add-opens=java.base/java.lang=ALL-UNNAMED'"), std::string::npos);

  const fs::path image = dir_ / "image";
  const RunResult date = runProcess((image / "bin/probe-app").string(), {"probe-app", "date"});
  ASSERT_EQ(date.exitCode, 0) << date.err;
  EXPECT_EQ(valueOf(date.out, "date"), "1. März 2020");
  const RunResult listed = runProcess((image / "bin/java").string(), {"java", "--list-modules"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  for (const char* name : {"jdk.crypto.ec", "jdk.localedata", "jdk.charsets", "jdk.zipfs"}) {
    if (javaModules(PLENWICK_JDK_HOME).count(name) == 0) continue;
    EXPECT_NE(listed.out.find(std::string(name) + "@"), std::string::npos)
        << name << " in " << listed.out;
  }
}

// Exit codes: 0 for help, 2 for wrong usage, 1 for a failure; never an output after one.
TEST_F(PackTest, ExitCodesAndHelp) {
  writeFile(dir_ / "launcher.txt", "text");
  writeFile(dir_ / "lib/app.jar", "x");
  writeFile(dir_ / "rt/lib/server/libjvm.so", "");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* text;  // in standard output or standard error
  } cases[] = {
      {{"--help"}, 0, "Commands:"},
      {{"--version"}, 0, "plenwick-pack 0.1.0"},
      {{"image", "--help"}, 0, "--app-cds"},
      {{}, 2, "Usage:"},
      {{"bake"}, 2, "unknown command 'bake'"},
      {{"image"}, 2, "key 'name' (option --name): is required"},
      {{"show", "/no/such/launcher"}, 1, "cannot read"},
      {{"show", PLENWICK_LAUNCHER}, 1, "has not been packed yet"},
      {{"image", "--name", "app", "--main-class", "a.Main", "--jar", dir_ / "lib/app.jar",
        "--runtime", dir_ / "rt", "--output", dir_ / "out", "--launcher", dir_ / "launcher.txt"},
       1,
       "no launch configuration region"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const RunResult run = runPack(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(c.text), std::string::npos) << run.out << run.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3) << "no output after a failure";
  }
}

}  // namespace
}  // namespace plenwick::e2e
