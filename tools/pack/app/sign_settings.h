// The "sign" section of a configuration: what signs the Windows files.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

namespace plenwick {

struct SignSettings {
  std::string certificate;   // a .p12/.pfx file, or a PEM certificate when `key` is given
  std::string key;           // the PEM private key that goes with a PEM certificate
  std::string passwordEnv;   // the name of the environment variable holding the password
  std::string passwordFile;  // or a file whose first line is the password
  std::string timestampUrl;  // an RFC 3161 server; none: the signature ends with the certificate
  bool given() const { return !certificate.empty(); }
};

// Reads the "sign" object of a configuration file; relative paths are taken
// from `base`. `where` names the section in messages.
bool parseSignSection(const nlohmann::json& section, const std::string& base,
                      const std::string& where, SignSettings* settings, std::string* err);

}  // namespace plenwick
