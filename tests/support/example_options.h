// Shared by the option tests and the benchmark: the JVM options of a typical packaged application.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/conventions.h"
#include "tests/support/fake_platform.h"

namespace plenwick::test_support {

using FakeDirectorySearch = plenwick::FakeDirectorySearch;

// One option written for each path convention, and what it must become.
struct Form {
  std::string option;
  std::string expected;
};
struct BothForms {
  const char* name;
  Form windows;
  Form posix;
};

// `text` with "\" and ";" written the POSIX way, as "/" and ":".
inline std::string posixPath(std::string text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
    if (c == ';') c = ':';
  }
  return text;
}

// The 14 JVM options of a GUI application as its packaging step writes them:
// a 42-entry class path of "&&" + separator + jar name (1,563 bytes on
// Windows) among them.
inline std::vector<std::string> exampleJvmOptions(const PathConventions& conventions) {
  std::string classPath = "-Djava.class.path=";
  for (int i = 0; i < 42; ++i) {
    if (i != 0) classPath += conventions.listSeparator;
    const std::string number = std::to_string(100 + i).substr(1);
    classPath += std::string("&&") + conventions.separator + "dependency-" + number + "-" +
                 std::string(i < 40 ? 15 : 11, 'x') + ".jar";
  }
  const std::string libraryPath = "-Djava.library.path=&&;&&..\\bin";
  return {"-XX:+DisableAttachMechanism",
          "--enable-native-access=ALL-UNNAMED",
          "-Dapp.windows.userModelID=Mirrowdale_xqtrbnwlkzpmf!Mirrowdale",
          "-Dapp.repositoryUrl=https://updates.example.com/mirrowdale/apps",
          "-Djava.net.useSystemProxies=true",
          "-Dpicocli.ansi=tty",
          "-Dapp.fsname=mirrowdale",
          "-Dapp.dir=&&",
          "-Dapp.revision=0",
          "-Dapp.version=3.2",
          "-Dapp.displayName=Mirrowdale",
          classPath,
          conventions.separator == '\\' ? libraryPath : posixPath(libraryPath),
          "-Dfile.encoding=UTF-8"};
}

}  // namespace plenwick::test_support
