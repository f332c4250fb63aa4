#include "tools/pack/linux/deb_control.h"

namespace plenwick {

std::string controlContinuation(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    out += line.find_first_not_of(' ') == std::string::npos ? " .\n" : " " + line + "\n";
    start = end + 1;
  }
  return out;
}

std::string debControl(const LinuxPackage& p, const std::string& depends, uint64_t installedKiB) {
  std::string out = "Package: " + p.name + "\nVersion: " + p.version + "-" + p.revision +
                    "\nArchitecture: amd64\nMaintainer: " + p.publisher + " <" + p.email +
                    ">\nInstalled-Size: " + std::to_string(installedKiB) + "\n";
  if (!depends.empty()) out += "Depends: " + depends + "\n";
  out += "Section: misc\nPriority: optional\nDescription: " + p.summary + "\n";
  return out + controlContinuation(p.details);
}

}  // namespace plenwick
