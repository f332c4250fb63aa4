// The shared-mime-info description of the file types an application opens
// (/usr/share/mime/packages/<name>.xml), and the names their icons go by.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/file_association.h"

namespace plenwick {

std::string mimeInfo(const std::vector<FileAssociation>& types);

// The icon name of a MIME type, as the icon themes look it up: "application/x-pwdoc"
// is "application-x-pwdoc".
std::string mimeIconName(const std::string& mimeType);

}  // namespace plenwick
