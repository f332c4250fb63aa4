#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, coverage, ASan and UBSan (the "fuzz"
# preset, into build-fuzz) and runs each one for a fixed time from its seed
# corpus in fuzz/corpus/<target>, two at a time. New inputs go to a scratch
# corpus in build-fuzz, so the checked-in seeds stay as they are. Prints the
# executions and the coverage each target reached; fails on any crash, leak,
# sanitizer report, time-out or broken invariant.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${PLENWICK_FUZZ_SECONDS:-60}

cmake --preset fuzz -DPLENWICK_WERROR="${PLENWICK_WERROR:-OFF}" >/dev/null
cmake --build --preset fuzz

out=build-fuzz/runs
rm -rf "$out"
mkdir -p "$out"
targets=()
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  if [ ! -x "build-fuzz/fuzz/$target" ]; then
    echo "fuzz: no target built for the corpus $seeds" >&2
    exit 1
  fi
  targets+=("$target")
done

run_one() {
  local target=$1 out=$2 seconds=$3
  mkdir -p "$out/$target.corpus" "$out/$target.artifacts"
  if "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$out/$target.artifacts/" "$out/$target.corpus" "fuzz/corpus/$target" \
      >"$out/$target.log" 2>&1; then
    echo ok >"$out/$target.result"
  else
    echo failed >"$out/$target.result"
  fi
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$out" "$seconds"

status=0
printf '%-24s %12s %10s %8s %8s  %s\n' target executions exec/s cov ft result
for target in "${targets[@]}"; do
  log=$out/$target.log
  result=$(cat "$out/$target.result" 2>/dev/null || echo failed)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  # The last status line holds the coverage reached: "#N DONE cov: C ft: F ...".
  cov=$(grep -Eo 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -Eo 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-24s %12s %10s %8s %8s  %s\n' "$target" "${runs:-?}" "${speed:-?}" "${cov:-?}" \
    "${ft:-?}" "$result"
  if [ "$result" != ok ]; then
    status=1
    echo "--- $target failed; the end of its log ($log):"
    tail -n 60 "$log"
    ls "$out/$target.artifacts"
  fi
done
exit $status
