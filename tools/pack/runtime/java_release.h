// What a runtime's or JDK's `release` file says about it.
#pragma once

#include <set>
#include <string>

namespace plenwick {

// The feature version in a runtime's or JDK's `release` file (17 for
// JAVA_VERSION="17.0.9"), or 0 when unknown.
int javaFeatureVersion(const std::string& home);

// The whole JAVA_VERSION value ("25.0.1"), or empty when unknown.
std::string javaVersion(const std::string& home);

// The modules its `release` file lists (MODULES="java.base ..."); none when unknown.
std::set<std::string> javaModules(const std::string& home);

}  // namespace plenwick
