#!/usr/bin/env bash
# Runs each libFuzzer target ("fuzz" preset) for a fixed time from its seeds in
# fuzz/corpus/<target>, two at a time, new inputs into a scratch corpus; prints
# runs and coverage, fails on any crash, sanitizer report or time-out.
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
