#include "tools/pack/app/app_options.h"

#include <set>

#include "tools/pack/app/app_fields.h"
#include "tools/pack/app/config_file.h"

namespace plenwick {
namespace {

bool applyFlag(const std::string& option, AppSettings& config) {
  const bool negated = option.rfind("no-", 0) == 0;
  const AppField* field = findFieldByOption(negated ? option.substr(3) : option);
  if (field == nullptr || field->kind != FieldKind::kBool) return false;
  flagIn(config, *field) = !negated;
  config.origin[field->key] = "option --" + option;
  return true;
}

bool applyValue(const AppField& field, const std::string& value, std::set<std::string>& listsSeen,
                AppSettings& config, std::string* err) {
  if (!checkNoNul(value, std::string("option --") + field.option, err)) return false;
  if (field.content != nullptr) {
    if (listsSeen.insert(field.key).second) (config.*field.content).clear();
    (config.*field.content).push_back({value, ""});
  } else if (field.list != nullptr) {
    if (listsSeen.insert(field.key).second) (config.*field.list).clear();
    (config.*field.list).push_back(value);
  } else {
    config.*field.text = value;
  }
  config.origin[field.key] = std::string("option --") + field.option;
  return true;
}

// The place in app/ of the --app-content just before: an option of its own,
// as any character of a path may also stand in a file name, so no separator
// inside one value could tell the two apart.
bool placeLastContent(const std::string& to, const std::set<std::string>& listsSeen,
                      AppSettings& config, std::string* err) {
  if (!checkNoNul(to, "option --app-content-to", err)) return false;
  if (listsSeen.count("appContent") == 0 || !config.appContent.back().to.empty() || to.empty()) {
    *err =
        "option --app-content-to gives one path in app/ for the --app-content just before it: "
        "--app-content FROM --app-content-to PATH-IN-APP";
    return false;
  }
  config.appContent.back().to = to;
  return true;
}

}  // namespace

bool parseImageArguments(const std::vector<std::string>& args, AppSettings& config, bool* help,
                         std::string* err) {
  std::size_t i = 0;
  if (!args.empty() && !args[0].empty() && args[0][0] != '-') {
    if (!loadAppConfigFile(args[0], config, err)) return false;
    i = 1;
  }
  std::set<std::string> listsSeen;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      *help = true;
      return true;
    }
    if (arg.rfind("--", 0) != 0) {
      *err = "unexpected argument '" + arg + "'";
      return false;
    }
    const std::string option = arg.substr(2);
    if (option == "force" || option == "quiet") {
      (option == "force" ? config.force : config.quiet) = true;
      continue;
    }
    if (applyFlag(option, config)) continue;
    const AppField* field = findFieldByOption(option);
    if (field == nullptr && option != "app-content-to") {
      *err = "unknown option " + arg;
      return false;
    }
    if (i + 1 >= args.size()) {
      *err = arg + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (field == nullptr ? !placeLastContent(value, listsSeen, config, err)
                         : !applyValue(*field, value, listsSeen, config, err)) {
      return false;
    }
  }
  return true;
}

}  // namespace plenwick
