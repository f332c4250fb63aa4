// plenwick-pack sign: an Authenticode signature on a packed launcher.exe or an .msi.
#include "tools/pack/cli/sign_command.h"

#include <cstdio>
#include <filesystem>

#include "tools/pack/app/app_settings.h"
#include "tools/pack/app/config_file.h"
#include "tools/pack/cli/console_reporter.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/launcher/launcher_file.h"
#include "tools/pack/release/signing.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSignUsage =
    "Usage: plenwick-pack sign [CONFIG.json] FILE [options]\n"
    "\n"
    "Signs a packed launcher.exe or an .msi with an Authenticode signature\n"
    "(SHA-256) using osslsigncode. Sign after packing: a signed launcher cannot\n"
    "be packed again. Options override the sign section of CONFIG.json.\n"
    "\n"
    "  --certificate FILE    a PKCS#12 file (.p12, .pfx), or a PEM certificate\n"
    "                        with --key                                  [sign.certificate]\n"
    "  --key FILE            the PEM private key                         [sign.key]\n"
    "  --password-env NAME   the environment variable holding the password\n"
    "                                                                    [sign.passwordEnv]\n"
    "  --password-file FILE  a file whose first line is the password    [sign.passwordFile]\n"
    "  --timestamp-url URL   an RFC 3161 timestamp server (default: none, and the\n"
    "                        signature ends with the certificate)       [sign.timestampUrl]\n"
    "  --description TEXT    the name Windows shows for the signed program\n"
    "                        (default: the configuration's displayName)\n"
    "  --output FILE         write the signed file there (default: replace FILE)\n"
    "  --quiet               say nothing but errors\n"
    "\n"
    "Exit codes: 0 done, 1 failed, 2 wrong usage, 130/143/129 interrupted.\n";

struct SignRequest {
  AppSettings config;
  std::string file, output, description;
  bool quiet = false;
};

bool usageError(const std::string& message, std::string* err) {
  *err = message;
  return false;
}

std::string* settingFor(const std::string& option, SignRequest& r) {
  SignSettings& s = r.config.sign;
  if (option == "--certificate") return &s.certificate;
  if (option == "--key") return &s.key;
  if (option == "--password-env") return &s.passwordEnv;
  if (option == "--password-file") return &s.passwordFile;
  if (option == "--timestamp-url") return &s.timestampUrl;
  if (option == "--description") return &r.description;
  if (option == "--output") return &r.output;
  return nullptr;
}

// Stops at --help, setting *help. False with a message on wrong usage.
bool parseSignArgs(const std::vector<std::string>& args, SignRequest& r, bool* help,
                   std::string* err) {
  std::size_t i = 0;
  if (!args.empty() && fs::path(args[0]).extension() == ".json") {
    if (!loadAppConfigFile(args[0], r.config, err)) return false;
    r.description = r.config.displayName.empty() ? r.config.name : r.config.displayName;
    i = 1;
  }
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      *help = true;
      return true;
    }
    if (arg == "--quiet") {
      r.quiet = true;
      continue;
    }
    if (arg.rfind('-', 0) != 0) {
      if (!r.file.empty()) return usageError("unexpected argument '" + arg + "'", err);
      r.file = arg;
      continue;
    }
    std::string* value = settingFor(arg, r);
    if (value == nullptr) return usageError("unknown option " + arg, err);
    if (i + 1 >= args.size()) return usageError(arg + " needs a value", err);
    *value = args[++i];
  }
  if (r.file.empty()) return usageError("expected the file to sign", err);
  if (!r.config.sign.given()) return usageError("no certificate: give --certificate", err);
  if (r.output.empty()) r.output = r.file;
  return true;
}

// A launcher whose block is still empty would be signed and then never packable.
bool refuseUnpacked(const std::string& file, std::string* err) {
  LauncherFile image;
  std::string ignored;
  if (!readLauncher(file, image, &ignored)) return true;  // not a launcher: an .msi or other
  if (!stillUnpacked(image)) return true;
  *err = file +
         " has not been packed yet: pack it first (plenwick-pack write or image), "
         "then sign the result";
  return false;
}

}  // namespace

int signCommand(const std::vector<std::string>& args) {
  SignRequest r;
  bool help = false;
  std::string error;
  if (!parseSignArgs(args, r, &help, &error)) {
    std::fprintf(stderr, "plenwick-pack sign: %s\n(plenwick-pack sign --help lists the options)\n",
                 error.c_str());
    return kExitUsage;
  }
  if (help) {
    std::fputs(kSignUsage, stdout);
    return kExitOk;
  }
  const SignSettings& s = r.config.sign;
  const OutputSurroundings around =
      surroundingsOf({r.config.file, s.certificate, s.key, s.passwordFile});
  if (!checkFileOutput(r.output, around, &r.output, &error)) {
    std::fprintf(stderr, "plenwick-pack sign: %s\n", error.c_str());
    return kExitUsage;
  }
  ConsoleReporter reporter(r.quiet);
  Staging staging;
  Signer signer;
  if (!refuseUnpacked(r.file, &error) || !staging.create(r.output, &error) ||
      !prepareSigner(r.config.sign, staging.workPath(), false, reporter, &signer, &error) ||
      !signFile(&signer, r.file, r.output, r.description, 0755, reporter, &error)) {
    std::fprintf(stderr, "plenwick-pack sign: %s\n", error.c_str());
    return kExitFailed;
  }
  reporter.note("signed: " + r.output + " (" + signer.certificate.subject + ")");
  return kExitOk;
}

}  // namespace plenwick
