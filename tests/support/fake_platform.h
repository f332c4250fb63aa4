// A scripted platform for unit tests: answers from tables, logs every effect.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace plenwick {

// Thrown by FakePlatform::exitProcess, so a test sees the code of a fatal path.
struct FakeExit {
  int code;
};

// Each pattern finds its listed names (a trailing "/": a directory), others nothing.
class FakeDirectorySearch final : public DirectorySearch {
 public:
  using Listings = std::map<std::string, std::vector<std::string>>;
  explicit FakeDirectorySearch(Listings listings = {}) : listings_(std::move(listings)) {}

  void search(const std::string& pattern, const Visitor& visit) override {
    for (const std::string& name : listings_[pattern]) {
      const bool directory = name.back() == '/';
      visit(name.substr(0, name.size() - directory).c_str(), directory);
    }
  }

 private:
  Listings listings_;
};

// The log holds one line per effect: "?VAR local+" (a known-folder query, "+"
// redirected, "-" real), "VAR=value", "debugA:", "debugW:", "stderr:" and
// "box:" with their text, "console", "thread <stack size>".
class FakePlatform final : public Platform {
 public:
  explicit FakePlatform(const PathConventions& conventions = kWindowsConventions)
      : conventions_(conventions) {}

  // Result codes of the next known-folder queries; kFolderOk once they run out.
  std::deque<uint32_t> folderResults;
  std::map<std::string, std::string> environment;
  std::string executable = "C:\\Program Files\\App\\bin\\app.exe";
  FakeDirectorySearch search;
  bool threadCreationFails = false;
  std::vector<std::string> log;

  std::string standardError() const {
    std::string text;
    for (const std::string& line : log) {
      if (line.rfind("stderr:", 0) == 0) text += line.substr(7);
    }
    return text;
  }

  const PathConventions& conventions() const override { return conventions_; }
  std::string executablePath() override { return executable; }
  const char* getEnvironment(const char* name) override {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  }
  void putEnvironment(const std::string& assignment) override {
    log.push_back(assignment);
    const std::size_t equals = assignment.find('=');
    environment[assignment.substr(0, equals)] = assignment.substr(equals + 1);
    if (equals + 1 == assignment.size()) environment.erase(assignment.substr(0, equals));
  }
  DirectorySearch& directorySearch() override { return search; }

  // A successful query sets P\<Local|Roaming> when redirected, U\<...> otherwise.
  uint32_t exportKnownFolderPath(KnownFolder folder, bool redirected,
                                 const char* variableName) override {
    const bool local = folder == KnownFolder::LocalAppData;
    log.push_back(std::string("?") + variableName + (local ? " local" : " roaming") +
                  (redirected ? "+" : "-"));
    const uint32_t result = folderResults.empty() ? kFolderOk : folderResults.front();
    if (!folderResults.empty()) folderResults.pop_front();
    if (result == kFolderOk) {
      putEnvironment(std::string(variableName) + (redirected ? "=P\\" : "=U\\") +
                     (local ? "Local" : "Roaming"));
    }
    return result;
  }
  void debugOutputNarrow(const std::string& text) override { log.push_back("debugA:" + text); }
  void debugOutputWide(const std::string& text) override { log.push_back("debugW:" + text); }
  void writeStandardError(const std::string& text) override { log.push_back("stderr:" + text); }
  void showErrorBox(const char* caption, const char* text) override {
    log.push_back(std::string("box:") + caption + "|" + text);
  }
  void setUpUtf8Console() override { log.push_back("console"); }
  bool runOnNewThread(uint32_t stackSize, void (*routine)(void*), void* work) override {
    log.push_back("thread " + std::to_string(stackSize));
    if (threadCreationFails) return false;
    routine(work);
    return true;
  }
  [[noreturn]] void exitProcess(int code) override { throw FakeExit{code}; }

 private:
  PathConventions conventions_;
};

}  // namespace plenwick
