// A scripted platform and directory search for unit tests: answers queries from
// tables and records, in order, everything the launcher does through it.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace plenwick {

// One observable effect of the launcher on the platform.
struct FakeEvent {
  enum class Kind {
    Query,
    SetEnvironment,
    DebugNarrow,
    DebugWide,
    StandardError,
    ErrorBox,
    Console,
    Thread
  };
  Kind kind;
  std::string first;   // query: the variable; environment: the assignment; box: the caption;
                       // thread: the stack size
  std::string second;  // query: "local"/"roaming" and "redirected"/"real"; box: the text
  bool operator==(const FakeEvent& other) const {
    return kind == other.kind && first == other.first && second == other.second;
  }
};

// Thrown by FakePlatform::exitProcess, so a test sees the code of a fatal path.
struct FakeExit {
  int code;
};

// Answers each pattern with the records listed for it, in the listed order;
// any other pattern behaves like a search that cannot be made.
class FakeDirectorySearch final : public DirectorySearch {
 public:
  struct Record {
    std::string name;
    bool isDirectory;
  };
  using Listings = std::map<std::string, std::vector<Record>>;

  explicit FakeDirectorySearch(Listings listings = {}) : listings_(std::move(listings)) {}

  void search(const std::string& pattern, const Visitor& visit) override {
    const auto found = listings_.find(pattern);
    if (found == listings_.end()) return;
    for (const Record& record : found->second) visit(record.name.c_str(), record.isDirectory);
  }

 private:
  Listings listings_;
};

class FakePlatform final : public Platform {
 public:
  explicit FakePlatform(const PathConventions& conventions = kWindowsConventions)
      : conventions_(conventions) {}

  // Result codes of the next known-folder queries, in call order; kFolderOk
  // once they run out.
  std::deque<uint32_t> folderResults;
  std::map<std::string, std::string> environment;
  std::string executable = "C:\\Program Files\\App\\bin\\app.exe";
  FakeDirectorySearch search;
  bool threadCreationFails = false;
  std::vector<FakeEvent> events;

  // Everything written to standard error, in order.
  std::string standardError() const {
    std::string text;
    for (const FakeEvent& event : events) {
      if (event.kind == FakeEvent::Kind::StandardError) text += event.first;
    }
    return text;
  }

  static std::string queryText(KnownFolder folder, bool redirected) {
    return std::string(folder == KnownFolder::LocalAppData ? "local" : "roaming") +
           (redirected ? " redirected" : " real");
  }

  const PathConventions& conventions() const override { return conventions_; }
  std::string executablePath() override { return executable; }

  const char* getEnvironment(const char* name) override {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  }

  void putEnvironment(const std::string& assignment) override {
    events.push_back({FakeEvent::Kind::SetEnvironment, assignment, {}});
    const std::size_t equals = assignment.find('=');
    const std::string value = assignment.substr(equals + 1);
    if (value.empty()) {
      environment.erase(assignment.substr(0, equals));
    } else {
      environment[assignment.substr(0, equals)] = value;
    }
  }

  DirectorySearch& directorySearch() override { return search; }

  // A successful query yields C:\Packages\App\<Local|Roaming> when redirected,
  // C:\Users\u\AppData\<Local|Roaming> otherwise.
  uint32_t exportKnownFolderPath(KnownFolder folder, bool redirected,
                                 const char* variableName) override {
    events.push_back({FakeEvent::Kind::Query, variableName, queryText(folder, redirected)});
    const uint32_t result = folderResults.empty() ? kFolderOk : folderResults.front();
    if (!folderResults.empty()) folderResults.pop_front();
    if (result == kFolderOk) {
      const std::string name = folder == KnownFolder::LocalAppData ? "Local" : "Roaming";
      putEnvironment(std::string(variableName) + "=" +
                     (redirected ? "C:\\Packages\\App\\" : "C:\\Users\\u\\AppData\\") + name);
    }
    return result;
  }

  void debugOutputNarrow(const std::string& text) override {
    events.push_back({FakeEvent::Kind::DebugNarrow, text, {}});
  }
  void debugOutputWide(const std::string& text) override {
    events.push_back({FakeEvent::Kind::DebugWide, text, {}});
  }
  void writeStandardError(const std::string& text) override {
    events.push_back({FakeEvent::Kind::StandardError, text, {}});
  }
  void showErrorBox(const char* caption, const char* text) override {
    events.push_back({FakeEvent::Kind::ErrorBox, caption, text});
  }

  void setUpUtf8Console() override { events.push_back({FakeEvent::Kind::Console, {}, {}}); }

  bool runOnNewThread(uint32_t stackSize, void (*routine)()) override {
    events.push_back({FakeEvent::Kind::Thread, std::to_string(stackSize), {}});
    if (threadCreationFails) return false;
    routine();
    return true;
  }

  [[noreturn]] void exitProcess(int code) override { throw FakeExit{code}; }

 private:
  PathConventions conventions_;
};

}  // namespace plenwick
