#include "tests/e2e/harness.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/region_locator.h"

extern char** environ;

namespace plenwick::e2e {
namespace {

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

std::string valueOf(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key + "=");
  if (at == std::string::npos) return "(missing)";
  const std::size_t from = at + key.size() + 1;
  return text.substr(from, text.find('\n', from) - from);
}

RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const EnvChanges& env, const std::string& cwd) {
  std::vector<std::string> envp;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (env.count(entry.substr(0, entry.find('='))) == 0) envp.push_back(entry);
  }
  for (const auto& [name, value] : env) {
    if (value) envp.push_back(name + "=" + *value);
  }
  char outPath[] = "/tmp/plenwick-out-XXXXXX";
  char errPath[] = "/tmp/plenwick-err-XXXXXX";
  const int outFd = mkstemp(outPath);
  const int errFd = mkstemp(errPath);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  std::vector<std::string> argv = args;
  pid_t pid = -1;
  RunResult result;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers(argv).data(),
                  pointers(envp).data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  } else {
    ADD_FAILURE() << "cannot start " << program;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(outFd);
  close(errFd);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  unlink(outPath);
  unlink(errPath);
  return result;
}

RunResult runPack(const std::vector<std::string>& args, const EnvChanges& env,
                  const std::string& cwd) {
  std::vector<std::string> argv = {PLENWICK_PACK};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProcess(PLENWICK_PACK, argv, env, cwd);
}

void AppImageTest::SetUp() {
  TempDirTest::SetUp();
  root_ = (dir_ / "root").string();
  for (const char* dir : {"", "/bin", "/app"}) mkdir((root_ + dir).c_str(), 0755);
  std::filesystem::create_directory_symlink(PLENWICK_JDK_HOME "/lib", root_ + "/lib");
  addJar(testJar("probe.jar"), "probe.jar");
  addJar(PLENWICK_BOOTSTRAP_JAR, "plenwick-bootstrap.jar");
  config.consoleApp = true;
  config.mainClass = "probe.Probe";
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar", "-Xshare:auto"};
}

void AppImageTest::addJar(const std::string& path, const std::string& name) {
  std::filesystem::copy_file(path, appDir() + name);
}

std::string AppImageTest::pack() {
  const std::string launcher = readFile(PLENWICK_LAUNCHER);
  std::vector<unsigned char> bytes(launcher.begin(), launcher.end());
  std::string error;
  EXPECT_TRUE(writeLaunchConfigBlock(config, bytes, &error)) << error;
  std::string path = root_ + "/bin/app";
  writeFile(path, std::string(bytes.begin(), bytes.end()));
  chmod(path.c_str(), 0755);
  return path;
}

RunResult AppImageTest::run(const std::vector<std::string>& args, const EnvChanges& env) {
  std::vector<std::string> argv = {pack()};
  argv.insert(argv.end(), args.begin(), args.end());
  return runProcess(argv[0], argv, env);
}

}  // namespace plenwick::e2e
