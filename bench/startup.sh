#!/usr/bin/env bash
# Start-up benchmark of one small "hello" application, five ways:
#   (a) jni_floor: create the JVM through JNI, call main, destroy (the floor)
#   (b) java -cp on the JDK
#   (c) the packed launcher on the same JDK (ROOT/lib is the JDK's lib)
#   (d) the image that `plenwick-pack image` makes (jlink runtime with CDS)
#   (e) jpackage --type app-image of the same jar
# hyperfine runs the five in rounds, the order reversed every other round, so
# that drift of the machine spreads over all of them; medians over all runs.
# Peak RSS of (a) and (c) with /usr/bin/time. Not a test: run it by hand.
# Usage: bench/startup.sh [ROUNDS [RUNS_PER_ROUND]]   (default 10 rounds of 10 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-10}
runs=${2:-10}
work=build/bench-startup
python=/usr/bin/python3
. tools/setup/deps.sh
deps_install demo bench

cmake -S . -B build -G Ninja -DPLENWICK_BENCHMARKS=ON >/dev/null
cmake --build build --target launcher plenwick-pack plenwick-bootstrap jni_floor >/dev/null
jdk=$(sed -n 's/^JAVA_HOME:PATH=//p' build/CMakeCache.txt)

rm -rf "$work"
mkdir -p "$work/classes" "$work/jar" "$work/packed/bin" "$work/packed/app"
"$jdk/bin/javac" --release 8 -Xlint:-options -d "$work/classes" demo/src/demo/Hello.java
"$jdk/bin/jar" cf "$work/jar/hello.jar" -C "$work/classes" .
jar=$work/jar/hello.jar

# (c): the packed launcher beside the JDK's own runtime.
ln -s "$jdk/lib" "$work/packed/lib"
cp "$jar" build/plenwick-bootstrap.jar "$work/packed/app/"
build/plenwick-pack write --launcher build/launcher --output "$work/packed/bin/hello" \
  --main-class demo.Hello --console-app \
  --jvm-option '-Djava.class.path=&&hello.jar:&&plenwick-bootstrap.jar' >/dev/null
# (d) and (e).
build/plenwick-pack image --name hello --main-class demo.Hello --jar "$jar" --console-app \
  --jdk "$jdk" --output "$work/image" >/dev/null
"$jdk/bin/jpackage" --type app-image --input "$work/jar" --main-jar hello.jar \
  --main-class demo.Hello --name hello-jpackage --dest "$work" >/dev/null

commands=(
  "build/bench/jni_floor $jar demo.Hello"
  "$jdk/bin/java -cp $jar demo.Hello"
  "$work/packed/bin/hello"
  "$work/image/bin/hello"
  "$work/hello-jpackage/bin/hello-jpackage"
)
for command in "${commands[@]}"; do $command >/dev/null || { echo "fails: $command"; exit 1; }; done

for ((round = 0; round < rounds; round++)); do
  order=("${commands[@]}")
  if ((round % 2)); then order=("${commands[4]}" "${commands[3]}" "${commands[2]}" "${commands[1]}" "${commands[0]}"); fi
  hyperfine -N --style none --warmup 2 --runs "$runs" --export-json "$work/round-$round.json" \
    "${order[@]}" >/dev/null 2>>"$work/hyperfine.log"
done

rss() {
  local values=()
  for _ in 1 2 3 4 5 6 7 8 9; do
    values+=("$( { /usr/bin/time -f %M "$@" >/dev/null; } 2>&1 | tail -1)")
  done
  printf '%s\n' "${values[@]}" | sort -n | sed -n 5p
}
rss_floor=$(rss build/bench/jni_floor "$jar" demo.Hello)
rss_packed=$(rss "$work/packed/bin/hello")

"$python" - "$work" "$rounds" "$runs" "$rss_floor" "$rss_packed" "${commands[@]}" <<'PY'
import glob, json, statistics, sys
work, rounds, runs, rss_a, rss_c = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
commands = sys.argv[6:]
times = {c: [] for c in commands}
for path in glob.glob(work + "/round-*.json"):
    for result in json.load(open(path))["results"]:
        times[result["command"]] += result["times"]
labels = ["(a) JNI floor", "(b) java -cp", "(c) packed launcher, JDK", "(d) plenwick-pack image",
          "(e) jpackage app-image"]
median = {label: statistics.median(times[c]) * 1000 for label, c in zip(labels, commands)}
a, b = median[labels[0]], median[labels[1]]
print(f"{rounds} rounds x {runs} runs each, alternating order; medians of all runs\n")
print("| start-up of hello | median ms | vs (a) | vs (b) |")
print("|---|---:|---:|---:|")
for label in labels:
    print(f"| {label} | {median[label]:.1f} | {median[label] / a:.2f}x | {median[label] / b:.2f}x |")
print(f"\npeak RSS: (a) {rss_a} KiB, (c) {rss_c} KiB, difference {rss_c - rss_a} KiB\n")
c, d, e = median[labels[2]], median[labels[3]], median[labels[4]]
targets = [("(c) <= 1.02x (a)", c / a, c / a <= 1.02), ("(d) <= 0.95x (b)", d / b, d / b <= 0.95),
           ("(e) >= 5x (d)", e / d, e / d >= 5), ("RSS (c) - (a) <= 1024 KiB", rss_c - rss_a, rss_c - rss_a <= 1024)]
for name, value, met in targets:
    print(f"target {name}: {value:.2f} {'met' if met else 'MISSED'}")
PY
echo
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, $(free -g | awk '/Mem:/ {print $2}') GiB," \
  "$(uname -sr), $("$jdk/bin/java" -version 2>&1 | head -1)"
