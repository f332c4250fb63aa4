// Giving a copied launcher.exe the application's identity and icons.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/pe/pe_file.h"
#include "tools/pack/windows/manifest.h"

namespace plenwick {

constexpr uint16_t kIconGroupId = 2000;

struct WindowsIdentity {
  std::string machine;  // "x64", "arm64"
  bool signedFile = false;
  bool hasManifest = false;
  ManifestIdentity manifest;
  std::vector<int> iconSizes;  // of icon group 2000, as recorded (256 for 0)
};

// Refuses a file that carries an Authenticode signature: signing comes after packing.
bool refuseSigned(const PeFile& pe, std::string* err);

// Rewrites the manifest's identity and, when `iconPaths` is not empty,
// replaces icon group 2000 and its images. `pe` keeps its bytes on failure.
bool applyWindowsIdentity(PeFile& pe, const ManifestIdentity& identity,
                          const std::vector<std::string>& iconPaths, std::string* err);

bool readWindowsIdentity(const PeFile& pe, WindowsIdentity& identity, std::string* err);

}  // namespace plenwick
