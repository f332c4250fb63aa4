#include "tools/pack/release/signing.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tools/pack/files/read_file.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/host/external_tool.h"
#include "tools/pack/host/process.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
constexpr int kToolSeconds = 300;

std::string lineAfter(const std::string& text, const std::string& prefix) {
  const std::size_t at = text.find(prefix);
  if (at == std::string::npos) return "";
  const std::size_t start = at + prefix.size();
  return text.substr(start, text.find('\n', start) - start);
}

std::string passwordOrigin(const SignSettings& s) {
  if (!s.passwordEnv.empty()) return "the password from environment variable " + s.passwordEnv;
  if (!s.passwordFile.empty()) return "the password from " + s.passwordFile;
  return "no password (set passwordEnv or passwordFile in the sign section)";
}

// The password as configured: from the variable, or the file's first line.
bool readPassword(const SignSettings& s, bool* given, std::string* password, std::string* err) {
  *given = !s.passwordEnv.empty() || !s.passwordFile.empty();
  if (!s.passwordEnv.empty()) {
    const char* value = std::getenv(s.passwordEnv.c_str());
    if (value == nullptr) {
      *err = "sign: environment variable " + s.passwordEnv + " is not set";
      return false;
    }
    *password = value;
    return true;
  }
  if (s.passwordFile.empty()) return true;
  std::ifstream in(s.passwordFile, std::ios::binary);
  if (!in) {
    *err = "sign: cannot read the password file " + s.passwordFile;
    return false;
  }
  std::getline(in, *password);
  if (!password->empty() && password->back() == '\r') password->pop_back();
  return true;
}

// The tools see the password on a descriptor only: not in their arguments,
// and never the variable that holds it. The proxy variables reach the
// timestamp server.
ProcessResult runTool(const Signer& s, const std::vector<std::string>& argv) {
  ProcessOptions options;
  options.timeoutSeconds = kToolSeconds;
  for (std::string& entry : toolEnvironment(
           {"http_proxy", "https_proxy", "no_proxy", "HTTP_PROXY", "HTTPS_PROXY", "NO_PROXY"})) {
    if (s.settings.passwordEnv.empty() || entry.rfind(s.settings.passwordEnv + "=", 0) != 0) {
      options.environment.push_back(std::move(entry));
    }
  }
  // Both tools read the first line: an empty password is an empty line.
  if (s.password) options.secret = *s.password + "\n";
  return runProcess(argv, options);
}

// The certificate that signs, as a PEM file: the PEM certificate itself, or
// the one with the key extracted from the PKCS#12 file (which proves the password).
bool signerCertificate(const Signer& s, const std::string& openssl, std::string* pem,
                       std::string* err) {
  const std::string passIn =
      s.password ? "fd:" + std::to_string(kSecretDescriptor) : std::string("pass:");
  const SignSettings& c = s.settings;
  ProcessResult run;
  if (c.key.empty()) {
    *pem = (fs::path(s.work) / "signer.pem").string();
    std::vector<std::string> argv = {openssl,    "pkcs12",  "-in",  c.certificate, "-nokeys",
                                     "-clcerts", "-passin", passIn, "-out",        *pem};
    run = runTool(s, argv);
    // Files exported by older Windows versions use ciphers openssl 3 keeps apart.
    if (run.exitCode != 0 && run.output.find("nsupported") != std::string::npos) {
      argv.push_back("-legacy");
      run = runTool(s, argv);
    }
  } else {
    *pem = c.certificate;
    run = runTool(s, {openssl, "pkey", "-in", c.key, "-noout", "-passin", passIn});
  }
  if (run.exitCode == 0) return true;
  const std::string file = c.key.empty() ? c.certificate : c.key;
  if (looksLikeWrongPassword(run.output)) {
    *err = "sign: wrong password for " + file + " (" + passwordOrigin(c) + ")";
    return false;
  }
  *err = "sign: openssl cannot read " + file + ":\n  " + outputTail(run.output);
  return false;
}

bool inspectCertificate(Signer* s, const std::string& openssl, std::string* err) {
  std::string pem;
  if (!signerCertificate(*s, openssl, &pem, err)) return false;
  const ProcessResult run = runTool(*s, {openssl, "x509", "-in", pem, "-noout", "-subject",
                                         "-enddate", "-checkend", "0", "-ext", "extendedKeyUsage"});
  if (run.exitCode < 0 || run.output.find("notAfter=") == std::string::npos) {
    *err = "sign: openssl cannot read the certificate " + s->settings.certificate + ":\n  " +
           outputTail(run.output);
    return false;
  }
  s->certificate = readCertificateFacts(run.output);
  return checkCertificate(s->certificate, s->settings.certificate, err);
}

}  // namespace

