// What goes into an image's app/ folder: the jars of 'jars' (flat), the whole
// content of 'appFolder', and the files or folders of 'appContent' under their
// own names or at their 'to' paths, less what 'exclude' leaves out; from that
// listing, the class path (class_path_plan.h), the folders of native libraries
// and, from the main jar's manifest, the main class.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_settings.h"

namespace plenwick {

struct AppFile {
  std::string source;
  std::string name;  // its path inside app/, '/'-separated
  bool folder = false;
  bool made = false;  // a folder above a 'to' path: made with the default mode, nothing copied
};

struct AppContent {
  bool windows = false;
  std::vector<AppFile> files;               // every entry of app/, folders before their content
  std::vector<std::string> classPath;       // names in app/ of the class-path entries, in order
  std::vector<std::string> jarFiles;        // its jars as read from, then app/'s other jars
  std::vector<std::string> libraryFolders;  // folders in app/ with native libraries ("" is app/)
  bool mainJarFirst = false;                // classPath starts with the main jar ('mainJar')
  std::string manifestMainClass;            // the main jar's Main-Class when 'mainClass' is empty
  std::vector<std::string> notes;           // what the listing found that the user should hear
};

// Lists app/ from settings.appFolder, settings.appContent and `jars` (the
// files of 'jars', directories already opened) and derives the class path,
// the folders of native libraries, and the main class from the main jar's
// manifest when 'mainClass' is not given. The folders and files the user
// names (appFolder, appContent entries) are followed when they are links.
// Inside a folder, links are followed to the files they point to (and copied
// as files); a link to a folder, a dangling link and special files are
// refused, as are two entries of one name. 'exclude' globs match the paths
// found inside folders; a matched folder is left out with all it holds.
bool planAppContent(const AppSettings& c, bool windows, const std::vector<std::string>& jars,
                    AppContent* content, std::string* err);

// Creates every entry of content.files below `app`, which exists and is
// empty. Files keep their mode; folders keep theirs plus the owner's rwx.
bool copyAppContent(const AppContent& content, const std::string& app, std::string* err);

// "-Djava.class.path=&&a.jar:&&lib/b.jar:&&plenwick-bootstrap.jar" (";" and
// "\" for Windows targets).
std::string classPathOption(const AppContent& content);

// `jvmOptions` with the folders of content.libraryFolders on the library
// path: appended to the user's own (last) -Djava.library.path, or as a new
// option in front when there is none.
std::vector<std::string> withLibraryPath(const AppContent& content,
                                         std::vector<std::string> jvmOptions);

}  // namespace plenwick
