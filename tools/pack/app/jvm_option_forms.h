// JVM options as users copy them from a java command line, and the forms a
// JVM created through JNI takes. The java command joins "--add-opens X" into
// "--add-opens=X" and handles some options itself; JNI_CreateJavaVM refuses
// both the two-word forms and those options ("Unrecognized option"), so an
// image packed with them could not start.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

struct JvmOptionForms {
  std::vector<std::string> options;  // as the JVM takes them
  std::string note;                  // which options were joined; empty when none
};

// Joins the two-word forms ("--add-exports", "X" or "--add-exports X" as one
// entry; "-p X" becomes "--module-path=X") into one option, and refuses the
// options only the java command handles with a message naming the option and
// what to write instead.
bool toJvmOptionForms(const std::vector<std::string>& written, JvmOptionForms* forms,
                      std::string* err);

}  // namespace plenwick
