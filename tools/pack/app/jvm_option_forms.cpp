#include "tools/pack/app/jvm_option_forms.h"

#include <string_view>

namespace plenwick {
namespace {

// The java command's options whose value may be the next word, and the name
// the JVM knows them by (only with "=VALUE").
struct TwoWordForm {
  std::string_view name;
  std::string_view jvmName;
};
constexpr TwoWordForm kTwoWordForms[] = {
    {"--add-exports", "--add-exports"},
    {"--add-opens", "--add-opens"},
    {"--add-modules", "--add-modules"},
    {"--add-reads", "--add-reads"},
    {"--patch-module", "--patch-module"},
    {"--module-path", "--module-path"},
    {"-p", "--module-path"},
    {"--upgrade-module-path", "--upgrade-module-path"},
    {"--limit-modules", "--limit-modules"},
    {"--enable-native-access", "--enable-native-access"},
};

constexpr const char* kPrintsAndExits =
    "only makes the java command print something and exit; remove it";
constexpr const char* kPicksJvm =
    "picks a JVM in the java command; the image's runtime has one: remove it";

// The java command's own options: each alone, or followed by '=' or ':' and a value.
struct CommandOnlyOption {
  std::string_view name;
  const char* fix;
};
constexpr CommandOnlyOption kCommandOnly[] = {
    {"-jar",
     "name the main jar with 'mainJar' (its manifest's Main-Class becomes the main class); "
     "the jars go in 'jars' or the app content"},
    {"-splash",
     "is not supported: the java command shows the splash image itself before it creates the "
     "JVM, a step a launcher that creates the JVM through JNI does not have; open a window "
     "from the main class instead"},
    {"--source", "runs a source file; compile it and give its jar in 'jars'"},
    {"-m", "starts a main module; give the main class with 'mainClass' and its jar in 'jars'"},
    {"--module",
     "starts a main module; give the main class with 'mainClass' and its jar in 'jars'"},
    {"-version", kPrintsAndExits},
    {"--version", kPrintsAndExits},
    {"-showversion", kPrintsAndExits},
    {"--show-version", kPrintsAndExits},
    {"-fullversion", kPrintsAndExits},
    {"--full-version", kPrintsAndExits},
    {"-help", kPrintsAndExits},
    {"--help", kPrintsAndExits},
    {"-h", kPrintsAndExits},
    {"-?", kPrintsAndExits},
    {"-X", kPrintsAndExits},
    {"--help-extra", kPrintsAndExits},
    {"-XshowSettings", kPrintsAndExits},
    {"--dry-run", kPrintsAndExits},
    {"--list-modules", kPrintsAndExits},
    {"-d", kPrintsAndExits},
    {"--describe-module", kPrintsAndExits},
    {"--validate-modules", kPrintsAndExits},
    {"-Xdiag", "changes the java command's own error messages; remove it"},
    {"--disable-@files", "changes how the java command reads its arguments; remove it"},
    {"-client", kPicksJvm},
    {"-server", kPicksJvm},
    {"-d32", kPicksJvm},
    {"-d64", kPicksJvm},
};

bool isNamed(std::string_view option, std::string_view name) {
  if (option.substr(0, name.size()) != name) return false;
  return option.size() == name.size() || option[name.size()] == '=' || option[name.size()] == ':';
}

// The fix for an option only the java command handles, or null.
const char* commandOnlyFix(std::string_view option) {
  if (!option.empty() && option[0] == '@') {
    return "argument files are read by the java command only; give their options one "
           "by one, one option per entry";
  }
  for (const CommandOnlyOption& known : kCommandOnly) {
    if (isNamed(option, known.name)) return known.fix;
  }
  return nullptr;
}

// The two-word form `option` starts, alone or with a blank and its value.
const TwoWordForm* twoWordForm(std::string_view option) {
  for (const TwoWordForm& form : kTwoWordForms) {
    if (option.substr(0, form.name.size()) != form.name) continue;
    if (option.size() == form.name.size() || option[form.name.size()] == ' ') return &form;
  }
  return nullptr;
}

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

}  // namespace

bool toJvmOptionForms(const std::vector<std::string>& written, JvmOptionForms* forms,
                      std::string* err) {
  *forms = JvmOptionForms();
  for (std::size_t i = 0; i < written.size(); ++i) {
    const std::string& option = written[i];
    if (const char* fix = commandOnlyFix(option)) {
      *err = quoted(option) +
             " is an option of the java command, which a JVM created through "
             "JNI refuses: " +
             fix;
      return false;
    }
    const TwoWordForm* form = twoWordForm(option);
    if (form == nullptr) {
      forms->options.push_back(option);
      continue;
    }
    std::string value;
    const std::size_t start = option.find_first_not_of(' ', form->name.size());
    if (start != std::string::npos) {
      value = option.substr(start);
    } else if (i + 1 < written.size()) {
      value = written[++i];
    } else {
      *err = quoted(option) + " needs a value: write " + std::string(form->jvmName) + "=VALUE";
      return false;
    }
    forms->options.push_back(std::string(form->jvmName) + "=" + value);
    forms->note += (forms->note.empty() ? "" : ", ") + quoted(forms->options.back());
  }
  if (!forms->note.empty()) {
    forms->note = "written as the JVM takes them (one word, with '='): " + forms->note;
  }
  return true;
}

}  // namespace plenwick
