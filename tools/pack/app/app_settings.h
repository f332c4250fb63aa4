// What the user wrote for `plenwick-pack image`: read from a JSON file, then
// changed by command-line options. Filled once by the parsers and only read
// after that: what a run derives from it is its ImagePlan (plan/).
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/launch_flags.h"
#include "tools/pack/app/file_association.h"
#include "tools/pack/app/sign_settings.h"

namespace plenwick {

// One entry of 'appContent': a file or folder and its path inside app/.
struct ContentItem {
  std::string from;  // the file or folder to copy
  std::string to;    // '/'-separated inside app/; empty: under its own name
};

struct AppSettings {
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
  std::vector<ContentItem> appContent;  // files or folders copied into app/
  std::vector<std::string> exclude;     // globs of paths in app/ left out of the folders taken
  std::string mainJar;                  // the main jar's path inside app/
  std::string target;                   // linux-x64, windows-x64, windows-arm64
  std::string jdk;                      // a JDK with jmods to make the runtime with jlink
  std::string runtime;                  // or a prepared runtime directory, copied as it is

  // The class path, in paths inside app/ (class_path_plan.h).
  std::vector<std::string> classPath;         // replaces the default class path
  std::vector<std::string> classPathFolders;  // folders added to the default class path
  std::vector<std::string> classPathExclude;  // paths or globs kept off the class path

  std::vector<std::string> modules;
  std::vector<std::string> addModules;  // added to modules (or to what jdeps finds)
  std::optional<bool> defaultModules;   // the providers jdeps cannot see (default: on)
  std::vector<std::string> locales;     // jdk.localedata limited to these (jlink --include-locales)
  std::optional<bool> keepJavaCommand;  // keep the runtime's bin/java
  std::optional<bool> compressRuntime;  // jlink's zip compression of the modules
  std::vector<std::string> icons;       // one large square PNG, or five (16..256 px)
  std::optional<bool> appCds;
  std::vector<std::string> trainingArguments;
  std::string launcher;      // the unpacked launcher to copy
  std::string bootstrapJar;  // plenwick-bootstrap.jar
  std::string output;        // the image directory
  bool force = false;        // replace an existing output directory
  bool quiet = false;        // say nothing but errors
  std::string publisher;     // the installer's publisher; defaults to displayName
  std::string upgradeCode;   // the installer's upgrade code; derived from name when empty
  std::string installer;     // the .msi that `plenwick-pack installer` writes
  SignSettings sign;         // the "sign" section: Authenticode signing
  std::vector<FileAssociation> fileAssociations;  // the file types the application opens
  // Linux packages (.deb, .rpm):
  std::string description;              // one line, more lines for the long text
  std::string email;                    // the maintainer's address, beside the publisher
  std::string license;                  // an SPDX identifier; default "LicenseRef-proprietary"
  std::string packageRevision;          // the package's own revision of a version; default "1"
  std::vector<std::string> categories;  // the menu's categories; default "Utility"

  // Where each key's value came from, for messages: "app.json: key 'name'"
  // or "option --name".
  std::map<std::string, std::string> origin;
  std::string file;  // the configuration file, when there is one
  std::string where(const std::string& key) const;
};

// The files and folders the settings name: an output may neither hold nor lie in any of them.
std::vector<std::string> namedInputs(const AppSettings& settings);

}  // namespace plenwick
