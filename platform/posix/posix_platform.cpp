// The POSIX implementation of the platform layer.
#include <pthread.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_directory_search.h"
#include "platform/posix/posix_known_folders.h"

namespace plenwick {
namespace {

void* javaThreadStart(void* task) {
  const ThreadTask& started = *static_cast<ThreadTask*>(task);
  started.routine(started.work);
  return nullptr;
}

class PosixPlatform final : public Platform {
 public:
  const PathConventions& conventions() const override { return kPosixConventions; }

  std::string executablePath() override {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", &path[0], path.size());
    path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return path;
  }

  const char* getEnvironment(const char* name) override { return std::getenv(name); }

  void putEnvironment(const std::string& assignment) override {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos) return;
    const std::string name = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    // As on Windows, an empty value removes the variable.
    if (value.empty()) {
      unsetenv(name.c_str());
    } else {
      setenv(name.c_str(), value.c_str(), 1);
    }
  }

  DirectorySearch& directorySearch() override { return search_; }

  uint32_t exportKnownFolderPath(KnownFolder folder, bool /*redirected*/,
                                 const char* variableName) override {
    // Linux has no package redirection: both queries name the same folder.
    std::string path;
    const uint32_t result = knownFolderPath(
        folder, [](const char* name) -> const char* { return std::getenv(name); }, path);
    if (result == kFolderOk) setenv(variableName, path.c_str(), 1);
    return result;
  }

  void debugOutputNarrow(const std::string&) override {}
  void debugOutputWide(const std::string&) override {}

  void writeStandardError(const std::string& text) override {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }

  // No desktop dialog is assumed: the box becomes two lines on standard error.
  void showErrorBox(const char* caption, const char* text) override {
    std::fprintf(stderr, "%s\n%s\n", caption, text);
  }

  void setUpUtf8Console() override {}

  bool runOnNewThread(uint32_t stackSize, void (*routine)(void*), void* work) override {
    ThreadTask task{routine, work};  // lives until the join below
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    // Below the minimum a thread cannot run at all; round up as Windows does.
    const std::size_t size = stackSize < PTHREAD_STACK_MIN ? PTHREAD_STACK_MIN : stackSize;
    pthread_t thread;
    const int created = stackSize != 0 && pthread_attr_setstacksize(&attributes, size) != 0
                            ? -1
                            : pthread_create(&thread, &attributes, javaThreadStart, &task);
    pthread_attr_destroy(&attributes);
    if (created != 0) return false;
    pthread_join(thread, nullptr);
    return true;
  }

  [[noreturn]] void exitProcess(int code) override { std::exit(code); }

 private:
  PosixDirectorySearch search_;
};

}  // namespace

Platform& systemPlatform() {
  static PosixPlatform platform;
  return platform;
}

}  // namespace plenwick
