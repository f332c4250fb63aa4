// The Debian tools a release needs (wixl, osslsigncode, openssl): found on
// the PATH, or named with the package that provides them.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/host/process.h"

namespace plenwick {

// The path of `program` on the PATH; false with "wixl is not installed ...
// (Debian package wixl)" when it is not there.
bool findTool(const std::string& program, const std::string& package, std::string* path,
              std::string* err);

// Runs `program` (found as findTool does) with `args` in `cwd` (empty: the
// packer's), as runProcess does, for up to ten minutes, with `assignments`
// (NAME=value) added to its environment. False with the tool's last lines of
// output when it fails; *run holds what it printed.
bool runHostTool(const std::string& program, const std::string& package,
                 std::vector<std::string> args, const std::string& cwd, ProcessResult* run,
                 std::string* err, const std::vector<std::string>& assignments = {});

// The last non-empty lines of a tool's output, for a message.
std::string outputTail(const std::string& output, int lines = 3);

}  // namespace plenwick
