// plenwick-pack never deletes or overwrites what it did not make: every refusal
// leaves the whole tree around it as it was, byte for byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <thread>

#include "tests/e2e/harness.h"
#include "tests/support/installed_jdk.h"

namespace plenwick::e2e {
namespace {

namespace fs = std::filesystem;

// Every entry below `root`: its type, mode, and content or link target.
std::map<std::string, std::string> snapshot(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    struct stat info;
    lstat(it->path().c_str(), &info);
    std::string entry = std::to_string(info.st_mode) + " ";
    if (S_ISLNK(info.st_mode)) entry += fs::read_symlink(it->path()).string();
    if (S_ISREG(info.st_mode))
      entry += std::to_string(std::hash<std::string>{}(readFile(it->path())));
    tree[it->path().lexically_relative(root).string()] = entry;
  }
  return tree;
}

// The home the JVM takes as user.home, whatever HOME says.
std::string passwordDatabaseHome() {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  const bool known = getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found;
  return known ? found->pw_dir : "/nonexistent";
}

class PackSafety : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    project_ = dir_ / "work/project";
    put("work/project/lib/app.jar", "a jar");
    put("work/project/rt/lib/server/libjvm.so", "a runtime");
    put("work/project/winrt/bin/jvm.dll", "a Windows runtime");
    put("work/project/other/notes.txt", "the user's");
    put("work/project/cs.p12", "a certificate");
    put("home/.config/app", "the user's");
    fs::create_symlink("other", project_ / "alink");
    fs::create_symlink("rt", project_ / "rtlink");
    fs::create_symlink("../..", project_ / "top");
    mkfifo((project_ / "fifo").c_str(), 0600);
    fs::copy_file(PLENWICK_LAUNCHER, project_ / "launcher");
    // As root, the packer runs as nobody: a fault can then reach no more than this tree.
    const RunResult probe = runProcess(
        kSetpriv, {kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "/bin/sh", "-c",
                   "test -x " PLENWICK_PACK " && test -r " PLENWICK_LAUNCHER
                   " && test -r " PLENWICK_BOOTSTRAP_JAR});
    unprivileged_ = geteuid() == 0 && probe.exitCode == 0;
    if (geteuid() == 0 && !unprivileged_) {
      std::cerr << "note: plenwick-pack runs as root here: nobody cannot read the build "
                   "(" PLENWICK_PACK ")\n";
    }
  }

  RunResult pack(const std::vector<std::string>& args, EnvChanges env = {}) {
    env.emplace("HOME", (dir_ / "home").string());
    if (!unprivileged_) return runPack(args, env, project_.string());
    for (auto it = fs::recursive_directory_iterator(dir_); it != fs::recursive_directory_iterator();
         ++it) {
      lchown(it->path().c_str(), 65534, 65534);
    }
    chown(dir_.c_str(), 65534, 65534);
    std::vector<std::string> argv = {kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups",
                                     PLENWICK_PACK};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(kSetpriv, argv, env, project_.string());
  }
  RunResult image(const std::string& output, const std::string& runtime = "rt") {
    return pack({"image", "--name", "app", "--main-class", "a.Main", "--jar", "lib/app.jar",
                 "--runtime", runtime, "--output", output, "--force"});
  }

  // An image of the trainer, with `arguments` for its training run.
  RunResult train(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = {
        "image",    "--name",    "app",      "--main-class", "trainer.Trainer",
        "--module", "java.base", "--output", "out",          "--app-cds"};
    args.insert(args.end(), {"--jar", testJar("trainer.jar"), "--jdk", installedJdk()});
    for (const std::string& argument : arguments)
      args.insert(args.end(), {"--training-arg", argument});
    return pack(args, {{"PLENWICK_TEST_SECRET", "leaked"}});
  }

  static constexpr const char* kSetpriv = "/usr/bin/setpriv";
  fs::path project_;
  bool unprivileged_ = false;
};

