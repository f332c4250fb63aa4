#include "options/home_tilde.h"

namespace plenwick {
namespace {

constexpr std::size_t kPatternLength = 3;  // "=~/" or ";~/"

// One pass for `pattern`. Copies the option into a new string once, so the
// cost stays linear however many matches there are. Searching the original
// text is what resuming behind the inserted profile means: the inserted text
// ends in a separator, so no match can start inside it.
void expandAfter(std::string& option, const std::string& pattern,
                 const PathConventions& conventions, const EnvironmentLookup& getEnvironment) {
  std::size_t match = option.find(pattern);
  if (match == std::string::npos) return;
  std::string expanded;
  expanded.reserve(option.size());
  std::size_t copied = 0;
  for (; match != std::string::npos; match = option.find(pattern, copied)) {
    const char* home = getEnvironment(conventions.profileVariable);
    const bool usable = home != nullptr && *home != '\0';
    expanded.append(option, copied, match + (usable ? 1 : kPatternLength) - copied);
    if (usable) (expanded += home) += conventions.separator;
    copied = match + kPatternLength;
  }
  expanded.append(option, copied, std::string::npos);
  option.swap(expanded);
}

// A leading "~/" needs only a defined profile: an empty one leaves the separator.
void expandLeading(std::string& option, const PathConventions& conventions,
                   const EnvironmentLookup& getEnvironment) {
  if (option.compare(0, 2, "~/") != 0) return;
  const char* home = getEnvironment(conventions.profileVariable);
  if (home == nullptr) return;
  option.replace(0, 2, std::string(home) + conventions.separator);
}

}  // namespace

void expandHomeTilde(std::string& option, const PathConventions& conventions,
                     const EnvironmentLookup& getEnvironment) {
  expandAfter(option, "=~/", conventions, getEnvironment);
  expandAfter(option, std::string(1, conventions.listSeparator) + "~/", conventions,
              getEnvironment);
  expandLeading(option, conventions, getEnvironment);
}

}  // namespace plenwick
