// What a Linux package (.deb or .rpm) of an image says about itself, taken
// from the settings, and the rules its names and version follow.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_settings.h"
#include "tools/pack/app/file_association.h"

namespace plenwick {

struct LinuxPackage {
  std::string name;         // the package's name: the application's, lower case
  std::string command;      // the launcher's file name in the image's bin/
  std::string displayName;  // the menu entry's name
  std::string version;      // the application's version, "1.2"
  std::string revision;     // the package's revision of that version, "1"
  std::string summary;      // one line
  std::string details;      // more lines, may be empty
  std::string publisher;
  std::string email;
  std::string license;
  std::vector<std::string> categories;
  bool terminal = false;                   // a console application
  std::string wmClass;                     // the WM_CLASS the application's windows carry
  bool hasIcon = false;                    // the package ships the application's icons
  std::vector<FileAssociation> fileTypes;  // the file types it opens
};

// Fills `p` from the settings and the launcher's file name `command`;
// false with a message naming the key when a value cannot be used.
bool describeLinuxPackage(const AppSettings& settings, const std::string& command, LinuxPackage* p,
                          std::string* err);

// The file names each format's tools give: name_1.2-1_amd64.deb, name-1.2-1.x86_64.rpm.
std::string debFileName(const LinuxPackage& p);
std::string rpmFileName(const LinuxPackage& p);

// Where the image goes: /opt/<name>.
std::string installRoot(const LinuxPackage& p);

}  // namespace plenwick
