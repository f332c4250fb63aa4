#!/usr/bin/env bash
# Start-up with a class cache, all on one JDK 25 and under a private Xvfb:
#   hello: java -cp, and images with only jlink's archive (none), with the
#   archive of the JDK classes the training run loads (jdk, the default), with
#   AppCDS, with the AOT cache;
#   panel (a program that builds a Swing panel): the same five;
#   window (the desktop sample, until its first window is shown): java -jar,
#   and images none, jdk and with the AOT cache;
#   frame (a Swing frame that ends once shown, which does not look for its own jar): java -cp
#   and images none, jdk and aot.
# Every image is moved after packing. hyperfine runs each group in rounds, the
# order reversed every other round; medians over all runs. Also the images'
# sizes with and without the cache. Not a test: run it by hand.
# Usage: bench/startup_cache.sh [ROUNDS [RUNS_PER_ROUND]]   (default 6 rounds of 5 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-6}
runs=${2:-5}
work=build/bench-cache
pack=build/plenwick-pack
. tools/setup/deps.sh
deps_install demo bench

jdk=
for home in /usr/lib/jvm/*; do
  grep -qE '^JAVA_VERSION="(2[5-9]|[3-9][0-9])' "$home/release" 2>/dev/null && [ -x "$home/bin/jlink" ] &&
    jdk=$home && break
done
[ -n "$jdk" ] || { echo "no JDK 25 or later in /usr/lib/jvm"; exit 1; }
cmake --build build --target launcher plenwick-pack plenwick-bootstrap >/dev/null

rm -rf "$work"
moved=$work/moved/a-longer-folder-than-before
content=$work/content
mkdir -p "$work/classes" "$content/resources" "$content/settings" "$content/plugins" \
  "$work/packed" "$moved" "$work/optional"
echo 'package optional; public class Feature {}' >"$work/optional/Feature.java"
"$jdk/bin/javac" -d "$work/classes" demo/src/demo/Hello.java bench/panel/Panel.java \
  tests/desktop/desktop/*.java tests/desktop/plugin/Plugin.java "$work/optional/Feature.java" \
  bench/swing/SwingStart.java
"$jdk/bin/jar" cf "$work/hello.jar" -C "$work/classes" demo
"$jdk/bin/jar" cf "$work/frame.jar" -C "$work/classes" SwingStart.class
"$jdk/bin/jar" cf "$work/panel.jar" -C "$work/classes" panel
# The desktop sample as its test packs it: settings on the class path (here through the
# manifest, so that `java -jar` finds them too), a plugin folder kept off it.
printf 'Main-Class: desktop.Sample\nClass-Path: settings/\n' >"$work/manifest.txt"
"$jdk/bin/jar" --create --file "$content/sample.jar" --manifest "$work/manifest.txt" \
  -C "$work/classes" desktop
"$jdk/bin/jar" cf "$content/plugins/plugin.jar" -C "$work/classes" plugin
echo "skin=plain" >"$content/settings/sample.properties"
echo "greetings from the resource folder" >"$content/resources/greeting.txt"
echo '{"mainJar": "sample.jar", "classPathExclude": ["plugins"]}' >"$work/window.json"
gcc -shared -fPIC -o "$work/content/libplenwicksample.so" -I"$jdk/include" \
  -I"$jdk/include/linux" tests/desktop/sample_native.c

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

# image NAME CACHE [CONFIG.json] ARGS...: packed (CACHE "aot", "jdk" or "none"), then moved.
image() {
  local name=$1 cache=$2
  shift 2
  local flags=(--app-cds)
  [ "$cache" = none ] && flags=(--no-app-cds)
  [ "$cache" = jdk ] && flags=()
  local config=()  # a configuration file comes before the options
  if [[ ${1:-} == *.json ]]; then
    config=("$1")
    shift
  fi
  "$pack" image "${config[@]}" --name "$name" --jdk "$jdk" --output "$work/packed/$name-$cache" \
    "${flags[@]}" "$@" >/dev/null
  mv "$work/packed/$name-$cache" "$moved/"
}

# variant IMAGE NEW OPTIONS...: a launcher beside IMAGE's, packed with its
# options and OPTIONS, as bin/NEW (AppCDS on an image without a cache, since
# runtime 25 gets the AOT cache; a run that ends at the first window).
variant() {
  local root=$1 new=$2
  shift 2
  local launcher
  launcher=$(ls "$root/bin" | head -1)
  local args=()
  mapfile -t options < <("$pack" show --json "$root/bin/$launcher" |
    python3 -c 'import json,sys; print("\n".join(json.load(sys.stdin)["config"]["jvmOptions"]))')
  for option in "${options[@]}" "$@"; do args+=(--jvm-option "$option"); done
  local main
  main=$("$pack" show --json "$root/bin/$launcher" | python3 -c 'import json,sys; print(json.load(sys.stdin)["config"]["mainClass"])')
  "$pack" write --launcher build/launcher --output "$root/bin/$new" --main-class "$main" \
    --console-app "${args[@]}" >/dev/null
}

for cache in none jdk aot; do
  image hello "$cache" --main-class demo.Hello --jar "$work/hello.jar" --console-app
  image panel "$cache" --main-class panel.Panel --jar "$work/panel.jar" --console-app
  image frame "$cache" --main-class SwingStart --jar "$work/frame.jar"
  image window "$cache" "$work/window.json" --app-folder "$content"
  variant "$moved/window-$cache" first-window -Dplenwick.training=true
done
for name in hello panel; do
  cp -a "$moved/$name-none" "$moved/$name-appcds"
  variant "$moved/$name-appcds" "$name" "-XX:SharedArchiveFile=&&$name.jsa" -XX:+AutoCreateSharedArchive
  "$moved/$name-appcds/bin/$name" >/dev/null  # writes the archive
done

groups=(
  "hello|$jdk/bin/java -cp $work/hello.jar demo.Hello"
  "hello|$moved/hello-none/bin/hello" "hello|$moved/hello-jdk/bin/hello"
  "hello|$moved/hello-appcds/bin/hello" "hello|$moved/hello-aot/bin/hello"
  "panel|$jdk/bin/java -cp $work/panel.jar panel.Panel"
  "panel|$moved/panel-none/bin/panel" "panel|$moved/panel-jdk/bin/panel"
  "panel|$moved/panel-appcds/bin/panel" "panel|$moved/panel-aot/bin/panel"
  "window|$jdk/bin/java -Dplenwick.training=true -Djava.library.path=$work/content -jar $work/content/sample.jar"
  "window|$moved/window-none/bin/first-window" "window|$moved/window-jdk/bin/first-window"
  "window|$moved/window-aot/bin/first-window"
  "frame|$jdk/bin/java -cp $work/frame.jar SwingStart"
  "frame|$moved/frame-none/bin/frame" "frame|$moved/frame-jdk/bin/frame" "frame|$moved/frame-aot/bin/frame"
)
for group in hello panel window frame; do
  commands=()
  for entry in "${groups[@]}"; do [ "${entry%%|*}" = "$group" ] && commands+=("${entry#*|}"); done
  # A command that fails is reported with its last lines and left out, so
  # the others are still measured.
  working=()
  for command in "${commands[@]}"; do
    if $command >"$work/check.log" 2>&1; then
      working+=("$command")
    else
      echo "$group: not measured, it fails: $command"
      tail -n 3 "$work/check.log" | sed 's/^/    /'
    fi
  done
  ((${#working[@]} > 1)) || continue
  commands=("${working[@]}")
  for ((round = 0; round < rounds; round++)); do
    order=("${commands[@]}")
    if ((round % 2)); then mapfile -t order < <(printf '%s\n' "${commands[@]}" | tac); fi
    hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/$group-$round.json" \
      "${order[@]}" >/dev/null 2>>"$work/hyperfine.log"
  done
done

sizes=()
for dir in "$moved"/*; do sizes+=("$(basename "$dir")=$(du -sb "$dir" | cut -f1)"); done
python3 - "$work" "${sizes[@]}" <<'PY'
import glob, json, statistics, sys
work, sizes = sys.argv[1], dict(s.split("=") for s in sys.argv[2:])
for group in ("hello", "panel", "window", "frame"):
    times = {}
    for path in sorted(glob.glob(f"{work}/{group}-*.json")):
        for result in json.load(open(path))["results"]:
            times.setdefault(result["command"], []).extend(result["times"])
    if not times:
        continue
    medians = [(c, statistics.median(t) * 1000) for c, t in times.items()]
    base = medians[0][1]
    print(f"\n| {group} | median ms | vs java |\n|---|---:|---:|")
    for command, ms in medians:
        label = "java" if "/bin/java " in command else command.split("/")[-3]
        print(f"| {label} | {ms:.1f} | {ms / base:.2f}x |")
print("\n| image | MB |\n|---|---:|")
for name in sorted(sizes):
    print(f"| {name} | {int(sizes[name]) / 1e6:.1f} |")
PY
echo
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, $(free -g | awk '/Mem:/ {print $2}') GiB," \
  "$(uname -sr), $("$jdk/bin/java" -version 2>&1 | sed -n 2p)"
