// What the manifests in app/ point at. A jar's Class-Path is followed by the
// runtime for every jar on the class path, and by class loaders and OSGi
// frameworks for the plugins and bundles they open, so every jar of app/ is
// read (and every unpacked bundle's META-INF/MANIFEST.MF, for its
// Bundle-ClassPath). Nothing in the jars is changed: the user hears where an
// entry leads.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/content/app_content.h"

namespace plenwick {

// One line per entry that the image cannot serve from app/ (control
// characters escaped: the jars are not ours):
//  - a Class-Path entry, resolved from the jar's folder in app/, that is not
//    in app/;
//  - an absolute entry (/usr/share/java/x.jar, file:/...), which the machine
//    running the image may hold, and which then comes before app/'s copy;
//  - a relative Class-Path or Bundle-ClassPath entry (external: or not) that
//    leads out of app/.
// Unreadable jars are left to the steps that need them.
std::vector<std::string> manifestClassPathNotes(const AppContent& content);

}  // namespace plenwick
