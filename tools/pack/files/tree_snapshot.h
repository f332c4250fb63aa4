// What a folder tree looks like at one moment, to tell afterwards whether
// anything in it was changed, added or removed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace plenwick {

// Each entry below the root by its relative path: its type and mode, and for
// all but folders its inode, size and modification and change times. A
// folder's own times are left out: they change with its entries, which are
// listed themselves.
using TreeSnapshot = std::map<std::string, std::string>;

TreeSnapshot snapshotTree(const std::string& root);

// "PATH (changed)", "(added)" or "(removed)" for every difference but `ignored`.
std::vector<std::string> treeChanges(const TreeSnapshot& before, const TreeSnapshot& after,
                                     const std::string& ignored);

}  // namespace plenwick
