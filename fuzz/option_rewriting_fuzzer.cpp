// Any option, install root, home directory and directory listing through the
// three rewriting steps: they must end, never crash, and keep their invariants.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "options/class_path_option.h"
#include "options/class_path_wildcards.h"
#include "options/home_tilde.h"
#include "options/install_root.h"
#include "options/jvm_options.h"

namespace {

using plenwick::PathConventions;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "option_rewriting_fuzzer: %s\n", what);
    std::abort();
  }
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Yields the same listing for every pattern and remembers the patterns asked for.
class ListingSearch final : public plenwick::DirectorySearch {
 public:
  struct Entry {
    std::string name;
    bool isDirectory;
  };
  std::vector<Entry> listing;
  std::vector<std::string> patterns;

  void search(const std::string& pattern, const Visitor& visit) override {
    patterns.push_back(pattern);
    for (const Entry& entry : listing) visit(entry.name.c_str(), entry.isDirectory);
  }
};

// Properties only, never the rules again: the text before the class path
// stays, an option without one is neither changed nor searched, and every
// search is for text that stands in the class path.
void checkWildcardStep(const std::string& before, const std::string& after,
                       const ListingSearch& search) {
  const std::size_t start = plenwick::classPathValueStart(before);
  if (start == std::string::npos) {
    check(after == before, "an option without a class path was changed");
    check(search.patterns.empty(), "an option without a class path was searched");
    return;
  }
  check(after.compare(0, start, before, 0, start) == 0, "text before the class path changed");
  for (const std::string& pattern : search.patterns) {
    check(before.find(pattern, start) != std::string::npos, "a search for text not in the option");
  }
}

void checkHomeStep(const std::string& before, const std::string& after,
                   const PathConventions& conventions, const std::optional<std::string>& home) {
  if (!home) {
    check(after == before, "an unset home changed the option");
    return;
  }
  if (home->empty()) {
    // Only a leading "~/" is rewritten, into the separator alone.
    const bool leading = before.compare(0, 2, "~/") == 0;
    check(after == (leading ? std::string(1, conventions.separator) + before.substr(2) : before),
          "an empty home changed more than a leading ~/");
    return;
  }
  if (contains(*home, "~")) return;  // inserted text may hold "~/" of its own
  check(!contains(after, "=~/"), "a ~/ after = survived");
  check(!contains(after, std::string(1, conventions.listSeparator) + "~/"),
        "a ~/ after the list separator survived");
  check(after.compare(0, 2, "~/") != 0, "a leading ~/ survived");
  check(after.size() >= before.size(), "the option shrank");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const PathConventions& conventions =
      input.ConsumeBool() ? plenwick::kWindowsConventions : plenwick::kPosixConventions;
  const std::string executable = input.ConsumeRandomLengthString(64);
  std::optional<std::string> home;
  if (input.ConsumeBool()) {
    home = input.ConsumeRandomLengthString(48);
    home->resize(std::strlen(home->c_str()));  // an environment value ends at its NUL
  }
  ListingSearch search;
  const std::size_t files = input.ConsumeIntegralInRange<std::size_t>(0, 4);
  for (std::size_t i = 0; i < files; ++i) {
    const bool isDirectory = input.ConsumeBool();
    search.listing.push_back({input.ConsumeRandomLengthString(16), isDirectory});
  }
  const std::string option = input.ConsumeRemainingBytesAsString();

  const std::string installRoot = plenwick::computeInstallRoot(executable, conventions.separator);
  const std::string appDir = plenwick::appDirFor(installRoot, conventions.separator);
  const plenwick::EnvironmentLookup lookup = [&](const char* name) -> const char* {
    return std::string(name) == conventions.profileVariable && home ? home->c_str() : nullptr;
  };

  // Step 1: the token. Without "&" in the directory no token survives.
  std::string afterToken = option;
  plenwick::substituteAppDirToken(afterToken, appDir);
  if (!contains(appDir, "&")) check(!contains(afterToken, "&&"), "a && survived");
  if (!contains(option, "&&")) check(afterToken == option, "an option without && changed");

  // Step 2: home.
  std::string afterHome = afterToken;
  plenwick::expandHomeTilde(afterHome, conventions, lookup);
  checkHomeStep(afterToken, afterHome, conventions, home);

  // Step 3: class-path wildcards.
  std::string afterWildcards = afterHome;
  plenwick::expandClassPathWildcards(afterWildcards, conventions, search);
  checkWildcardStep(afterHome, afterWildcards, search);

  // The combined step does exactly these three, in this order.
  ListingSearch again;
  again.listing = search.listing;
  std::string prepared = option;
  plenwick::prepareJvmOption(prepared, {conventions, appDir, lookup, again});
  check(prepared == afterWildcards, "prepareJvmOption differs from the three steps in order");
  return 0;
}
