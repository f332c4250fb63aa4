// The class cache an image carries: an application class-data archive
// (AppCDS) or an ahead-of-time cache (AOT), or the runtime's own archive made
// from the JDK classes the application loads (jdk); whether it gets one, and
// its file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plenwick {

enum class ClassCache { none, appCds, aot, jdk };

// The cache's file name in app/ for the application `name`: NAME.jsa or NAME.aot.
std::string classCacheFile(ClassCache cache, const std::string& name);

struct AppCdsChoice {
  ClassCache cache = ClassCache::none;
  std::string note;  // why there is none, for the user; empty when there is nothing to say
};

// Never a Windows image (no training run here), nor one that asks for none.
// Only an image that asks for an application cache gets one: runtimes from 25
// on an AOT cache, and from 19 on an AppCDS archive; both stay in use after a
// move. The others get the archive of the JDK classes, which holds no
// application class and so keeps their code sources; so does one whose class
// path holds `classPathFolder` (a folder in app/ that is not empty; empty when
// there is none), since the JVM makes no application cache then.
AppCdsChoice chooseAppCds(bool windows, std::optional<bool> requested, int runtimeFeature,
                          const std::string& classPathFolder);

// Whether the AOT cache of the runtime `version` ("25.0.3") keeps serving the
// classes of a jar changed after it was made, instead of being dropped.
bool aotCacheKeepsChangedJars(const std::string& version);

// What a user who asked for an application cache should know about the
// runtime `version` ("25.0.3") that makes it, or empty.
std::string appCacheCaveat(ClassCache cache, const std::string& version);

// The class cache a packed launcher uses, told from its options.
struct CarriedCache {
  ClassCache cache = ClassCache::none;
  std::string path;      // the file, with "&&" as app/ beside the launcher's bin/
  long long bytes = -1;  // its size; -1 when it is not there
  std::string runtime;   // the JAVA_VERSION of the runtime beside bin/
};
CarriedCache carriedCache(const std::vector<std::string>& jvmOptions, const std::string& launcher);

}  // namespace plenwick
