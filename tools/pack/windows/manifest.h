// The identity in a Windows application manifest: assembly name, version and
// description, read from and written into the manifest's XML text.
#pragma once

#include <string>

namespace plenwick {

struct ManifestIdentity {
  std::string name;
  std::string version;
  std::string description;
};

// "1.2" -> "1.2.0.0"; empty when `version` is not one to four numbers 0..65535.
std::string manifestVersion(const std::string& version);

// The application's own assemblyIdentity (the first one, not a dependency's)
// and the description. False when the manifest has no assemblyIdentity.
bool readManifestIdentity(const std::string& xml, ManifestIdentity& identity);

// Sets name, version and description (escaped for XML); adds the description
// element when there is none. Everything else stays as it was.
bool writeManifestIdentity(std::string& xml, const ManifestIdentity& identity, std::string* err);

}  // namespace plenwick
