#!/usr/bin/env bash
# Size and start-up of an image's runtime for each of jlink's compression
# levels, for the JDKs given (default: the build's JDK and any JDK 21 or later
# under /usr/lib/jvm): demo.Hello (java.base) and a Swing program that shows a
# window under a private Xvfb (java.desktop). Each runtime is made with the
# options plenwick-pack gives jlink (default providers included), then packed
# with --runtime. Not a test: run it by hand.
# Usage: bench/runtime_size.sh [ROUNDS [RUNS [JDK...]]]   (default 6 rounds of 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-6}
runs=${2:-5}
shift 2 || shift $# || true
work=build/bench-runtime-size
cmake --build build --target launcher plenwick-pack plenwick-bootstrap >/dev/null
build_jdk=$(sed -n 's/^JAVA_HOME:PATH=//p' build/CMakeCache.txt)
jdks=("$@")
if [ ${#jdks[@]} -eq 0 ]; then
  jdks=("$build_jdk")
  for home in /usr/lib/jvm/*; do
    version=$(sed -n 's/^JAVA_VERSION="\([0-9]*\).*/\1/p' "$home/release" 2>/dev/null || true)
    [ -n "$version" ] && [ "$version" -ge 21 ] && [ -x "$home/bin/jlink" ] && jdks+=("$home")
  done
fi

rm -rf "$work" && mkdir -p "$work/classes" "$work/jars"
"$build_jdk/bin/javac" --release 11 -d "$work/classes" demo/src/demo/Hello.java bench/swing/SwingStart.java
"$build_jdk/bin/jar" cf "$work/jars/hello.jar" -C "$work/classes" demo
"$build_jdk/bin/jar" cf "$work/jars/swing.jar" -C "$work/classes" SwingStart.class

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

providers=jdk.crypto.ec,jdk.localedata,jdk.charsets,jdk.zipfs
# One image per level; hyperfine runs the levels of one program together, in
# rounds of alternating order, so that the load of a shared machine spreads
# over all of them. CPU time (user + system) is less disturbed by that load
# than wall time.
echo "| JDK | program | jlink --compress | image MB | start-up median ms | CPU mean ms |"
echo "|---|---|---|---:|---:|---:|"
for jdk in "${jdks[@]}"; do
  feature=$(sed -n 's/^JAVA_VERSION="\([0-9]*\).*/\1/p' "$jdk/release")
  if [ "$feature" -ge 21 ]; then levels=(none zip-1 zip-6 zip-9); else levels=(none 1 2); fi
  for program in hello:demo.Hello:java.base swing:SwingStart:java.base,java.desktop; do
    IFS=: read -r name main modules <<<"$program"
    commands=()
    for level in "${levels[@]}"; do
      tag=$feature-$name-$level
      compress=()
      [ "$level" != none ] && compress=(--compress="$level")
      "$jdk/bin/jlink" --add-modules "$modules,$providers" --strip-debug --no-header-files \
        --no-man-pages "${compress[@]}" --generate-cds-archive --output "$work/rt-$tag" >/dev/null
      rm -rf "$work/rt-$tag/bin/"*
      build/plenwick-pack image --quiet --name "$name" --main-class "$main" \
        --jar "$work/jars/$name.jar" --console-app --runtime "$work/rt-$tag" --output "$work/$tag"
      rm -rf "$work/rt-$tag"
      commands+=("$work/$tag/bin/$name")
    done
    for ((round = 0; round < rounds; round++)); do
      order=("${commands[@]}")
      ((round % 2)) && mapfile -t order < <(printf '%s\n' "${commands[@]}" | tac)
      hyperfine -N --style none --warmup 2 --runs "$runs" \
        --export-json "$work/$feature-$name-round-$round.json" "${order[@]}" >/dev/null 2>&1
    done
    for level in "${levels[@]}"; do
      tag=$feature-$name-$level
      size=$(du -sb "$work/$tag" | awk '{printf "%.1f", $1 / 1e6}')
      times=$(python3 - "$work/$tag/bin/$name" "$work"/"$feature-$name"-round-*.json <<'PY'
import json, statistics, sys
wall, cpu = [], []
for path in sys.argv[2:]:
    for result in json.load(open(path))["results"]:
        if result["command"] == sys.argv[1]:
            wall += result["times"]
            cpu += [u + s for u, s in zip(result["user"], result["system"])] if "user" in result and isinstance(result["user"], list) else [result["user"] + result["system"]]
print("%.1f | %.1f" % (1000 * statistics.median(wall), 1000 * statistics.mean(cpu)))
PY
)
      echo "| $feature | $name | $level | $size | $times |"
    done
  done
done
echo
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, $(uname -sr)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
