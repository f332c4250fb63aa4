// The Windows implementation of the platform layer.
#include <windows.h>
// windows.h first: the shell and known-folder headers build on it.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_directory_search.h"

namespace plenwick {

// The start routine of the Java thread: the parameter is its ThreadTask.
DWORD WINAPI javaThreadStart(LPVOID task) {
  const ThreadTask& started = *static_cast<ThreadTask*>(task);
  started.routine(started.work);
  return 0;
}

namespace {

// Known-folder flags, spelled out: older SDK headers lack the first.
constexpr DWORD kReturnFilterRedirectionTarget = 0x40000;
constexpr DWORD kNoPackageRedirection = 0x10000;
// MB_OK | MB_ICONERROR | MB_SYSTEMMODAL | MB_SERVICE_NOTIFICATION
constexpr UINT kErrorBoxType = 0x201010;
constexpr UINT kUtf8CodePage = 65001;

class Win32Platform final : public Platform {
 public:
  const PathConventions& conventions() const override { return kWindowsConventions; }

  std::string executablePath() override {
    char* path = nullptr;
    if (_get_pgmptr(&path) != 0 || path == nullptr) return std::string();
    return path;
  }

  const char* getEnvironment(const char* name) override { return std::getenv(name); }

  // The C runtime's own rule: "NAME=" removes the variable.
  void putEnvironment(const std::string& assignment) override { _putenv(assignment.c_str()); }

  DirectorySearch& directorySearch() override { return search_; }

  uint32_t exportKnownFolderPath(KnownFolder folder, bool redirected,
                                 const char* variableName) override {
    const KNOWNFOLDERID& id =
        folder == KnownFolder::LocalAppData ? FOLDERID_LocalAppData : FOLDERID_RoamingAppData;
    const DWORD flags = redirected ? kReturnFilterRedirectionTarget : kNoPackageRedirection;
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, flags, nullptr, &path);
    if (result == S_OK) _wputenv_s(utf8ToWide(variableName).c_str(), path);
    CoTaskMemFree(path);  // also after a failure, which may leave a buffer
    return static_cast<uint32_t>(result);
  }

  void debugOutputNarrow(const std::string& text) override { OutputDebugStringA(text.c_str()); }

  void debugOutputWide(const std::string& text) override {
    OutputDebugStringW(utf8ToWide(text).c_str());
  }

  void writeStandardError(const std::string& text) override {
    std::fprintf(stderr, "%s", text.c_str());
  }

  void showErrorBox(const char* caption, const char* text) override {
    MessageBoxA(nullptr, text, caption, kErrorBoxType);
  }

  void setUpUtf8Console() override {
    SetConsoleOutputCP(kUtf8CodePage);
    SetConsoleCP(kUtf8CodePage);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
      SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
  }

  // The size is the thread's initial commit, not a reservation: no
  // STACK_SIZE_PARAM_IS_A_RESERVATION. The handle is never closed.
  bool runOnNewThread(uint32_t stackSize, void (*routine)(void*), void* work) override {
    ThreadTask task{routine, work};  // lives until the wait below
    HANDLE thread =
        CreateThread(nullptr, static_cast<SIZE_T>(stackSize), javaThreadStart, &task, 0, nullptr);
    if (thread == nullptr) return false;
    WaitForSingleObject(thread, INFINITE);
    return true;
  }

  [[noreturn]] void exitProcess(int code) override { std::exit(code); }

 private:
  Win32DirectorySearch search_;
};

}  // namespace

Platform& systemPlatform() {
  static Win32Platform platform;
  return platform;
}

}  // namespace plenwick
