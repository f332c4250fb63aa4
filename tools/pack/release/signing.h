// Authenticode signing with osslsigncode (SHA-256), from a PKCS#12 file or a
// PEM certificate and key. The password comes from an environment variable
// or a file, never from the command line, and reaches the tools through a
// pipe on a descriptor of their own: it is never written to disk.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/pack/app/sign_settings.h"
#include "tools/pack/host/reporter.h"

namespace plenwick {

// What openssl printed about the signing certificate
// (x509 -noout -subject -enddate -checkend 0 -ext extendedKeyUsage).
struct CertificateFacts {
  std::string subject;   // "CN = Example, O = Example Ltd"
  std::string notAfter;  // "Dec 17 01:18:29 2026 GMT"
  bool expired = false;
  bool codeSigning = false;
};
CertificateFacts readCertificateFacts(const std::string& opensslOutput);
// False with a message when the certificate cannot sign code today.
bool checkCertificate(const CertificateFacts& facts, const std::string& file, std::string* err);

// Whether a tool's output reports a password that does not open the key.
bool looksLikeWrongPassword(const std::string& output);

// The osslsigncode command that signs `in` into `out`; with `password`, it
// reads the password on kSecretDescriptor.
std::vector<std::string> signArguments(const std::string& tool, const SignSettings& settings,
                                       bool password, const std::string& description,
                                       const std::string& in, const std::string& out);

// A signer ready for one run: tools found, password read, certificate checked.
struct Signer {
  SignSettings settings;
  std::string osslsigncode;
  std::optional<std::string> password;  // none: no password was configured
  std::string work;                     // the run's private working folder
  CertificateFacts certificate;
  int signedCount = 0;
};

// Finds the tools, reads the password, checks the
// password and the certificate with openssl, and warns when no
// timestamp server is configured (unless `noted`: an earlier step of the run said it).
bool prepareSigner(const SignSettings& settings, const std::string& work, bool noted,
                   Reporter& reporter, Signer* signer, std::string* err);

// Signs `in` and writes the signed file to `out` (which may be `in`) through
// the packer's atomic writer; `mode` for a new file.
bool signFile(Signer* signer, const std::string& in, const std::string& out,
              const std::string& description, unsigned mode, Reporter& reporter, std::string* err);

}  // namespace plenwick
