// Shared by the option tests and the benchmark: the JVM options of a typical
// packaged application, and rows written for both path conventions.
#pragma once

#include <string>
#include <vector>

#include "platform/conventions.h"
#include "tests/support/fake_platform.h"

namespace plenwick::test_support {

using FakeDirectorySearch = plenwick::FakeDirectorySearch;

// `text` with "\" and ";" written the POSIX way, as "/" and ":".
inline std::string posixPath(std::string text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
    if (c == ';') c = ':';
  }
  return text;
}

// An option in its Windows form and what it must become; the POSIX form is
// the same through posixPath unless given.
struct BothForms {
  const char* option;
  const char* expected;
  const char* posixOption = nullptr;
  const char* posixExpected = nullptr;
  std::string posix() const { return posixOption ? posixOption : posixPath(option); }
  std::string posixResult() const { return posixExpected ? posixExpected : posixPath(expected); }
};

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
