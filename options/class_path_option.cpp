#include "options/class_path_option.h"

namespace plenwick {
namespace {

constexpr std::string_view kPropertyPrefix = "-Djava.class.path=";
// Options whose value follows after "=" or a blank, or as the next option.
constexpr std::string_view kClassPathFlags[] = {"-cp", "-classpath", "--class-path"};
// In priority order: the first that occurs anywhere in the text wins.
constexpr std::string_view kValuePrefixes[] = {kPropertyPrefix, "-cp ", "-classpath "};

}  // namespace

bool setsClassPath(std::string_view option) {
  if (option.substr(0, kPropertyPrefix.size()) == kPropertyPrefix) return true;
  for (const std::string_view flag : kClassPathFlags) {
    if (option.substr(0, flag.size()) != flag) continue;
    if (option.size() == flag.size() || option[flag.size()] == '=' || option[flag.size()] == ' ') {
      return true;
    }
  }
  return false;
}

std::size_t classPathValueStart(std::string_view text) {
  for (const std::string_view prefix : kValuePrefixes) {
    const std::size_t at = text.find(prefix);
    if (at != std::string_view::npos) return at + prefix.size();
  }
  return std::string_view::npos;
}

}  // namespace plenwick