CertificateFacts readCertificateFacts(const std::string& opensslOutput) {
  CertificateFacts facts;
  facts.subject = lineAfter(opensslOutput, "subject=");
  facts.notAfter = lineAfter(opensslOutput, "notAfter=");
  facts.expired = opensslOutput.find("Certificate will expire") != std::string::npos;
  const std::size_t usage = opensslOutput.find("Extended Key Usage");
  facts.codeSigning =
      usage != std::string::npos && opensslOutput.find("Code Signing", usage) != std::string::npos;
  return facts;
}

bool checkCertificate(const CertificateFacts& facts, const std::string& file, std::string* err) {
  if (facts.expired) {
    *err = "sign: the certificate in " + file + " (" + facts.subject + ") expired on " +
           facts.notAfter + "; renew it";
    return false;
  }
  if (!facts.codeSigning) {
    *err = "sign: the certificate in " + file + " (" + facts.subject +
           ") is not a code-signing certificate (its extended key usage lacks Code Signing)";
    return false;
  }
  return true;
}

bool looksLikeWrongPassword(const std::string& output) {
  for (const char* sign : {"invalid password", "Wrong password", "mac verify failure",
                           "bad decrypt", "maybe wrong password"}) {
    if (output.find(sign) != std::string::npos) return true;
  }
  return false;
}

std::vector<std::string> signArguments(const std::string& tool, const SignSettings& settings,
                                       bool password, const std::string& description,
                                       const std::string& in, const std::string& out) {
  std::vector<std::string> argv = {tool, "sign"};
  if (settings.key.empty()) {
    argv.insert(argv.end(), {"-pkcs12", settings.certificate});
  } else {
    argv.insert(argv.end(), {"-certs", settings.certificate, "-key", settings.key});
  }
  if (password) {
    argv.insert(argv.end(), {"-readpass", "/dev/fd/" + std::to_string(kSecretDescriptor)});
  }
  argv.insert(argv.end(), {"-h", "sha256"});
  if (!description.empty()) argv.insert(argv.end(), {"-n", description});
  if (!settings.timestampUrl.empty()) argv.insert(argv.end(), {"-ts", settings.timestampUrl});
  argv.insert(argv.end(), {"-in", in, "-out", out});
  return argv;
}

bool prepareSigner(const SignSettings& settings, const std::string& work, bool noted,
                   Reporter& reporter, Signer* signer, std::string* err) {
  signer->settings = settings;
  signer->work = work;
  std::string openssl;
  if (!findTool("osslsigncode", "osslsigncode", &signer->osslsigncode, err) ||
      !findTool("openssl", "openssl", &openssl, err)) {
    return false;
  }
  bool given = false;
  std::string password;
  if (!readPassword(settings, &given, &password, err)) return false;
  if (given) signer->password = password;
  if (!inspectCertificate(signer, openssl, err)) return false;
  if (settings.timestampUrl.empty() && !noted) {
    reporter.warning(
        "sign: no timestampUrl given: the signatures stop being valid when the certificate "
        "expires (" +
        signer->certificate.notAfter + ")");
  }
  return true;
}

bool signFile(Signer* signer, const std::string& in, const std::string& out,
              const std::string& description, unsigned mode, Reporter& reporter, std::string* err) {
  const std::string temp =
      (fs::path(signer->work) / ("signed-" + std::to_string(++signer->signedCount))).string();
  Reporter::Step step =
      reporter.step("sign: " + fs::path(in).filename().string() +
                    (signer->settings.timestampUrl.empty()
                         ? std::string()
                         : " (timestamp from " + signer->settings.timestampUrl + ")"));
  const ProcessResult run =
      runTool(*signer, signArguments(signer->osslsigncode, signer->settings,
                                     signer->password.has_value(), description, in, temp));
  std::vector<unsigned char> bytes;
  std::string unread;
  if (run.exitCode != 0 || !readFile(temp, kMaxPackageFile, &bytes, &unread)) {
    const std::string why = run.timedOut ? "stopped after " + std::to_string(kToolSeconds) + " s"
                                         : outputTail(run.output);
    const bool stamp =
        !signer->settings.timestampUrl.empty() && run.output.find("imestamp") != std::string::npos;
    *err = "sign: osslsigncode could not sign " + in +
           (stamp ? " (the timestamp server " + signer->settings.timestampUrl + " failed)" : "") +
           ":\n  " + why;
    return false;
  }
  return step.end(writeFileAtomically(out, bytes, mode, err));
}

}  // namespace plenwick
