// The POSIX directory search behind class-path wildcards.
#pragma once

#include "platform/directory_search.h"

namespace plenwick {

// Matches the last component of the pattern like the shell's glob (a leading
// "." is matched only explicitly) and yields names in bytewise order, so a
// class path comes out the same on every machine.
class PosixDirectorySearch final : public DirectorySearch {
 public:
  void search(const std::string& pattern, const Visitor& visit) override;
};

}  // namespace plenwick
