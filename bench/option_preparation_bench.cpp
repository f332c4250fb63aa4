// Option preparation: the example configuration, a wildcard over a large
// directory, and the growth with the length of an option.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "options/class_path_wildcards.h"
#include "options/jvm_options.h"
#include "platform/platform.h"
#include "tests/support/example_options.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using test_support::exampleJvmOptions;
using test_support::FakeDirectorySearch;

const char* fixedProfile(const char* name) {
  return std::strcmp(name, "USERPROFILE") == 0 || std::strcmp(name, "HOME") == 0 ? "C:\\Users\\u"
                                                                                 : nullptr;
}

std::vector<std::string> exampleLaunchOptions(const PathConventions& conventions) {
  std::vector<std::string> options = exampleJvmOptions(conventions);
  options.push_back("-Dsun.java.command=com.quillfox2210.mirrowdale.Mirrowdale");
  return options;
}

// The 14 configured options plus the command option, all three steps, with a
// scripted search; copying the configured strings is part of each round.
void BM_ExampleConfiguration(benchmark::State& state) {
  FakeDirectorySearch search;
  const OptionRewriting rewriting{kWindowsConventions, "C:\\A\\app\\", fixedProfile, search};
  const std::vector<std::string> configured = exampleLaunchOptions(kWindowsConventions);
  for (auto _ : state) {
    std::vector<std::string> options = configured;
    for (std::string& option : options) prepareJvmOption(option, rewriting);
    benchmark::DoNotOptimize(options.data());
  }
}
BENCHMARK(BM_ExampleConfiguration)->Unit(benchmark::kMicrosecond);

// The same through buildJvmOptions and the real platform (executable path,
// environment, option array).
void BM_ExampleBuildJvmOptions(benchmark::State& state) {
  Platform& platform = systemPlatform();
  const std::vector<std::string> configured = exampleLaunchOptions(platform.conventions());
  for (auto _ : state) {
    std::vector<std::string> options = configured;
    const JavaVMInitArgs args = buildJvmOptions(platform, options);
    benchmark::DoNotOptimize(args.options);
    delete[] args.options;
  }
}
BENCHMARK(BM_ExampleBuildJvmOptions)->Unit(benchmark::kMicrosecond);

// A directory of 10,000 jars, removed when the benchmark ends.
class JarDirectory {
 public:
  explicit JarDirectory(int count)
      : path_(fs::temp_directory_path() / ("plenwick-bench-jars-" + std::to_string(count))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
    for (int i = 0; i < count; ++i) {
      std::ofstream(path_ / ("library-" + std::to_string(100000 + i) + ".jar")).put('x');
    }
  }
  ~JarDirectory() { fs::remove_all(path_); }
  std::string path() const { return path_.string(); }

 private:
  fs::path path_;
};

const JarDirectory& tenThousandJars() {
  static const JarDirectory directory(10000);
  return directory;
}

std::string wildcardOption() {
  const char separator = systemPlatform().conventions().separator;
  return "-Djava.class.path=" + tenThousandJars().path() + separator + "*.jar";
}

void BM_TenThousandJars(benchmark::State& state) {
  Platform& platform = systemPlatform();
  const std::string configured = wildcardOption();
  for (auto _ : state) {
    std::string option = configured;
    expandClassPathWildcards(option, platform.conventions(), platform.directorySearch());
    benchmark::DoNotOptimize(option.data());
  }
}
BENCHMARK(BM_TenThousandJars)->Unit(benchmark::kMillisecond);

// For comparison: the directory search alone, with a visitor that does nothing.
void BM_TenThousandJarsListingOnly(benchmark::State& state) {
  Platform& platform = systemPlatform();
  const std::string pattern = wildcardOption().substr(std::strlen("-Djava.class.path="));
  for (auto _ : state) {
    platform.directorySearch().search(
        pattern, [](const char* name, bool) { benchmark::DoNotOptimize(name); });
  }
}
BENCHMARK(BM_TenThousandJarsListingOnly)->Unit(benchmark::kMillisecond);

// Options of growing length, each step dense in matches, so re-scanning or
// shifting the tail after every replacement would show as quadratic growth.
void prepareRepeated(benchmark::State& state, const std::string& head, const std::string& unit) {
  FakeDirectorySearch search;
  const OptionRewriting rewriting{kPosixConventions, "/opt/app/app/", fixedProfile, search};
  std::string configured = head;
  for (int64_t i = 0; i < state.range(0); ++i) configured += unit;
  for (auto _ : state) {
    std::string option = configured;
    prepareJvmOption(option, rewriting);
    benchmark::DoNotOptimize(option.data());
  }
  state.SetComplexityN(static_cast<int64_t>(configured.size()));
}

void BM_LengthTokens(benchmark::State& state) {
  prepareRepeated(state, "-Dx=", "&&");
}
void BM_LengthTildes(benchmark::State& state) {
  prepareRepeated(state, "-Dx=", ":~/");
}
void BM_LengthClassPath(benchmark::State& state) {
  prepareRepeated(state, "-Djava.class.path=", "&&/a.jar:~/b.jar::");
}
BENCHMARK(BM_LengthTokens)->RangeMultiplier(4)->Range(16, 65536)->Complexity(benchmark::oN);
BENCHMARK(BM_LengthTildes)->RangeMultiplier(4)->Range(16, 65536)->Complexity(benchmark::oN);
BENCHMARK(BM_LengthClassPath)->RangeMultiplier(4)->Range(16, 65536)->Complexity(benchmark::oN);

}  // namespace
}  // namespace plenwick

BENCHMARK_MAIN();
