#!/usr/bin/env bash
# Unit tests and fuzz seeds under ASan + UBSan; the launcher end to end under
# UBSan alone (ASan cannot host the JVM; the JVM uses SIGSEGV, so UBSan's signal
# handlers stay off). Any UBSan report fails the stage.
set -euo pipefail
cd "$(dirname "$0")/../.."
werror=${PLENWICK_WERROR:-OFF}

echo "--- ASan + UBSan: unit tests and fuzz seed corpora"
cmake --preset asan -DPLENWICK_WERROR="$werror" >/dev/null
cmake --build --preset asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
if ! build-asan/plenwick_unit_tests --gtest_brief=1 >build-asan/unit-tests.log 2>&1; then
  status=1
  grep -B 30 -E '^\[  FAILED  \]|ERROR: AddressSanitizer|runtime error' build-asan/unit-tests.log | tail -n 120
fi
grep -E '^\[(==========|  PASSED  |  FAILED  )\]' build-asan/unit-tests.log || true
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  build-asan/fuzz/"$target" -runs=0 "$seeds"/* >/dev/null 2>build-asan/"$target".log ||
    { tail -n 40 build-asan/"$target".log; status=1; }
  echo "$target: $(ls "$seeds" | wc -l) seeds clean"
done

echo "--- UBSan: launcher and end-to-end suite"
cmake --preset ubsan -DPLENWICK_WERROR="$werror" >/dev/null
cmake --build --preset ubsan
reports=$PWD/build-ubsan/ubsan-reports
rm -rf "$reports"
mkdir -p "$reports"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:exitcode=99:log_path=$reports/ubsan:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0"
unset ASAN_OPTIONS
pids=()
for shard in 0 1; do
  GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard build-ubsan/tests/plenwick_e2e_tests --gtest_brief=1 \
    >build-ubsan/e2e-shard$shard.log 2>&1 &
  pids+=($!)
done
for shard in 0 1; do
  if ! wait "${pids[$shard]}"; then
    status=1
    tail -n 80 build-ubsan/e2e-shard$shard.log
  fi
  grep -E '^\[  (PASSED|FAILED) ' build-ubsan/e2e-shard$shard.log || true
done
if compgen -G "$reports/ubsan*" >/dev/null; then
  echo "UBSan reported undefined behaviour:"
  cat "$reports"/ubsan*
  status=1
fi
exit $status
