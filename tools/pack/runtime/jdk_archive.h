// The runtime's own class-data archive (lib/server/classes.jsa) made again
// from the JDK classes the application loads in its training run. It holds no
// application class, so it stays valid wherever the image goes, its jars keep
// their code sources, and a replaced jar runs its new classes.
#pragma once

#include <string>

#include "config/launch_config.h"
#include "tools/pack/host/reporter.h"

namespace plenwick {

// The runtime's archive in the image `root`, and the list it was made from,
// kept beside it: what `show` tells the archive by.
std::string jdkArchivePath(const std::string& root);
std::string jdkArchiveListPath(const std::string& root);

// `launch` for the training run that writes the list of the classes it loads.
LaunchConfig classListLaunch(LaunchConfig launch, const std::string& list);

// Makes the archive of the JDK classes in `list` (and in the runtime's own
// list) with the runtime's bin/java
// in the image `root`, and puts it in place of the runtime's archive, with
// the list beside it. When
// the runtime cannot make it, the runtime keeps its own and the reason is a
// warning; only a failure to put it in place is an error.
bool replaceJdkArchive(const std::string& root, const std::string& list, Reporter& reporter,
                       std::string* err);

}  // namespace plenwick
