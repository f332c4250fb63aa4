// Where an image's runtime comes from: made with jlink from a JDK, or a
// prepared runtime copied as it is.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

struct RuntimeSource {
  std::string jdk;                      // a JDK with jmods, for jlink; or empty
  std::string runtime;                  // a prepared runtime directory; or empty
  std::vector<std::string> modules;     // for jlink; none: what jdeps finds the jars need
  std::vector<std::string> addModules;  // for jlink, beside those
  bool defaultModules = true;           // add the providers jdeps cannot see (module_list.h)
  std::vector<std::string> locales;     // jlink --include-locales; none: all of jdk.localedata
  bool keepJavaCommand = false;         // keep the runtime's bin/java
  bool makesJdkArchive = false;         // bin/java stays until it has made the archive
  bool compressRuntime = false;         // jlink's zip compression: smaller, slower to start
  bool windows = false;                 // a Windows runtime (its jvm.dll goes into bin/)
};

}  // namespace plenwick
