// The WiX source of a per-user installer for a Windows image: a pure text
// transformation, so every rule of the package layout can be read here.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/pack/app/file_association.h"

namespace plenwick {

struct InstallerSpec {
  std::string name;         // bin\<name>.exe and the folder under %LOCALAPPDATA%\Programs
  std::string displayName;  // the Start-menu shortcut and the Apps & features entry
  std::string version;      // as installerVersion() gives it
  std::string publisher;
  std::string upgradeCode;         // braced, upper-case
  std::string sourceRoot;          // the image folder, as wixl (run in the working folder) finds it
  std::vector<std::string> files;  // relative to sourceRoot, "/"-separated
  // Files taken from elsewhere than sourceRoot (a signed copy of the launcher).
  std::map<std::string, std::string> sources;
  // The file types the launcher opens; each `icon` is a file of `files` (an
  // .ico), or empty for the launcher's own icon.
  std::vector<FileAssociation> fileTypes;
};

// The application's version as a product version: "1.2" -> "1.2.0". Windows
// Installer allows major and minor up to 255 and build up to 65535, and
// ignores a fourth field when it compares versions.
bool installerVersion(const std::string& version, std::string* productVersion, std::string* err);

// The upgrade code used when none is configured: a name-based UUID of the
// lower-case application name, the same on every machine and every release.
std::string defaultUpgradeCode(const std::string& name);

// `displayName` with the characters a file name cannot hold replaced by "_".
std::string shortcutFileName(const std::string& displayName);

// Empty when wixSource can write every text of `spec` so that wixl reads it
// back unchanged; otherwise why not, naming the text.
std::string wixSourceProblem(const InstallerSpec& spec);

// The WiX source; text from the user is escaped for XML, for wixl's
// preprocessor, and where Windows Installer formats it, for that too.
std::string wixSource(const InstallerSpec& spec);

}  // namespace plenwick
