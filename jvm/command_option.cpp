#include "jvm/command_option.h"

namespace plenwick {

std::string buildCommandOption(const std::string& mainClass,
                               const std::vector<std::string>& appArguments, int argc,
                               char** argv) {
  std::string option = "-Dsun.java.command=" + mainClass;
  for (const std::string& argument : collectArguments(appArguments, argc, argv)) {
    option += ' ';
    option += argument;
  }
  return option;
}

std::vector<std::string> collectArguments(const std::vector<std::string>& appArguments, int argc,
                                          char** argv) {
  std::vector<std::string> arguments = appArguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

}  // namespace plenwick
