// Every deletion and replacement the packer makes on disk goes through here,
// so that one place shows what may be removed: only what this run created,
// and an earlier image whose marker still lists all it holds.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/pack/files/output_place.h"

namespace plenwick {

// A private folder (mode 0700, a short random name) made beside an output,
// where the new result is built. The output's parent folder is opened once,
// with links resolved, and every later step on the output goes through that
// descriptor, so a link swapped into the path cannot redirect it. Whatever is
// left in the folder, and the parent folders that were made for it, are
// removed when it goes out of scope.
class Staging {
 public:
  Staging() = default;
  Staging(const Staging&) = delete;
  Staging& operator=(const Staging&) = delete;
  ~Staging();

  // Makes the folder beside `output` (absolute and normal), creating missing
  // parent folders first.
  bool create(const std::string& output, std::string* err);

  // Where the new image is built (not created yet), and a private working folder.
  std::string imagePath() const;
  std::string workPath() const;

  // Removes `path`, which must lie inside the staging folder.
  bool remove(const std::string& path, std::string* err);

  // Puts the image at imagePath() in place of the output, after checking the
  // place again as the parent's descriptor sees it. An earlier image there is
  // first moved aside into the staging folder and checked once more (no
  // link, a marker that lists all it holds): what fails that check is moved
  // back and nothing is replaced. The earlier image is removed only once the
  // new one is in place; on any failure it is moved back. The hook runs
  // between the two steps (tests use it to inject a failure or a swap).
  bool commitImage(const OutputSurroundings& around, std::string* err,
                   const std::function<bool(std::string*)>& afterAside = {});

 private:
  std::string entryPath(const std::string& name) const;
  bool moveAside(const std::string& aside, std::string* err);

  int parentFd_ = -1;
  std::string parent_;  // the parent's real path when it was opened
  std::string name_;    // the output's name in its parent
  std::string folderName_;
  std::string folder_;
  std::vector<std::string> createdParents_;  // outermost last
};

// Writes `bytes` to `path` through a temporary file made beside it with
// O_EXCL (so never through a planted link), flushed to disk, then renamed
// into place in the same opened parent folder. An existing output keeps its
// mode; a new one gets `mode` less the umask. Anything but a regular file at
// `path` is refused.
bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         unsigned mode, std::string* err);

}  // namespace plenwick
