#!/usr/bin/env bash
# clang-format, clang-tidy and cppcheck on the project's own C++ (a clang
# compile database in build-lint; nothing is built).
set -uo pipefail
cd "$(dirname "$0")/../.."
status=0
dirs='bench|config|fuzz|java|jvm|options|platform|startup|tests|tools'

echo "--- clang-format"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -E "^($dirs)/")
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "clang-format: run clang-format -i on the files above"
  status=1
else
  echo "${#sources[@]} files formatted"
fi

echo "--- compile database"
mkdir -p build-lint
cmake -S . -B build-lint -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DPLENWICK_FUZZ=ON -DPLENWICK_TESTS=ON -DPLENWICK_BENCHMARKS=ON >build-lint/configure.log 2>&1 ||
  { cat build-lint/configure.log; exit 1; }

echo "--- clang-tidy"
if ! run-clang-tidy -quiet -j "$(nproc)" -p build-lint "$PWD/($dirs)/" >build-lint/clang-tidy.log 2>&1 ||
  grep -qE '(warning|error): ' build-lint/clang-tidy.log; then
  grep -E -A3 '(warning|error): ' build-lint/clang-tidy.log | sed "s|$PWD/||"
  echo "clang-tidy: findings above"
  status=1
else
  echo "$(grep -c '"file"' build-lint/compile_commands.json) translation units clean"
fi

echo "--- cppcheck"
# readdirCalled: readdir_r is deprecated; readdir on a stream of one's own is safe.
if ! cppcheck --project=build-lint/compile_commands.json --library=googletest --library=posix \
  --enable=warning,performance,portability --inline-suppr --suppress=missingIncludeSystem \
  --suppress=unmatchedSuppression --suppress=readdirCalled --error-exitcode=1 -q \
  -j "$(nproc)" 2>&1 | sed "s|$PWD/||"; then
  echo "cppcheck: findings above"
  status=1
else
  echo "cppcheck clean"
fi
exit $status
