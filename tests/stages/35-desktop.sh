#!/usr/bin/env bash
# A Swing sample packed from its folder (a manifest Class-Path to a multi-release
# jar, an optional dependency left out, a resource folder, a JNI library, a
# settings folder on the class path, a plugin folder kept off it), moved
# and started under Xvfb; screenshot in build/desktop-screenshot.png.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=build/desktop-stage
pack=build/plenwick-pack
title="Plenwick desktop sample"
expected="resource: greetings from the resource folder; native: 5; settings: plain; "
expected+="plugin: loaded by the sample; font: "
. tests/stage-steps.sh

java_home=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")

build_sample() {
  local content=$work/content
  rm -rf "$work" && mkdir -p "$work/classes" "$content/lib" "$content/resources" || return 1
  mkdir -p "$content/settings" "$content/plugins" &&
    echo "skin=plain" >"$content/settings/sample.properties" || return 1
  mkdir -p "$work/optional" && echo 'package optional; public class Feature {}' >"$work/optional/Feature.java"
  nice -n 10 javac --release 11 -d "$work/classes" tests/desktop/desktop/*.java \
    "$work/optional/Feature.java" tests/desktop/plugin/Plugin.java || return 1
  printf 'Main-Class: desktop.Sample\nClass-Path: lib/sample-resources.jar\n' >"$work/manifest.txt"
  jar --create --file "$content/sample.jar" --manifest "$work/manifest.txt" \
    -C "$work/classes" desktop/Sample.class \
    -C "$work/classes" 'desktop/Sample$1.class' &&
    jar --create --file "$content/lib/sample-resources.jar" -C "$work/classes" \
      desktop/Resources.class --release 11 -C "$work/classes" desktop/Resources.class &&
    jar --create --file "$content/plugins/plugin.jar" -C "$work/classes" plugin || return 1
  echo "greetings from the resource folder" >"$content/resources/greeting.txt"
  nice -n 10 gcc -shared -fPIC -o "$content/libplenwicksample.so" -I"$java_home/include" \
    -I"$java_home/include/linux" tests/desktop/sample_native.c
}

pack_and_move() {
  cat >"$work/desktop.json" <<'JSON'
{"name": "desktop-sample", "displayName": "Plenwick desktop sample", "version": "1.0",
 "appFolder": "content", "mainJar": "sample.jar", "jvmOptions": ["-Xmx256m"], "output": "image",
 "classPathFolders": ["settings"], "classPathExclude": ["plugins"]}
JSON
  nice -n 10 "$pack" image "$work/desktop.json" >"$work/pack.out" 2>&1 || {
    cat "$work/pack.out"
    return 1
  }
  # The training run ends at the first window, on a private Xvfb where DISPLAY is unset.
  if grep -q "Its last lines" "$work/pack.out"; then
    cat "$work/pack.out"
    return 1
  fi
  mkdir "$work/moved" && mv "$work/image" "$work/moved/desktop-sample"
}

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && display=:$(cat "$work/display") && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

stop() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  app_pid="" xvfb_pid=""
}
trap stop EXIT

run_window() {
  local window name
  DISPLAY=$display "$work/moved/desktop-sample/bin/desktop-sample" >"$work/app.out" 2>&1 &
  app_pid=$!
  window=$(DISPLAY=$display timeout 60 xdotool search --sync --name "$title" | head -1)
  name=$(DISPLAY=$display xdotool getwindowname "$window" 2>/dev/null)
  [ "$name" = "$title" ] || { echo "no window titled '$title'"; cat "$work/app.out"; return 1; }
  for _ in $(seq 300); do
    grep -qF "$expected" "$work/app.out" && break
    sleep 0.1
  done
  grep -F "$expected" "$work/app.out" || { echo "unexpected output:"; cat "$work/app.out"; return 1; }
  sleep 1  # let the window paint before the picture is taken
  DISPLAY=$display import -window root build/desktop-screenshot.png &&
    echo "window '$name' shown; screenshot: build/desktop-screenshot.png"
}

[ -x "$pack" ] || { echo "no $pack: run the Linux build first"; exit 1; }
step "sample desktop application built" build_sample
step "packed from its folder and moved" pack_and_move
[ "$failed" -eq 0 ] || exit 1
if ! command -v Xvfb >/dev/null || ! start_xvfb; then
  echo "--- desktop window: skipped, Xvfb cannot start here ($(tail -1 "$work/xvfb.log" 2>/dev/null))"
  exit "$failed"
fi
step "window, resource and native call under Xvfb ($display)" run_window
stop
[ "$failed" -eq 0 ]
