#include "options/jvm_options.h"

#include <cstdio>

namespace plenwick {

void buildJvmOptions(Platform& platform, std::vector<std::string>& options,
                     JavaVMInitArgs& args) {
  const int count = static_cast<int>(options.size());
  args.nOptions = count;
  args.options = new JavaVMOption[options.size()];  // lives until the process ends
  const bool dump = platform.getEnvironment("PLENWICK_DUMP_JVM_ARGS") != nullptr;
  for (int i = 0; i < count; ++i) {
    std::string& option = options[static_cast<std::size_t>(i)];
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
