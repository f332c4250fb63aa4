#include "options/class_path_option.h"

namespace plenwick {
namespace {

constexpr std::string_view kClassPathProperty = "-Djava.class.path";
// A flag's value may also follow a blank: the launcher sees one option string.
constexpr std::string_view kClassPathFlags[] = {"-cp", "-classpath", "--class-path"};

// Where the value starts when `option` begins with `name` and `name` ends
// there, `separators` naming what may stand between the two; npos otherwise.
std::size_t valueAfter(std::string_view option, std::string_view name,
                       std::string_view separators) {
  if (option.substr(0, name.size()) != name) return std::string_view::npos;
  if (option.size() == name.size()) return option.size();
  if (separators.find(option[name.size()]) == std::string_view::npos) {
    return std::string_view::npos;
  }
  return name.size() + 1;
}

}  // namespace

std::size_t classPathValueStart(std::string_view option) {
  std::size_t start = valueAfter(option, kClassPathProperty, "=");
  for (const std::string_view flag : kClassPathFlags) {
    if (start == std::string_view::npos) start = valueAfter(option, flag, "= ");
  }
  return start;
}

}  // namespace plenwick
