#include "tools/pack/cli/show_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "config/launch_config.h"
#include "config/launch_flags.h"
#include "options/class_path_option.h"
#include "platform/conventions.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/files/image_marker.h"
#include "tools/pack/files/tree_size.h"
#include "tools/pack/launcher/launcher_file.h"
#include "tools/pack/release/authenticode.h"
#include "tools/pack/runtime/app_cds.h"
#include "tools/pack/text/printable.h"
#include "tools/pack/windows/windows_identity.h"

namespace plenwick {
namespace {

using nlohmann::json;

constexpr const char* kShowUsage =
    "Usage: plenwick-pack show [--json] LAUNCHER\n"
    "\n"
    "Prints the launch settings packed into a launcher (Linux or Windows) and,\n"
    "for a Linux launcher, the class cache its image carries (AppCDS or AOT);\n"
    "for a Windows launcher, the manifest's identity and the icon sizes.\n"
    "  --json   one JSON object, for scripts\n";

const char* yesNo(bool value) {
  return value ? "true" : "false";
}

void appendList(std::string& out, const char* name, const std::vector<std::string>& list) {
  out += std::string(name) + " (" + std::to_string(list.size()) + "):\n";
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += "  [" + std::to_string(i) + "] " + printable(list[i]) + "\n";
  }
}

// The entries of the class path the launcher reads (the first option that
// sets one), split at the target's list separator, the "&&" token kept.
std::vector<std::string> classPathEntries(const LaunchConfig& c, bool windows) {
  std::vector<std::string> entries;
  for (const std::string& option : c.jvmOptions) {
    const std::size_t start = classPathValueStart(option);
    if (start == std::string::npos) continue;
    const char separator = targetConventions(windows).listSeparator;
    for (std::size_t at = start; at <= option.size();) {
      const std::size_t end = std::min(option.find(separator, at), option.size());
      entries.push_back(option.substr(at, end - at));
      at = end + 1;
    }
    break;
  }
  return entries;
}

json configJson(const LaunchConfig& c) {
  json out = json::object();
  for (const LaunchFlag& flag : kLaunchFlags) out[flag.key] = c.*flag.field;
  out["threadStackSize"] = c.threadStackSize;
  out["mainClass"] = c.mainClass;
  out["jvmOptions"] = c.jvmOptions;
  out["appArguments"] = c.appArguments;
  return out;
}

// Whose signature a signed file carries, or why that cannot be told.
std::string signerOf(const PeFile& file) {
  std::string subject, error;
  return readSigner(file, &subject, &error) ? subject : "(unreadable: " + error + ")";
}

std::string describeWindows(const WindowsIdentity& w, const std::string& signer) {
  std::string out = "machine: " + w.machine + "\n";
  out += "manifest name: " + printable(w.manifest.name) + "\n";
  out += "manifest version: " + printable(w.manifest.version) + "\n";
  out += "manifest description: " + printable(w.manifest.description) + "\n";
  out += "icon group 2000:";
  for (int size : w.iconSizes) out += " " + std::to_string(size);
  out += std::string("\nsigned: ") + yesNo(w.signedFile) + "\n";
  if (w.signedFile) out += "signer: " + printable(signer) + "\n";
  return out;
}

json windowsJson(const WindowsIdentity& w, const std::string& signer) {
  json out = {{"machine", w.machine},
              {"manifest",
               {{"name", w.manifest.name},
                {"version", w.manifest.version},
                {"description", w.manifest.description}}},
              {"iconSizes", w.iconSizes},
              {"signed", w.signedFile}};
  if (w.signedFile) out["signer"] = signer;
  return out;
}

const char* cacheKind(ClassCache cache) {
  switch (cache) {
    case ClassCache::aot:
      return "AOT cache";
    case ClassCache::appCds:
      return "AppCDS";
    case ClassCache::jdk:
      return "the JDK classes it uses";
    case ClassCache::none:
      break;
  }
  return "none";
}

const char* cacheKey(ClassCache cache) {
  return cache == ClassCache::aot ? "aot" : cache == ClassCache::appCds ? "appCds" : "jdk";
}

// Which class cache the image around a Linux launcher carries, and whether it is there.
std::string describeCache(const CarriedCache& c) {
  if (c.cache == ClassCache::none) return "class cache: none\n";
  char size[32];
  std::snprintf(size, sizeof size, "%.1f MiB", static_cast<double>(c.bytes) / (1 << 20));
  const std::string state = c.bytes >= 0 ? size
                            : c.cache == ClassCache::appCds
                                ? "not there yet (the first start writes it)"
                                : "not there";
  return std::string("class cache: ") + cacheKind(c.cache) + ", " + printable(c.path) + ", " +
         state + ", runtime " + (c.runtime.empty() ? "unknown" : printable(c.runtime)) + "\n";
}

json cacheJson(const CarriedCache& c) {
  if (c.cache == ClassCache::none) return nullptr;
  return {
      {"kind", cacheKey(c.cache)}, {"path", c.path}, {"bytes", c.bytes}, {"runtime", c.runtime}};
}

int fail(const std::string& message) {
  std::fprintf(stderr, "plenwick-pack show: %s\n", message.c_str());
  return kExitFailed;
}

struct ShowRequest {
  bool help = false;
  bool json = false;
  std::string path;
};

// False with a message on wrong usage; stops at --help.
bool parseShowArgs(const std::vector<std::string>& args, ShowRequest& request, std::string* err) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      request.help = true;
      return true;
    }
    if (arg == "--json") {
      request.json = true;
    } else if (arg.rfind('-', 0) == 0 || !request.path.empty()) {
      *err = "unexpected argument '" + arg + "'";
      return false;
    } else {
      request.path = arg;
    }
  }
  if (!request.path.empty()) return true;
  *err = "expected one launcher file";
  return false;
}

