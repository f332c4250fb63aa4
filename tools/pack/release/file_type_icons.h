// The icons of the file types an installer registers: an .ico for each type
// that names a PNG, installed with the image.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/file_association.h"
#include "tools/pack/release/wxs.h"

namespace plenwick {

// Adds `types` to the installer's description; each type's PNG becomes icons/<extension>.ico,
// written into `work` (wixl's working folder) and added to its files.
bool addFileTypes(const std::vector<FileAssociation>& types, const std::string& work,
                  InstallerSpec* spec, std::string* err);

}  // namespace plenwick
