// Where plenwick-pack finds what it ships, the JDK and the host's tools.
#pragma once

#include <string>

namespace plenwick {

// The first executable file `program` in the folders of `path` (a PATH
// value; nullptr when PATH is unset, which searches /usr/bin:/bin). An empty
// entry is skipped: taking it for the current folder would run whatever the
// folder the packer was started in holds. Empty when there is none.
std::string searchPath(const char* path, const std::string& program);

// searchPath with the packer's own PATH.
std::string findOnPath(const std::string& program);

// The directory that holds the running plenwick-pack executable.
std::string toolDirectory();

// The JDK named by JAVA_HOME, else the one whose javac is on the PATH; empty
// when there is neither.
std::string defaultJdk();

}  // namespace plenwick
