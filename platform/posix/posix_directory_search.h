// The POSIX directory search behind class-path wildcards.
#pragma once

#include "platform/directory_search.h"

namespace plenwick {

// The whole pattern names a directory (everything up to its last "/", or the
// current directory when there is none) and a name pattern (the rest). The
// name pattern is matched like the shell's glob: "*", "?" and "[...]" work, a
// leading "." is matched only explicitly (so "*" skips ".", ".." and hidden
// files), and a backslash is an ordinary character, as it is in Linux file
// names. Every match is reported with its bare name and whether it is a
// directory (a symbolic link counts as what it points to). Names come in
// bytewise order, so a class path comes out the same on every machine and for
// every file system (NTFS, too, lists names in a fixed order). A directory
// that cannot be opened looks like one without matches.
class PosixDirectorySearch final : public DirectorySearch {
 public:
  void search(const std::string& pattern, const Visitor& visit) override;
};

}  // namespace plenwick
