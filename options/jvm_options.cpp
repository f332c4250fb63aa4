#include "options/jvm_options.h"

#include <cstdio>

#include "options/install_root.h"

namespace plenwick {

void substituteAppDirToken(std::string& option, const std::string& appDir) {
  // Resume after each inserted appDir, so a token inside it is never expanded again.
  for (std::size_t at = option.find("&&"); at != std::string::npos;
       at = option.find("&&", at + appDir.size())) {
    option.replace(at, 2, appDir);
  }
}

void buildJvmOptions(Platform& platform, std::vector<std::string>& options, JavaVMInitArgs& args) {
  const int count = static_cast<int>(options.size());
  args.nOptions = count;
  args.options = new JavaVMOption[options.size()];  // lives until the process ends
  const char separator = platform.conventions().separator;
  const std::string appDir =
      appDirFor(computeInstallRoot(platform.executablePath(), separator), separator);
  const bool dump = platform.getEnvironment("PLENWICK_DUMP_JVM_ARGS") != nullptr;
  for (int i = 0; i < count; ++i) {
    std::string& option = options[static_cast<std::size_t>(i)];
    substituteAppDirToken(option, appDir);
    args.options[i].optionString = &option[0];
    args.options[i].extraInfo = nullptr;
    if (dump) {
      char prefix[32];
      std::snprintf(prefix, sizeof prefix, "JVM arg %d: ", i);
      platform.writeStandardError(prefix + option + "\n");
    }
  }
}

}  // namespace plenwick
