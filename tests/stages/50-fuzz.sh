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
  targets+=("$(basename "$seeds")")
  [ -x "build-fuzz/fuzz/${targets[-1]}" ] || { echo "fuzz: no target built for $seeds" >&2; exit 1; }
done

run_one() {
  local target=$1 out=$2 seconds=$3
  mkdir -p "$out/$target.corpus" "$out/$target.artifacts"
  "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/$target.artifacts/" "$out/$target.corpus" "fuzz/corpus/$target" \
    >"$out/$target.log" 2>&1 && echo ok >"$out/$target.result" || echo failed >"$out/$target.result"
}
export -f run_one
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$out" "$seconds"

status=0
for target in "${targets[@]}"; do
  log=$out/$target.log
  # The last status line holds the coverage reached: "#N DONE cov: C ft: F ...".
  echo "$target: $(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1),"\
    "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1) runs,"\
    "$(cat "$out/$target.result" 2>/dev/null || echo failed)"
  if [ "$(cat "$out/$target.result" 2>/dev/null)" != ok ]; then
    status=1
    echo "--- $target failed; the end of its log ($log):"
    tail -n 60 "$log"
    ls "$out/$target.artifacts"
  fi
done
exit $status
