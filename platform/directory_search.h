// Lists the files that a wildcard class-path entry names.
#pragma once

#include <functional>
#include <string>

namespace plenwick {

class DirectorySearch {
 public:
  using Visitor = std::function<void(const char* name, bool isDirectory)>;
  virtual ~DirectorySearch() = default;

  // Calls `visit` with the bare name of every match of `pattern` (the whole
  // entry, directory part included), in the order the platform yields them.
  // A search that cannot be made looks exactly like one that matches nothing.
  virtual void search(const std::string& pattern, const Visitor& visit) = 0;
};

}  // namespace plenwick
