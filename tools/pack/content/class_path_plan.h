// Which entries of app/ go on the class path, and in which order. By default
// every jar of app/ as listed; 'classPathFolders' adds folders, 'classPath'
// replaces the whole with the jars, folders and wildcards it names, and
// 'classPathExclude' keeps jars off what the default and the wildcards take.
#pragma once

#include <string>

#include "tools/pack/app/app_settings.h"
#include "tools/pack/content/app_content.h"

namespace plenwick {

// Fills content->classPath, content->jarFiles and content->mainJarFirst from
// content->files: 'mainJar' first, then
//  - with 'classPath': its entries in order, each a jar or folder of app/, or
//    a wildcard ("lib/*.jar", "lib/*", "*.jar") expanded here to the jars it
//    matches in the order of the listing, so the launcher gets plain names;
//  - otherwise the folders of 'classPathFolders', then every jar of app/ in
//    the order of the listing;
// leaving out the jars that an entry of 'classPathExclude' (a path or glob
// in app/, covering what lies in a folder it matches) names. Every path
// named must be in the listing and every pattern must match something.
bool planClassPath(const AppSettings& c, AppContent* content, std::string* err);

// The first folder on content.classPath that holds something, or empty.
std::string filledClassPathFolder(const AppContent& content);

}  // namespace plenwick