TEST_F(PackSafety, RefusalsTouchNothing) {
  ASSERT_EQ(image("img").exitCode, 0);
  put("work/project/img/data/settings.json", "added by the application");
  // Each way a path is checked against the disk, by each command that writes;
  // the rules are unit tests. A row's output goes after the command's arguments.
  const std::map<std::string, std::vector<std::string>> commands = {
      {"image",
       {"image", "--name", "app", "--main-class", "a.Main", "--jar", "lib/app.jar", "--runtime",
        "rt", "--force", "--output"}},
      {"write", {"write", "--launcher", "launcher", "--main-class", "a.Main", "--output"}},
      {"sign", {"sign", "launcher", "--certificate", "cs.p12", "--output"}},
      {"installer --image",
       {"installer", "--image", "img", "--version", "1.0", "--email", "dev@example.com",
        "--installer"}},
      {"installer",
       {"installer", "--name", "app", "--main-class", "a.Main", "--jar", "lib/app.jar", "--target",
        "windows-x64", "--runtime", "winrt", "--launcher", "launcher", "--output", "new",
        "--installer"}},
  };
  const struct {
    const char* command;
    const char* output;
    int exitCode;
    const char* message;
  } cases[] = {
      {"image", "other/", 2, "is a folder that is not an image made by plenwick-pack"},
      {"image", "img", 2, "data/settings.json (added)"},
      {"image", ".", 2, "is the current folder"},
      {"image", "top/home", 2, "is your home folder"},
      {"image", "rtlink/out", 2, "lies inside"},
      {"image", "alink", 2, "alink is a symbolic link"},
      {"image", "fifo", 2, "fifo is a special file"},
      {"write", "alink", 1, "alink is a symbolic link"},
      {"write", "fifo", 1, "is not a regular file"},
      {"write", "top/work/project/launcher", 1, "which is only read"},
      {"sign", "top/work/project/cs.p12", 2, "is an input of this run"},
      {"installer --image", "img/app.msi", 2, "lies inside"},
      {"installer", "lib/app.jar", 2, "is an input of this run"},
      {"installer", "new/app.msi", 2, "lies inside"},
      {"installer", "winrt/app.msi", 2, "lies inside"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.output);
    const auto before = snapshot(dir_);
    std::vector<std::string> args = commands.at(c.command);
    args.push_back(c.output);
    const RunResult run = pack(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(snapshot(dir_), before);
  }
}

// Another process swaps a folder of the user's with the earlier image while
// --force replaces it: the folder must survive, whichever name it ends under.
TEST_F(PackSafety, AFolderSwappedInWhileReplacingSurvives) {
  put("work/project/victim/precious.txt", "the user's");
  ASSERT_EQ(image("out").exitCode, 0);
  const std::string out = (project_ / "out").string(), victim = (project_ / "victim").string();
  std::atomic<bool> stop{false};
  std::thread swapper([&] {
    while (!stop) renameat2(AT_FDCWD, out.c_str(), AT_FDCWD, victim.c_str(), RENAME_EXCHANGE);
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  int runs = 0;
  for (; runs < 300 && std::chrono::steady_clock::now() < end; ++runs) image("out");
  stop = true;
  swapper.join();
  const bool kept = readFile(project_ / "out/precious.txt") == "the user's" ||
                    readFile(project_ / "victim/precious.txt") == "the user's";
  EXPECT_TRUE(kept) << "the user's folder was deleted within " << runs << " runs";
}

TEST_F(PackSafety, ALinkedRuntimeIsCopiedNeverWrittenThrough) {
  const auto before = snapshot(dir_);
  const RunResult made = image("out", "rtlink");
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;

  auto after = snapshot(dir_);
  for (auto it = after.begin(); it != after.end();)
    it = it->first.rfind("work/project/out", 0) == 0 ? after.erase(it) : std::next(it);
  EXPECT_EQ(after, before) << "the runtime and all else are unchanged";
  EXPECT_FALSE(fs::is_symlink(project_ / "out")) << "the runtime is copied, not linked";
  EXPECT_TRUE(fs::is_regular_file(project_ / "out/lib/server/libjvm.so"));
  EXPECT_TRUE(fs::is_regular_file(project_ / "out/bin/app"));
}

// The trainer writes into its home and working folder and leaves two children
// behind, one in a session of its own that writes into the image later.
TEST_F(PackSafety, TrainingRunIsIsolatedAndCleanedUp) {
  const std::string jdk = installedJdk();
  if (jdk.empty()) GTEST_SKIP() << "no JDK 19 or later in /usr/lib/jvm: no AppCDS training run";
  const std::string report = (dir_ / "report").string();
  const std::string homeFile = "plenwick-trainer-" + dir_.filename().string();
  const RunResult made = train({report, homeFile});
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  const char* cache = javaFeatureVersion(jdk) >= 25 ? "out/app/app.aot" : "out/app/app.jsa";
  EXPECT_TRUE(fs::exists(project_ / cache)) << "the class cache stays";
  EXPECT_FALSE(fs::exists(project_ / "in-working-folder.txt"));

  const std::string text = readFile(report);
  EXPECT_EQ(valueOf(text, "secret"), "null") << "the caller's environment is not passed on";
  const std::string staging = (project_ / ".pw-").string();
  for (const char* folder : {"cwd", "home", "tmpdir"}) {
    const std::string path = valueOf(text, folder);
    EXPECT_EQ(path.rfind(staging, 0), 0u) << "private to the run: " << folder << "=" << path;
    EXPECT_FALSE(fs::exists(path)) << "and removed afterwards: " << path;
  }
  EXPECT_FALSE(fs::exists(dir_ / "home" / homeFile)) << "not in HOME";
  EXPECT_FALSE(fs::exists(fs::path(passwordDatabaseHome()) / homeFile))
      << "not in the home of the password database";
  EXPECT_EQ(processesMentioning(dir_.string()), std::vector<std::string>{})
      << "every child of the run is killed, also the one that left the group";
  sleep(9);  // the child in its own session would have written by now
  EXPECT_FALSE(fs::exists(project_ / "out/app/late")) << "the image stays as it was made";
  const std::string state = readFile("/proc/" + valueOf(text, "child") + "/stat");
  EXPECT_TRUE(state.empty() || state.find(") Z ") != std::string::npos)
      << "the child left behind is killed with its group: " << state;
}

TEST_F(PackSafety, TrainingRunThatChangesTheImageIsRefused) {
  const std::string jdk = installedJdk();
  if (jdk.empty()) GTEST_SKIP() << "no JDK 19 or later in /usr/lib/jvm: no AppCDS training run";
  const RunResult made = train({(dir_ / "report").string(), "x", "change-image"});
  EXPECT_EQ(made.exitCode, 1) << made.out << made.err;
  for (const char* line : {"\n  release (changed)", "\n  app/stray.txt (added)"}) {
    EXPECT_NE(made.err.find(line), std::string::npos) << made.err;
  }
  EXPECT_EQ(made.err.find(".jsa"), std::string::npos) << "the archive is no change";
  EXPECT_FALSE(fs::exists(project_ / "out"));
}

// Where DISPLAY is unset a GUI application trains on the packer's own Xvfb;
// without Xvfb its training run fails, and the warning shows why.
TEST_F(PackSafety, GuiTrainingRunWithoutDisplay) {
  const std::string jdk = installedJdk();
  if (jdk.empty()) GTEST_SKIP() << "no JDK 19 or later in /usr/lib/jvm: no training run";
  if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/Xvfb";
  const struct {
    const char* path;
    const char* report;
    const char* said;
  } cases[] = {
      {"/usr/bin:/bin", ":", "training run of bin/app on a private Xvfb display :"},
      {"tools", "(missing)", "HeadlessException"},
  };
  // jlink needs objcopy; Xvfb is not in tools/.
  fs::create_directories(dir_ / "tools");
  fs::create_symlink("/usr/bin/objcopy", dir_ / "tools/objcopy");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const std::string report = (dir_ / "report").string();
    fs::remove(report);
    const RunResult made = pack(
        {"image", "--name", "app", "--main-class", "window.Window", "--jar", testJar("window.jar"),
         "--jdk", jdk, "--output", "out", "--force", "--app-cds", "--training-arg", report},
        {{"DISPLAY", std::nullopt},
         {"PATH", c.path[0] == '/' ? c.path : (dir_ / c.path).string()}});
    ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
    EXPECT_EQ(valueOf(readFile(report), "display").rfind(c.report, 0), 0u) << readFile(report);
    EXPECT_NE((made.out + made.err).find(c.said), std::string::npos) << made.out << made.err;
  }
  EXPECT_EQ(processesMentioning(dir_.string()), std::vector<std::string>{}) << "Xvfb has ended";
}

}  // namespace
}  // namespace plenwick::e2e
