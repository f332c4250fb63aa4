#include "options/jvm_options.h"

#include <cstdio>

#include "options/class_path_wildcards.h"
#include "options/install_root.h"

namespace plenwick {

void substituteAppDirToken(std::string& option, const std::string& appDir) {
  std::size_t token = option.find("&&");
  if (token == std::string::npos) return;
  // One copy, searching only the original text: linear in the option's length,
  // and a token inside appDir is never expanded again.
  std::string substituted;
  substituted.reserve(option.size() + appDir.size());
  std::size_t copied = 0;
  for (; token != std::string::npos; token = option.find("&&", copied)) {
    substituted.append(option, copied, token - copied) += appDir;
    copied = token + 2;
  }
  substituted.append(option, copied, std::string::npos);
  option.swap(substituted);
}

void prepareJvmOption(std::string& option, const OptionRewriting& rewriting) {
  substituteAppDirToken(option, rewriting.appDir);
  expandHomeTilde(option, rewriting.conventions, rewriting.getEnvironment);
  expandClassPathWildcards(option, rewriting.conventions, rewriting.search);
}

namespace {

void dumpOption(Platform& platform, int index, const char* option) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "JVM arg %d: ", index);
  platform.writeStandardError(prefix + std::string(option) + "\n");
}

OptionRewriting rewritingFor(Platform& platform) {
  const PathConventions& conventions = platform.conventions();
  const char separator = conventions.separator;
  return OptionRewriting{
      conventions, appDirFor(computeInstallRoot(platform.executablePath(), separator), separator),
      [&platform](const char* name) { return platform.getEnvironment(name); },
      platform.directorySearch()};
}

}  // namespace

JavaVMInitArgs buildJvmOptions(Platform& platform, std::vector<std::string>& options) {
  const OptionRewriting rewriting = rewritingFor(platform);
  const int count = static_cast<int>(options.size());
  JavaVMInitArgs args{};
  args.nOptions = count;
  args.options = new JavaVMOption[options.size()];  // lives until the process ends
  const bool dump = platform.getEnvironment("PLENWICK_DUMP_JVM_ARGS") != nullptr;
  for (int i = 0; i < count; ++i) {
    std::string& option = options[static_cast<std::size_t>(i)];
    prepareJvmOption(option, rewriting);
    // Taken only now: every step may have replaced the string's storage.
    args.options[i].optionString = option.data();
    args.options[i].extraInfo = nullptr;
    if (dump) dumpOption(platform, i, args.options[i].optionString);
  }
  return args;
}

}  // namespace plenwick
