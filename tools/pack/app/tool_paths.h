// Where plenwick-pack finds what it ships: its own directory and the JDK.
#pragma once

#include <string>

namespace plenwick {

// The directory that holds the running plenwick-pack executable.
std::string toolDirectory();

// The JDK named by JAVA_HOME, else the one whose javac is on the PATH; empty
// when there is neither.
std::string defaultJdk();

}  // namespace plenwick
