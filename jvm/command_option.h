// The two views of the application's arguments handed to Java.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

// "-Dsun.java.command=" + main class, then each default and each command-line
// argument (argv[1..argc-1]) after one space, unquoted.
std::string buildCommandOption(const std::string& mainClass,
                               const std::vector<std::string>& appArguments, int argc, char** argv);

// The entry point's String[]: the default arguments, then the command line.
std::vector<std::string> collectArguments(const std::vector<std::string>& appArguments, int argc,
                                          char** argv);

}  // namespace plenwick
