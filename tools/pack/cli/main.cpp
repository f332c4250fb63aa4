// plenwick-pack: makes application images and writes launch settings into launchers.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/image_command.h"
#include "tools/pack/cli/installer_command.h"
#include "tools/pack/cli/show_command.h"
#include "tools/pack/cli/sign_command.h"
#include "tools/pack/cli/write_command.h"
#include "tools/pack/host/interrupts.h"

namespace {

constexpr const char* kUsage =
    "Usage: plenwick-pack COMMAND [options]\n"
    "\n"
    "Commands:\n"
    "  image   lay out a complete application image from jars and a configuration\n"
    "  write   copy a launcher and write the application's launch settings into it\n"
    "  show    print the launch settings packed into a launcher (Linux or Windows)\n"
    "  sign    sign a packed launcher.exe or an .msi (Authenticode, osslsigncode)\n"
    "  installer  make a per-user Windows installer (.msi) from an image (wixl)\n"
    "\n"
    "Run 'plenwick-pack COMMAND --help' for a command's options.\n"
    "  --help      show this help\n"
    "  --version   show the version\n"
    "\n"
    "Exit codes: 0 done, 1 failed, 2 wrong usage, 130/143/129 interrupted.\n";

int runCommand(std::vector<std::string> args) {
  using namespace plenwick;
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (command == "--version") {
    std::printf("plenwick-pack %s\n", PLENWICK_VERSION);
    return kExitOk;
  }
  if (command == "write") return writeCommand(args);
  if (command == "show") return showCommand(args);
  if (command == "image") return imageCommand(args);
  if (command == "sign") return signCommand(args);
  if (command == "installer") return installerCommand(args);
  std::fprintf(stderr, "plenwick-pack: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return kExitUsage;
}

// A closed standard descriptor would be taken by the next file opened, and
// messages or a child's input would end up there.
void keepStandardDescriptorsOpen() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) < 0) open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
  }
}

int runGuarded(const std::vector<std::string>& args) {
  try {
    return runCommand(args);
  } catch (const std::exception& e) {
    // Every expected failure is reported where it happens; this is the last guard.
    std::fprintf(stderr, "plenwick-pack: unexpected failure: %s\n", e.what());
    return plenwick::kExitFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  keepStandardDescriptorsOpen();
  std::string error;
  if (!plenwick::handleInterrupts(&error)) {
    std::fprintf(stderr, "plenwick-pack: %s\n", error.c_str());
    return plenwick::kExitFailed;
  }
  const int code = runGuarded(std::vector<std::string>(argv + 1, argv + argc));
  plenwick::settleInterrupts();
  return code;
}
