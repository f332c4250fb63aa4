#!/usr/bin/env bash
# Size and start-up of an image's runtime for each of jlink's compression
# levels, for the JDKs given (default: the build's JDK and any JDK 21 or later
# under /usr/lib/jvm): demo.Hello (java.base) and a Swing program that shows a
# window under a private Xvfb (java.desktop). Each runtime is made with the
# options plenwick-pack gives jlink (default providers included), then packed
# with --runtime. Not a test: run it by hand.
# Usage: bench/runtime_size.sh [RUNS [JDK...]]   (default 20 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
shift || true
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
echo "| JDK | program | jlink --compress | image MB | start-up median ms |"
echo "|---|---|---|---:|---:|"
for jdk in "${jdks[@]}"; do
  feature=$(sed -n 's/^JAVA_VERSION="\([0-9]*\).*/\1/p' "$jdk/release")
  if [ "$feature" -ge 21 ]; then levels=(none zip-1 zip-6 zip-9); else levels=(none 1 2); fi
  for program in hello:demo.Hello:java.base swing:SwingStart:java.base,java.desktop; do
    IFS=: read -r name main modules <<<"$program"
    for level in "${levels[@]}"; do
      tag=$feature-$name-$level
      compress=()
      [ "$level" != none ] && compress=(--compress="$level")
      "$jdk/bin/jlink" --add-modules "$modules,$providers" --strip-debug --no-header-files \
        --no-man-pages "${compress[@]}" --generate-cds-archive --output "$work/rt-$tag"
      rm -rf "$work/rt-$tag/bin/"*
      build/plenwick-pack image --quiet --name "$name" --main-class "$main" \
        --jar "$work/jars/$name.jar" --console-app --runtime "$work/rt-$tag" --output "$work/$tag"
      size=$(du -sb "$work/$tag" | awk '{printf "%.1f", $1 / 1e6}')
      hyperfine -N --style none --warmup 3 --runs "$runs" --export-json "$work/$tag.json" \
        "$work/$tag/bin/$name" >/dev/null 2>&1
      median=$(python3 -c 'import json,statistics,sys; print("%.1f" % (1000 * statistics.median(json.load(open(sys.argv[1]))["results"][0]["times"])))' "$work/$tag.json")
      echo "| $feature | $name | $level | $size | $median |"
    done
  done
done
echo
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, $(uname -sr)"
