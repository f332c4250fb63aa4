#include "tools/pack/runtime/app_cds.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "tools/pack/runtime/java_release.h"
#include "tools/pack/runtime/jdk_archive.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// The first runtime whose archives stay usable when the image moves: from 19
// on, a dynamic archive named with -XX:+AutoCreateSharedArchive is rewritten
// by the runtime itself when it no longer matches (and from 21 on a moved
// class path matches). Runtime 17 records absolute jar paths, so a moved
// image would silently start without the archive.
constexpr int kAppCdsMinimumFeature = 19;
// From 25 on, the AOT cache also holds the classes linked and the methods'
// profiles, and is made without the `java` command (-XX:AOTMode=create).
constexpr int kAotMinimumFeature = 25;

// From 17 on, a training run lists the classes it loads and the runtime makes
// its archive from such a list.
constexpr int kJdkArchiveMinimumFeature = 17;

AppCdsChoice jdkArchive(int runtimeFeature, const std::string& note) {
  return {runtimeFeature >= kJdkArchiveMinimumFeature ? ClassCache::jdk : ClassCache::none, note};
}

// The value of `option` when it starts with `prefix`, with "&&" (at its
// start, as the packer writes it) as `app`.
bool optionValue(const std::string& option, const std::string& prefix, const std::string& app,
                 std::string* value) {
  if (option.rfind(prefix, 0) != 0) return false;
  *value = option.substr(prefix.size());
  if (value->rfind("&&", 0) == 0) *value = app + value->substr(2);
  return true;
}

}  // namespace

CarriedCache carriedCache(const std::vector<std::string>& jvmOptions, const std::string& launcher) {
  const fs::path root = fs::absolute(launcher).parent_path().parent_path();
  const std::string app = (root / "app").string() + "/";
  CarriedCache found;
  for (const std::string& option : jvmOptions) {
    if (optionValue(option, "-XX:AOTCache=", app, &found.path)) found.cache = ClassCache::aot;
    if (optionValue(option, "-XX:SharedArchiveFile=", app, &found.path)) {
      found.cache = ClassCache::appCds;
    }
  }
  if (found.cache == ClassCache::none && fs::exists(jdkArchiveListPath(root.string()))) {
    found.cache = ClassCache::jdk;
    found.path = jdkArchivePath(root.string());
  }
  struct stat info;
  if (found.cache != ClassCache::none && stat(found.path.c_str(), &info) == 0) {
    found.bytes = info.st_size;
  }
  found.runtime = javaVersion(root.string());
  return found;
}

std::string classCacheFile(ClassCache cache, const std::string& name) {
  return name + (cache == ClassCache::aot ? ".aot" : ".jsa");
}

// Only when asked for: a class that comes from either cache after the image
// moved reports the place the cache was made as its code source (nothing once
// that is gone), and an AOT cache keeps serving the classes of a jar that was
// replaced. Applications that find their folder through their own jar, or
// update their jars, would break where they are installed.
AppCdsChoice chooseAppCds(bool windows, std::optional<bool> requested, int runtimeFeature,
                          const std::string& classPathFolder) {
  if (windows || !requested.value_or(true)) return {};
  if (!requested.has_value()) return jdkArchive(runtimeFeature, "");
  if (!classPathFolder.empty() && runtimeFeature >= kAppCdsMinimumFeature) {
    return jdkArchive(runtimeFeature,
                      "class cache: the class path holds the folder app/" + classPathFolder +
                          ", and the JVM makes no cache of application classes while a folder "
                          "that holds files is on it; the image gets the archive of the JDK "
                          "classes instead");
  }
  if (runtimeFeature >= kAotMinimumFeature) return {ClassCache::aot, ""};
  if (runtimeFeature >= kAppCdsMinimumFeature) return {ClassCache::appCds, ""};
  return jdkArchive(runtimeFeature, "AppCDS: dropped for runtime " +
                                        std::to_string(runtimeFeature) +
                                        ": it records the jars' absolute paths, so the archive "
                                        "would be ignored once the image moves (the runtime's "
                                        "archive holds the JDK classes it loads instead)");
}

// Measured with 25.0.3; fixed in 25.0.4 (JDK-8377932).
bool aotCacheKeepsChangedJars(const std::string& version) {
  int feature = 0, interim = 0, update = 0;
  const bool parsed = std::sscanf(version.c_str(), "%d.%d.%d", &feature, &interim, &update) >= 1;
  return parsed && feature == 25 && interim == 0 && update < 4;
}

// The lost code sources are fixed in no release yet (JDK-8376576).
std::string appCacheCaveat(ClassCache cache, const std::string& version) {
  if (cache != ClassCache::aot && cache != ClassCache::appCds) return {};
  std::string caveat =
      "class cache: after the image moves or is installed, classes from the cache have no code "
      "source (getProtectionDomain().getCodeSource() is null), so an application that finds its "
      "folder through its own jar fails there";
  if (cache == ClassCache::aot && aotCacheKeepsChangedJars(version)) {
    caveat += "; and runtime " + version +
              " keeps serving the cached classes of a jar changed after packing (fixed in 25.0.4), "
              "so make the image again after changing app/";
  }
  return caveat;
}

}  // namespace plenwick
