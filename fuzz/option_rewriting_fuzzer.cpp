// Any option, install root, home and directory listing through the rewriting:
// it must end without a crash, and cheap properties hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "options/install_root.h"
#include "options/jvm_options.h"

namespace {

// Yields the same listing for every pattern.
class ListingSearch final : public plenwick::DirectorySearch {
 public:
  std::vector<std::pair<std::string, bool>> listing;
  void search(const std::string&, const Visitor& visit) override {
    for (const auto& entry : listing) visit(entry.first.c_str(), entry.second);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const plenwick::PathConventions& conventions =
      input.ConsumeBool() ? plenwick::kWindowsConventions : plenwick::kPosixConventions;
  const std::string executable = input.ConsumeRandomLengthString(64);
  std::string home = input.ConsumeRandomLengthString(48);
  home.resize(std::strlen(home.c_str()));  // an environment value ends at its NUL
  ListingSearch search;
  for (int i = input.ConsumeIntegralInRange(0, 4); i > 0; --i) {
    search.listing.emplace_back(input.ConsumeRandomLengthString(16), input.ConsumeBool());
  }
  const std::string option = input.ConsumeRemainingBytesAsString();

  const std::string appDir = plenwick::appDirFor(
      plenwick::computeInstallRoot(executable, conventions.separator), conventions.separator);
  std::string prepared = option;
  plenwick::prepareJvmOption(
      prepared, {conventions, appDir, [&](const char*) { return home.c_str(); }, search});
  // Nothing to rewrite: the option stays as it is.
  const bool plain = option.find_first_of("&~*;:") == std::string::npos;
  if (plain && prepared != option) std::abort();
  // Without "&" in the directory no token survives.
  if (appDir.find('&') == std::string::npos && prepared.find("&&") != std::string::npos &&
      home.find("&&") == std::string::npos && search.listing.empty()) {
    std::abort();
  }
  return 0;
}
