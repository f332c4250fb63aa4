// Copying a prepared runtime into an image without taking anything along
// that would tie the image to this machine or write back into the source.
#pragma once

#include <filesystem>
#include <string>

namespace plenwick {

// Copies the folder `from`, resolved to its real path first, to `to` (which
// must not exist). A symbolic link that stays inside the folder is copied as a
// relative link; one that leads out of it is copied as the file it points to,
// so the copy can move. Refused, with the entry named: a link to nothing, a
// link out of the folder to a folder, and FIFOs, sockets and devices. Folders
// keep their modes, set once their content is in, so read-only ones copy too.
bool copyRuntimeTree(const std::string& from, const std::string& to, std::string* err);

}  // namespace plenwick
