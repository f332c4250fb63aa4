#include "tools/pack/cli/write_command.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/launch_flags.h"
#include "config/region_locator.h"
#include "tools/pack/app/jvm_option_forms.h"
#include "tools/pack/app/stack_size.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/launcher/launcher_file.h"
#include "tools/pack/pe/pe_file.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {
namespace {

constexpr const char* kWriteUsageStart =
    "Usage: plenwick-pack write --launcher FILE --output FILE --main-class NAME [options]\n"
    "\n"
    "Copies a launcher and writes the application's launch settings into it.\n"
    "\n"
    "  --launcher FILE            the launcher to copy (unpacked or already packed)\n"
    "  --output FILE              where to write the packed launcher\n"
    "  --main-class NAME          the application's main class, e.g. com.example.App\n"
    "  --jvm-option OPTION        a JVM option (repeatable, at most 255)\n"
    "  --arg ARGUMENT             a default application argument (repeatable, at most 255)\n"
    "  --stack-size SIZE          stack of the Java thread: bytes, or with K or M (e.g. 2M)\n";

std::string writeUsage() {
  std::string usage = kWriteUsageStart;
  for (const LaunchFlag& flag : kLaunchFlags) {
    std::string option = std::string("--") + flag.option;
    option.resize(std::max<std::size_t>(option.size() + 1, 27), ' ');
    usage += "  " + option + flag.meaning + "\n";
  }
  return usage;
}

int usageError(const std::string& message) {
  std::fprintf(stderr, "plenwick-pack write: %s\n\n%s", message.c_str(), writeUsage().c_str());
  return kExitUsage;
}

bool setFlag(const std::string& arg, LaunchConfig& config) {
  for (const LaunchFlag& flag : kLaunchFlags) {
    if (arg == std::string("--") + flag.option) {
      config.*flag.field = true;
      return true;
    }
  }
  return false;
}

// Also true for two names of one file (a hard link, or a path through a link).
bool sameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A signed launcher packed again would carry a signature that no longer verifies.
bool refuseSignedLauncher(const LauncherFile& launcher, std::string* err) {
  PeFile pe;
  std::string notPe;
  if (!parsePe(launcher.bytes, pe, &notPe) || refuseSigned(pe, err)) return true;
  return false;
}

}  // namespace

int writeCommand(const std::vector<std::string>& args) {
  LaunchConfig config;
  std::string launcherPath, outputPath;
  bool haveMainClass = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(writeUsage().c_str(), stdout);
      return kExitOk;
    }
    if (setFlag(arg, config)) continue;
    if (i + 1 >= args.size()) return usageError("unknown option or missing value: " + arg);
    const std::string& value = args[++i];
    if (arg == "--launcher") {
      launcherPath = value;
    } else if (arg == "--output") {
      outputPath = value;
    } else if (arg == "--main-class") {
      config.mainClass = value;
      haveMainClass = true;
    } else if (arg == "--jvm-option") {
      config.jvmOptions.push_back(value);
    } else if (arg == "--arg") {
      config.appArguments.push_back(value);
    } else if (arg == "--stack-size") {
      if (!parseStackSize(value, config.threadStackSize)) {
        return usageError("invalid stack size '" + value +
                          "': give bytes, or a number with K or M, below 4 GiB");
      }
    } else {
      return usageError("unknown option: " + arg);
    }
  }
  if (launcherPath.empty()) return usageError("--launcher is required");
  if (outputPath.empty()) return usageError("--output is required");
  if (!haveMainClass) return usageError("--main-class is required");
  JvmOptionForms forms;
  std::string error;
  if (!toJvmOptionForms(config.jvmOptions, &forms, &error)) {
    return usageError("--jvm-option " + error);
  }
  if (!forms.note.empty()) std::printf("--jvm-option: %s\n", forms.note.c_str());
  config.jvmOptions = forms.options;

  LauncherFile image;
  if (!readLauncher(launcherPath, image, &error) || !refuseSignedLauncher(image, &error) ||
      !writeLaunchConfigBlock(config, image.bytes, &error)) {
    std::fprintf(stderr, "plenwick-pack write: %s\n", error.c_str());
    return kExitFailed;
  }
  updateChecksum(image.bytes);
  if (sameFile(launcherPath, outputPath)) {
    std::fprintf(stderr,
                 "plenwick-pack write: %s is the launcher given with --launcher, which is only "
                 "read; write the packed launcher to another file\n",
                 outputPath.c_str());
    return kExitFailed;
  }
  if (!checkFileOutput(outputPath, surroundingsOf({launcherPath}), &outputPath, &error) ||
      !writeFileAtomically(outputPath, image.bytes, 0777, &error)) {
    std::fprintf(stderr, "plenwick-pack write: %s\n", error.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace plenwick
