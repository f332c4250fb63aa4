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

StartedProcess startProcess(const std::string& program, const std::vector<std::string>& args,
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
  StartedProcess started{-1, outPath, errPath};
  if (posix_spawn(&started.pid, program.c_str(), &actions, nullptr, pointers(argv).data(),
                  pointers(envp).data()) != 0) {
    started.pid = -1;
    ADD_FAILURE() << "cannot start " << program;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(outFd);
  close(errFd);
  return started;
}

RunResult finishProcess(const StartedProcess& started) {
  RunResult result;
  int status = 0;
  if (started.pid > 0 && waitpid(started.pid, &status, 0) == started.pid) {
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.out = readFile(started.outPath);
  result.err = readFile(started.errPath);
  unlink(started.outPath.c_str());
  unlink(started.errPath.c_str());
  return result;
}

RunResult runProcess(const std::string& program, const std::vector<std::string>& args,
                     const EnvChanges& env, const std::string& cwd) {
  return finishProcess(startProcess(program, args, env, cwd));
}

StartedProcess startPack(const std::vector<std::string>& args, const EnvChanges& env,
                         const std::string& cwd) {
  std::vector<std::string> argv = {PLENWICK_PACK};
  argv.insert(argv.end(), args.begin(), args.end());
  return startProcess(PLENWICK_PACK, argv, env, cwd);
}

RunResult runPack(const std::vector<std::string>& args, const EnvChanges& env,
                  const std::string& cwd) {
  return finishProcess(startPack(args, env, cwd));
}

std::vector<std::string> processesMentioning(const std::string& text) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos || pid == std::to_string(getpid()))
      continue;
    std::string cmdline = readFile(entry.path() / "cmdline");
    if (cmdline.find(text) == std::string::npos &&
        readFile(entry.path() / "environ").find(text) == std::string::npos) {
      continue;
    }
    for (char& c : cmdline) c = c == '\0' ? ' ' : c;
    found.push_back(pid.append(": ").append(cmdline));
  }
  return found;
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
