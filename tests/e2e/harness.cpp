#include "tests/e2e/harness.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "config/region_locator.h"

extern char** environ;

namespace plenwick::e2e {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes, mode_t mode) {
  std::ofstream(path, std::ios::binary) << bytes;
  chmod(path.c_str(), mode);
}

std::vector<std::string> environmentWith(const EnvChanges& changes) {
  std::vector<std::string> result;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (changes.count(entry.substr(0, entry.find('='))) == 0) result.push_back(entry);
  }
  for (const auto& [name, value] : changes) {
    if (value) result.push_back(name + "=" + *value);
  }
  return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) result.push_back(&s[0]);
  result.push_back(nullptr);
  return result;
}

}  // namespace

std::string testJar(const std::string& name) {
  return std::string(PLENWICK_TEST_JARS) + "/" + name;
}
std::string jdkHome() {
  return PLENWICK_JDK_HOME;
}

RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const EnvChanges& env, const std::string& cwd) {
  char outPath[] = "/tmp/plenwick-out-XXXXXX";
  char errPath[] = "/tmp/plenwick-err-XXXXXX";
  const int outFd = mkstemp(outPath);
  const int errFd = mkstemp(errPath);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  std::string oldCwd;
  if (!cwd.empty()) {
    char buffer[4096];
    oldCwd = getcwd(buffer, sizeof buffer);
    if (chdir(cwd.c_str()) != 0) ADD_FAILURE() << "cannot enter " << cwd;
  }
  std::vector<std::string> argv = args;
  std::vector<std::string> envp = environmentWith(env);
  std::vector<char*> argvPointers = pointers(argv);
  std::vector<char*> envPointers = pointers(envp);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argvPointers.data(),
                                  envPointers.data());
  if (!oldCwd.empty() && chdir(oldCwd.c_str()) != 0) ADD_FAILURE() << "cannot return to " << oldCwd;
  posix_spawn_file_actions_destroy(&actions);
  RunResult result;
  if (spawned == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  } else {
    ADD_FAILURE() << "cannot start " << program;
  }
  close(outFd);
  close(errFd);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  unlink(outPath);
  unlink(errPath);
  return result;
}

void AppImageTest::SetUp() {
  char pattern[] = "/tmp/plenwick-e2e-XXXXXX";
  base_ = mkdtemp(pattern);
  root_ = base_ + "/root";
  layOut();
  config.consoleApp = true;
  config.mainClass = "probe.Probe";
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar", "-Xshare:auto"};
}

void AppImageTest::TearDown() {
  std::system(("rm -rf '" + base_ + "'").c_str());
}

void AppImageTest::layOut() {
  mkdir(root_.c_str(), 0755);
  mkdir((root_ + "/bin").c_str(), 0755);
  mkdir((root_ + "/app").c_str(), 0755);
  if (symlink((jdkHome() + "/lib").c_str(), (root_ + "/lib").c_str()) != 0) {
    ADD_FAILURE() << "cannot link the JDK's lib into " << root_;
  }
  addJar(testJar("probe.jar"), "probe.jar");
  addJar(PLENWICK_BOOTSTRAP_JAR, "plenwick-bootstrap.jar");
}

void AppImageTest::useRoot(const std::string& directoryName) {
  root_ = base_ + "/" + directoryName;
  layOut();
}

void AppImageTest::addJar(const std::string& path, const std::string& name) {
  writeFile(appDir() + name, readFile(path), 0644);
}

std::string AppImageTest::pack(const std::string& name) {
  const std::string launcher = readFile(PLENWICK_LAUNCHER);
  std::vector<unsigned char> bytes(launcher.begin(), launcher.end());
  std::string error;
  EXPECT_TRUE(writeLaunchConfigBlock(config, bytes, &error)) << error;
  std::string path = root_ + "/bin/" + name;
  writeFile(path, std::string(bytes.begin(), bytes.end()), 0755);
  return path;
}

RunResult AppImageTest::run(const std::vector<std::string>& args, const EnvChanges& env) {
  const std::string program = pack();
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProcess(program, argv, env);
}

}  // namespace plenwick::e2e
