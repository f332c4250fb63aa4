// Command-line options of `plenwick-pack image`.
#include <set>

#include "tools/pack/app_config.h"
#include "tools/pack/app_fields.h"

namespace plenwick {
namespace {

constexpr const char* kImageUsage =
    "Usage: plenwick-pack image [CONFIG.json] [options]\n"
    "\n"
    "Lays out a complete application image: bin/NAME (the packed launcher), the\n"
    "runtime, and app/ with the application's jars and plenwick-bootstrap.jar.\n"
    "Options override the configuration file; a list option replaces the file's list.\n"
    "\n"
    "  --name NAME              launcher file name (and Windows assembly name)   [name]\n"
    "  --display-name TEXT      the application's display name                  [displayName]\n"
    "  --version X.Y[.Z[.W]]    the application's version                       [version]\n"
    "  --main-class NAME        the application's main class                    [mainClass]\n"
    "  --jvm-option OPTION      a JVM option; \"&&\" stands for ROOT/app/ (repeat) [jvmOptions]\n"
    "  --arg ARGUMENT           a default application argument (repeat)         [arguments]\n"
    "  --stack-size SIZE        stack of the Java thread: bytes, or with K or M  [stackSize]\n"
    "  --run-on-calling-thread, --console-app, --utf8-console, --reserved-flag3,\n"
    "  --package-appdata-vars   the behaviour flags; --no-... clears one\n"
    "                           [runOnCallingThread, consoleApp, utf8Console,\n"
    "                            reservedFlag3, packageAppDataVars]\n"
    "  --jar PATH               a jar, or a directory of jars (repeat)           [jars]\n"
    "  --app-folder DIR         a folder whose whole content becomes app/       [appFolder]\n"
    "  --app-content PATH       a file or folder copied into app/ (repeat)      [appContent]\n"
    "  --main-jar NAME          the main jar's path in app/; its manifest's\n"
    "                           Main-Class is the default main class            [mainJar]\n"
    "  --target TARGET          linux-x64 (default), windows-x64, windows-arm64 [target]\n"
    "  --jdk DIR                JDK to make the runtime from with jlink         [jdk]\n"
    "  --runtime DIR            or a prepared runtime to copy (Windows targets)  [runtime]\n"
    "  --module NAME            a module for jlink (repeat; default: from jdeps) [modules]\n"
    "  --icon PNG               one square PNG of 256 px or more, or five PNGs of\n"
    "                           16, 32, 64, 128 and 256 px (repeat; Windows)     [icons]\n"
    "  --app-cds, --no-app-cds  application class-data archive (default: where the\n"
    "                           runtime can keep it valid after the image moves) [appCds]\n"
    "  --training-arg ARGUMENT  argument for the AppCDS training run (repeat)    "
    "[trainingArguments]\n"
    "  --launcher FILE          the unpacked launcher (default: the one built\n"
    "                           beside plenwick-pack for the target)            [launcher]\n"
    "  --bootstrap-jar FILE     plenwick-bootstrap.jar (default: beside plenwick-pack) "
    "[bootstrapJar]\n"
    "  --output DIR             the image directory to create                   [output]\n"
    "  --force                  replace an earlier image made by plenwick-pack\n"
    "\n"
    "Required: name, mainClass (or mainJar), jars (or appFolder/appContent), output.\n"
    "Native libraries (.so, .dll) in app/ go on java.library.path by themselves.\n"
    "Exit codes: 0 done, 1 failed, 2 wrong usage.\n";

bool applyFlag(const std::string& option, AppConfig& config) {
  const bool negated = option.rfind("no-", 0) == 0;
  const AppField* field = findFieldByOption(negated ? option.substr(3) : option);
  if (field == nullptr || field->kind != FieldKind::kBool) return false;
  config.*field->flag = !negated;
  config.origin[field->key] = "option --" + option;
  return true;
}

bool applyValue(const AppField& field, const std::string& value, std::set<std::string>& listsSeen,
                AppConfig& config) {
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

const char* imageUsage() {
  return kImageUsage;
}

OptionParse parseImageArguments(const std::vector<std::string>& args, AppConfig& config,
                                std::string& error) {
  std::size_t i = 0;
  if (!args.empty() && !args[0].empty() && args[0][0] != '-') {
    if (!loadAppConfigFile(args[0], config, error)) return OptionParse::kUsageError;
    i = 1;
  }
  std::set<std::string> listsSeen;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return OptionParse::kHelp;
    if (arg.rfind("--", 0) != 0)
      return error = "unexpected argument '" + arg + "'", OptionParse::kUsageError;
    const std::string option = arg.substr(2);
    if (option == "force") {
      config.force = true;
      continue;
    }
    if (applyFlag(option, config)) continue;
    const AppField* field = findFieldByOption(option);
    if (field == nullptr) return error = "unknown option " + arg, OptionParse::kUsageError;
    if (i + 1 >= args.size()) return error = arg + " needs a value", OptionParse::kUsageError;
    applyValue(*field, args[++i], listsSeen, config);
  }
  return OptionParse::kOk;
}

}  // namespace plenwick
