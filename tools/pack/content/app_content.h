// What goes into an image's app/ folder: the jars of 'jars' (flat), the whole
// content of 'appFolder', and the files or folders of 'appContent' under their
// own names; from that listing, the class path, the folders of native
// libraries and, from the main jar's manifest, the main class.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_config.h"

namespace plenwick {

// Lists app/ into config.appFiles and derives config.classPath, jarFiles,
// libraryFolders, and mainClass when it is not given. Links are followed to
// the files they point to (and copied as files); a link to a folder, a
// dangling link and special files are refused, as are two entries of one name.
bool planAppContent(AppConfig& config, std::string* err);

// Creates every entry of config.appFiles below `app`, which exists and is
// empty. Files keep their mode; folders keep theirs plus the owner's rwx.
bool copyAppContent(const AppConfig& config, const std::string& app, std::string* err);

// The main jar's manifest Class-Path entries that are not in the image, each
// as a line to show the user (control characters escaped: the jar is not ours).
std::vector<std::string> missingManifestClassPath(const AppConfig& config);

// "-Djava.class.path=&&a.jar:&&lib/b.jar:&&plenwick-bootstrap.jar" (";" and
// "\" for Windows targets).
std::string classPathOption(const AppConfig& config);

// The configured JVM options with the folders of config.libraryFolders on the
// library path: appended to the user's own (last) -Djava.library.path, or as
// a new option in front when there is none.
std::vector<std::string> withLibraryPath(const AppConfig& config);

}  // namespace plenwick
