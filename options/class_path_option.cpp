#include "options/class_path_option.h"

namespace plenwick {
namespace {

// In priority order: the first that occurs anywhere in the option wins.
constexpr std::string_view kValuePrefixes[] = {"-Djava.class.path=", "-cp ", "-classpath "};
// The java command's own names, alone or followed by "=" or a blank.
constexpr std::string_view kCommandForms[] = {"-Djava.class.path", "-cp", "-classpath",
                                              "--class-path"};

bool isCommandForm(std::string_view option) {
  for (const std::string_view name : kCommandForms) {
    if (option.substr(0, name.size()) != name) continue;
    if (option.size() == name.size() || option[name.size()] == '=' || option[name.size()] == ' ') {
      return true;
    }
  }
  return false;
}

}  // namespace

std::size_t classPathValueStart(std::string_view option) {
  for (const std::string_view prefix : kValuePrefixes) {
    const std::size_t at = option.find(prefix);
    if (at != std::string_view::npos) return at + prefix.size();
  }
  return std::string_view::npos;
}

bool setsClassPath(std::string_view option) {
  return classPathValueStart(option) != std::string_view::npos || isCommandForm(option);
}

}  // namespace plenwick
