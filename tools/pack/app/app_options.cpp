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
  if (field.list != nullptr) {
    if (listsSeen.insert(field.key).second) (config.*field.list).clear();
    (config.*field.list).push_back(value);
  } else {
    config.*field.text = value;
  }
  config.origin[field.key] = std::string("option --") + field.option;
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
    if (field == nullptr) {
      *err = "unknown option " + arg;
      return false;
    }
    if (i + 1 >= args.size()) {
      *err = arg + " needs a value";
      return false;
    }
    if (!applyValue(*field, args[++i], listsSeen, config, err)) return false;
  }
  return true;
}

}  // namespace plenwick