// The folder of the image that `launcher` (ROOT/bin/NAME) is in, when
// plenwick-pack made one there; else empty.
std::string imageRootOf(const std::string& launcher) {
  namespace fs = std::filesystem;
  const fs::path root = fs::absolute(launcher).parent_path().parent_path();
  std::error_code code;
  return fs::is_regular_file(root / kImageMarker, code) ? root.string() : "";
}

}  // namespace

std::string describeConfig(const LaunchConfig& config) {
  std::string out;
  for (const LaunchFlag& flag : kLaunchFlags) {
    out += std::string(flag.key) + ": " + yesNo(config.*flag.field) + "\n";
  }
  out += "threadStackSize: " + std::to_string(config.threadStackSize) + "\n";
  out += "mainClass: " + printable(config.mainClass) + "\n";
  appendList(out, "jvmOptions", config.jvmOptions);
  appendList(out, "appArguments", config.appArguments);
  return out;
}

std::string describeConfigJson(const LaunchConfig& config) {
  return configJson(config).dump(-1, ' ', false, json::error_handler_t::replace);
}

int showCommand(const std::vector<std::string>& args) {
  ShowRequest request;
  std::string error;
  if (!parseShowArgs(args, request, &error)) {
    std::fprintf(stderr, "plenwick-pack show: %s\n\n%s", error.c_str(), kShowUsage);
    return kExitUsage;
  }
  if (request.help) {
    std::fputs(kShowUsage, stdout);
    return kExitOk;
  }
  LauncherFile launcher;
  if (!readLauncher(request.path, launcher, &error)) return fail(error);
  const unsigned char* region = launcher.bytes.data() + launcher.regionOffset;
  if (stillUnpacked(launcher)) {
    return fail(request.path + " has not been packed yet");
  }
  LaunchConfig config;
  if (!decodeLaunchConfig(region, kLaunchConfigBlockSize, config)) {
    return fail("the launch configuration in " + request.path +
                " is damaged: it runs off the end of its region");
  }
  const bool pe = looksLikePe(launcher.bytes);
  WindowsIdentity windows;
  PeFile file;
  if (pe &&
      (!parsePe(launcher.bytes, file, &error) || !readWindowsIdentity(file, windows, &error))) {
    return fail(request.path + ": " + error);
  }
  const std::string root = imageRootOf(request.path);
  if (request.json) {
    json out = {
        {"file", request.path}, {"format", pe ? "pe" : "elf"}, {"config", configJson(config)}};
    out["classPath"] = classPathEntries(config, pe);
    if (pe) out["windows"] = windowsJson(windows, signerOf(file));
    if (!pe) out["classCache"] = cacheJson(carriedCache(config.jvmOptions, request.path));
    if (!root.empty()) out["image"] = {{"root", root}, {"size", treeSize(root)}};
    std::puts(out.dump(2, ' ', false, json::error_handler_t::replace).c_str());
    return kExitOk;
  }
  std::printf("format: %s\n", pe ? "PE (Windows)" : "ELF (Linux)");
  std::fputs(describeConfig(config).c_str(), stdout);
  std::string classPath;
  appendList(classPath, "classPath", classPathEntries(config, pe));
  std::fputs(classPath.c_str(), stdout);
  if (pe) std::fputs(describeWindows(windows, signerOf(file)).c_str(), stdout);
  if (!pe) std::fputs(describeCache(carriedCache(config.jvmOptions, request.path)).c_str(), stdout);
  if (!root.empty()) {
    std::printf("image: %s (%s)\n", printable(root).c_str(), megabytes(treeSize(root)).c_str());
  }
  return kExitOk;
}

}  // namespace plenwick
