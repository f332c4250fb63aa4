// The narrow interface between the portable launcher and the operating system.
// platform/posix and platform/win32 implement it; unit tests use fakes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/conventions.h"
#include "platform/directory_search.h"

namespace plenwick {

enum class KnownFolder { LocalAppData, RoamingAppData };

// Result codes of a known-folder query (HRESULT values on every platform).
constexpr uint32_t kFolderOk = 0;
constexpr uint32_t kFolderFileNotFound = 0x80070002;
constexpr uint32_t kFolderPathNotFound = 0x80070003;

class Platform {
 public:
  virtual ~Platform() = default;

  virtual const PathConventions& conventions() const = 0;

  // The full path of the running executable.
  virtual std::string executablePath() = 0;

  // The value of an environment variable, or null when it is not set.
  virtual const char* getEnvironment(const char* name) = 0;
  // "NAME=value" sets a variable; "NAME=" removes it. Failures are ignored.
  virtual void putEnvironment(const std::string& assignment) = 0;

  virtual DirectorySearch& directorySearch() = 0;

  // Asks for a known folder (the package-redirected location when `redirected`,
  // the user's real folder otherwise); on success sets `variableName` to its
  // path. Returns the query's result code (kFolderOk on success).
  virtual uint32_t exportKnownFolderPath(KnownFolder folder, bool redirected,
                                         const char* variableName) = 0;

  // Text for an attached debugger: the narrow and the wide channel. Both take UTF-8.
  virtual void debugOutputNarrow(const std::string& text) = 0;
  virtual void debugOutputWide(const std::string& text) = 0;

  virtual void writeStandardError(const std::string& text) = 0;

  // A modal error box; returns when the user has closed it.
  virtual void showErrorBox(const char* caption, const char* text) = 0;

  // UTF-8 code pages and virtual-terminal output for a console application.
  virtual void setUpUtf8Console() = 0;

  // Runs `routine(work)` on a new thread with `stackSize` bytes of stack (0:
  // the default) and waits for it. `work` crosses to the thread through the
  // system's thread call itself, so the routine needs no global to find it.
  // False when the thread cannot be created.
  virtual bool runOnNewThread(uint32_t stackSize, void (*routine)(void* work), void* work) = 0;

  // Ends the process with `code`; the C runtime's exit handlers run.
  [[noreturn]] virtual void exitProcess(int code) = 0;
};

// What a thread start routine receives: the routine to run and its work, as
// the one pointer that pthread_create and CreateThread carry.
struct ThreadTask {
  void (*routine)(void* work);
  void* work;
};

// The platform the launcher runs on.
Platform& systemPlatform();

}  // namespace plenwick
