// The Windows directory search behind class-path wildcards.
#pragma once

#include "platform/directory_search.h"

namespace plenwick {

// FindFirstFileA/FindNextFileA with the whole entry as the pattern: the
// platform decides which names match (case, 8.3 aliases) and in what order.
class Win32DirectorySearch final : public DirectorySearch {
 public:
  void search(const std::string& pattern, const Visitor& visit) override;
};

}  // namespace plenwick
