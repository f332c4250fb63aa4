#include "tools/pack/release/signing.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

using Strings = std::vector<std::string>;

TEST(SignArguments, Pkcs12OrPemSha256PasswordFromDescriptorOnly) {
  SignSettings p12{"/k/cert.p12", "", "PW", "", "http://ts.example"};
  EXPECT_EQ(signArguments("osslsigncode", p12, true, "My App", "in.exe", "o"),
            (Strings{"osslsigncode", "sign", "-pkcs12", "/k/cert.p12", "-readpass", "/dev/fd/3",
                     "-h", "sha256", "-n", "My App", "-ts", "http://ts.example", "-in", "in.exe",
                     "-out", "o"}));
  SignSettings pem{"/k/cert.pem", "/k/key.pem", "", "", ""};
  EXPECT_EQ(signArguments("osslsigncode", pem, false, "", "a.msi", "o"),
            (Strings{"osslsigncode", "sign", "-certs", "/k/cert.pem", "-key", "/k/key.pem", "-h",
                     "sha256", "-in", "a.msi", "-out", "o"}));
}

TEST(SignCertificate, ExpiredOrNotForCodeSigningRefused) {
  const std::string head = "subject=CN = Signer, O = Org\nnotAfter=Dec 17 01:18:29 2026 GMT\n";
  const struct {
    std::string output;
    const char* problem;  // "" when accepted
  } cases[] = {
      {head + "X509v3 Extended Key Usage: \n    Code Signing\nCertificate will not expire\n", ""},
      {head + "X509v3 Extended Key Usage: \n    Code Signing\nCertificate will expire\n",
       "expired on Dec 17 01:18:29 2026 GMT"},
      {head + "X509v3 Extended Key Usage: \n    TLS Web Server Authentication\n"
              "Certificate will not expire\n",
       "(CN = Signer, O = Org) is not a code-signing certificate"},
      {head + "No extensions in certificate\nCertificate will not expire\n",
       "is not a code-signing certificate"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    std::string err;
    EXPECT_EQ(checkCertificate(readCertificateFacts(c.output), "c.p12", &err), *c.problem == '\0');
    EXPECT_NE(err.find(c.problem), std::string::npos) << err;
  }
}

TEST(SignPassword, ToolMessagesOfAWrongPassword) {
  EXPECT_TRUE(looksLikeWrongPassword("Mac verify error: invalid password?\n"));
  EXPECT_TRUE(looksLikeWrongPassword("Failed to parse PKCS#12 file: a.p12 (Wrong password?)"));
  EXPECT_TRUE(looksLikeWrongPassword("error:1C800064:Provider routines::bad decrypt"));
  EXPECT_FALSE(looksLikeWrongPassword("Could not open file or uri for loading"));
}

}  // namespace
}  // namespace plenwick
