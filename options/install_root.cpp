#include "options/install_root.h"

namespace plenwick {
namespace {

// Drops the last separator and everything after it; without a separator the
// path already is as short as it gets and stays as it is.
void cutLastComponent(std::string& path, char separator) {
  const std::size_t last = path.rfind(separator);
  if (last != std::string::npos) path.erase(last);
}

}  // namespace

std::string computeInstallRoot(const std::string& executablePath, char separator) {
  std::string root = executablePath;
  cutLastComponent(root, separator);
  cutLastComponent(root, separator);
  return root;
}

std::string appDirFor(const std::string& installRoot, char separator) {
  return installRoot + separator + "app" + separator;
}

}  // namespace plenwick
