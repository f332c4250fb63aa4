// A per-user .msi from a Windows image, built with wixl: installed under
// %LOCALAPPDATA%\Programs\<name> without administrator rights, with a
// Start-menu shortcut and an Apps & features entry.
#pragma once

#include <string>

#include "tools/pack/app/file_association.h"
#include "tools/pack/app/sign_settings.h"
#include "tools/pack/host/reporter.h"

namespace plenwick {

struct InstallerRequest {
  std::string image;            // a Windows image made by plenwick-pack
  std::string publisher;        // default: the application's display name
  std::string upgradeCode;      // default: derived from the application's name
  SignSettings sign;            // when given: the launcher (if unsigned) and the .msi are signed
  bool timestampNoted = false;  // the run has already said there is no timestamp server
  std::vector<FileAssociation> fileTypes;  // the file types the installed launcher opens
};

// Builds the .msi (signed when asked) in a new folder inside the private folder `work`; *msi
// receives its path there. The caller puts it in place.
bool buildInstaller(const InstallerRequest& request, const std::string& work, Reporter& reporter,
                    std::string* msi, std::string* err);

}  // namespace plenwick
