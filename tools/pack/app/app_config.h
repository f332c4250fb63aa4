// The application description that `plenwick-pack image` works from: read
// from a JSON file, changed by command-line options, then checked as a whole.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/launch_flags.h"
#include "tools/pack/release/signing.h"

namespace plenwick {

struct AppConfig {
  std::string name;         // file name of the launcher, assembly name on Windows
  std::string displayName;  // the manifest's description; defaults to name
  std::string version;      // one to four numbers 0..65535, e.g. "1.2"
  std::string mainClass;
  std::vector<std::string> jvmOptions;
  std::vector<std::string> arguments;  // default application arguments
  // The behaviour flags, indexed like kLaunchFlags.
  std::array<std::optional<bool>, kLaunchFlagCount> launchFlags;
  std::string stackSize;                // as written: "2M", "524288"
  std::vector<std::string> jars;        // jar files, or directories whose *.jar are taken
  std::string appFolder;                // a folder whose whole content becomes app/
  std::vector<std::string> appContent;  // files or folders copied into app/ by name
  std::string mainJar;                  // the main jar's path inside app/
  std::string target;                   // linux-x64, windows-x64, windows-arm64
  std::string jdk;                      // a JDK with jmods to make the runtime with jlink
  std::string runtime;                  // or a prepared runtime directory, copied as it is
  std::vector<std::string> modules;
  std::vector<std::string> icons;  // one large square PNG, or five (16..256 px)
  std::optional<bool> appCds;
  std::vector<std::string> trainingArguments;
  std::string launcher;      // the unpacked launcher to copy
  std::string bootstrapJar;  // plenwick-bootstrap.jar
  std::string output;        // the image directory
  bool force = false;        // replace an existing output directory
  std::string publisher;     // the installer's publisher; defaults to displayName
  std::string upgradeCode;   // the installer's upgrade code; derived from name when empty
  std::string installer;     // the .msi that `plenwick-pack installer` writes
  SignSettings sign;         // the "sign" section: Authenticode signing

  // Filled in by validateAppConfig.
  struct AppFile {
    std::string source;
    std::string name;  // its path inside app/, '/'-separated
    bool folder = false;
  };
  std::vector<AppFile> appFiles;            // every entry of app/, folders before their content
  std::vector<std::string> classPath;       // names in app/ of the class-path jars, in order
  std::vector<std::string> jarFiles;        // the same jars where they are read from
  std::vector<std::string> libraryFolders;  // folders in app/ with native libraries ("" is app/)
  uint32_t stackBytes = 0;
  bool windows = false;

  // Where each key's value came from, for messages: "app.json: key 'name'"
  // or "option --name".
  std::map<std::string, std::string> origin;
  std::string file;  // the configuration file, when there is one
  std::string where(const std::string& key) const;
};

}  // namespace plenwick
