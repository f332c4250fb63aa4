#include "tools/pack/cli/image_command.h"

#include <cstdio>

#include "tools/pack/app/app_options.h"
#include "tools/pack/cli/console_reporter.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/files/tree_size.h"
#include "tools/pack/image/image_builder.h"
#include "tools/pack/plan/plan_image.h"

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
    "  --app-content-to PATH    where in app/ the --app-content before it goes\n"
    "                           (default: under its own name)\n"
    "  --exclude GLOB           a path in app/ left out of appFolder and appContent;\n"
    "                           * and ? within a name, ** any folders (repeat)  [exclude]\n"
    "  --main-jar NAME          the main jar's path in app/; its manifest's\n"
    "                           Main-Class is the default main class            [mainJar]\n"
    "  --target TARGET          linux-x64 (default), windows-x64, windows-arm64 [target]\n"
    "  --jdk DIR                JDK to make the runtime from with jlink         [jdk]\n"
    "  --runtime DIR            or a prepared runtime to copy (Windows targets)  [runtime]\n"
    "  --module NAME            a module for jlink (repeat; default: from jdeps) [modules]\n"
    "  --add-module NAME        a module added to those (repeat)                 [addModules]\n"
    "  --no-default-modules     leave out the providers jdeps cannot see: jdk.crypto.ec,\n"
    "                           jdk.localedata, jdk.charsets, jdk.zipfs          [defaultModules]\n"
    "  --locale TAG             keep only these locales' data (repeat)           [locales]\n"
    "  --keep-java-command      keep the runtime's bin/java                      "
    "[keepJavaCommand]\n"
    "  --compress-runtime       a smaller runtime that starts slower             "
    "[compressRuntime]\n"
    "  --icon PNG               one square PNG of 256 px or more, or five PNGs of\n"
    "                           16, 32, 64, 128 and 256 px (repeat; Windows)     [icons]\n"
    "  --app-cds, --no-app-cds  a class cache of the application made by a training\n"
    "                           run: AppCDS (runtime 19-24) or AOT (25+); by\n"
    "                           default one of the JDK classes the run loads;\n"
    "                           --no-app-cds: none (see the docs)            [appCds]\n"
    "  --training-arg ARGUMENT  argument for the training run (repeat)           "
    "[trainingArguments]\n"
    "  --launcher FILE          the unpacked launcher (default: the one built\n"
    "                           beside plenwick-pack for the target)            [launcher]\n"
    "  --bootstrap-jar FILE     plenwick-bootstrap.jar (default: beside plenwick-pack) "
    "[bootstrapJar]\n"
    "  --output DIR             the image directory to create                   [output]\n"
    "  --force                  replace an earlier image made by plenwick-pack\n"
    "  --quiet                  say nothing but errors\n"
    "  --publisher, --upgrade-code, --installer  installer settings (plenwick-pack\n"
    "                           installer --help); a \"sign\" section in the file signs\n"
    "                           the Windows launcher (plenwick-pack sign --help)\n"
    "\n"
    "Required: name, mainClass (or mainJar), jars (or appFolder/appContent), output.\n"
    "Native libraries (.so, .dll) in app/ go on java.library.path by themselves.\n"
    "Exit codes: 0 done, 1 failed, 2 wrong usage, 130/143/129 interrupted.\n";

int failed(const std::string& message) {
  std::fprintf(stderr, "plenwick-pack image: %s\n", message.c_str());
  return kExitFailed;
}

}  // namespace

int readImageConfig(const std::string& command, const std::vector<std::string>& args,
                    AppSettings* settings, ImagePlan* plan, bool* help) {
  std::string error;
  if (parseImageArguments(args, *settings, help, &error) && *help) return kExitOk;
  if (error.empty() && planImage(*settings, plan, &error)) return kExitOk;
  std::fprintf(stderr, "plenwick-pack %s: %s\n(plenwick-pack %s --help lists the options)\n",
               command.c_str(), error.c_str(), command.c_str());
  return kExitUsage;
}

int imageCommand(const std::vector<std::string>& args) {
  AppSettings settings;
  ImagePlan plan;
  bool help = false;
  const int status = readImageConfig("image", args, &settings, &plan, &help);
  if (help) std::fputs(kImageUsage, stdout);
  if (help || status != kExitOk) return status;
  ConsoleReporter reporter(settings.quiet);
  std::string error;
  if (!makeImage(plan, reporter, &error)) return failed(error);
  reporter.note("image: " + plan.output + " (" + megabytes(treeSize(plan.output)) +
                "; start it with " + launcherPath(plan, plan.output) + ")");
  return kExitOk;
}

}  // namespace plenwick
