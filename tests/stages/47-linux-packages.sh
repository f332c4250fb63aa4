#!/usr/bin/env bash
# Linux packages: a Swing sample packed into a .deb and an .rpm, checked with lintian,
# desktop-file-validate, rpmlint and rpm; then, on a fresh Debian root (debootstrap minbase,
# cached as a tarball outside the checkout), installed with apt-get, started from its menu
# entry under Xvfb, upgraded and purged; with a JDK 25, an AOT cache checked after install.
# Screenshot in build/linux-package-screenshot.png.
# Skips what a missing tool or a missing right (root, for the fresh root) does not allow.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$PWD/build/linux-stage
pack=$PWD/build/plenwick-pack
cache=${PLENWICK_TEST_CACHE:-/var/cache/plenwick-tests}
base=$cache/bookworm-minbase.tar.gz
title="Plenwick Notes"
. tests/stage-steps.sh

build_sample() {
  mkdir -p "$work/src/notes" "$work/classes" &&
    cat >"$work/src/notes/Notes.java" <<'JAVA'
package notes;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.SwingUtilities;

/** Shows a window and, when NOTES_RECORD names a file, writes its arguments there. */
public class Notes {
  public static void main(String[] args) throws Exception {
    String record = System.getenv("NOTES_RECORD");
    if (record != null) {
      Files.write(Paths.get(record), String.join("\n", args).getBytes(StandardCharsets.UTF_8));
    }
    SwingUtilities.invokeAndWait(() -> {
      JFrame frame = new JFrame("Plenwick Notes");
      frame.add(new JLabel("<html><h1>Plenwick Notes</h1>" + args.length + " file(s)</html>"));
      frame.setSize(360, 160);
      frame.setDefaultCloseOperation(JFrame.EXIT_ON_CLOSE);
      frame.setVisible(true);
    });
  }
}
JAVA
  nice -n 10 javac --release 11 -d "$work/classes" "$work/src/notes/Notes.java" &&
    jar --create --file "$work/notes.jar" -C "$work/classes" notes &&
    cp "$work/notes.jar" "$work/only-in-1.0.jar" &&
    convert -size 256x256 xc:none -fill '#2a6fb0' -draw 'roundrectangle 16,16 240,240 40,40' \
      -fill white -draw 'rectangle 70,60 186,80' -draw 'rectangle 70,110 186,130' \
      -draw 'rectangle 70,160 150,180' "PNG32:$work/icon.png" &&
    nice -n 10 jlink --add-modules java.desktop --strip-debug --no-header-files --no-man-pages \
      --output "$work/runtime"
}

make_packages() {
  cat >"$work/app.json" <<'JSON'
{"name": "Notes", "displayName": "Plenwick Notes", "version": "1.0", "publisher": "Plenwick Tests",
 "email": "tests@plenwick.example", "categories": ["Office"],
 "description": "Note taker of the package tests\nIt shows a window and the files it is given.",
 "mainClass": "notes.Notes", "jars": ["notes.jar", "only-in-1.0.jar"], "icons": ["icon.png"],
 "fileAssociations": [{"extension": "pwnote", "mimeType": "application/x-pwnote",
                       "description": "Plenwick note"}],
 "runtime": "runtime", "output": "image-1.0"}
JSON
  (cd "$work" && "$pack" installer app.json --quiet &&
    "$pack" installer --image image-1.0 app.json --type rpm --quiet &&
    "$pack" installer app.json --version 1.1 --jar notes.jar --output image-1.1 --quiet) || return 1
  deb=$work/notes_1.0-1_amd64.deb
  ls "$deb" "$work/notes-1.0-1.x86_64.rpm" "$work/notes_1.1-1_amd64.deb" || return 1
}

quality_tools() {
  local entry=$work/deb/usr/share/applications/notes.desktop rpm=$work/notes-1.0-1.x86_64.rpm ok=0
  rm -rf "$work/deb" && dpkg-deb -x "$deb" "$work/deb" || return 1
  if command -v lintian >/dev/null; then
    lintian --show-overrides "$deb" >"$work/lintian.log" 2>&1
    ! grep -E '^[EW]: ' "$work/lintian.log" || { echo "lintian found the above"; ok=1; }
    echo "lintian: no errors, no warnings; kept: $(grep -c '^O: ' "$work/lintian.log") overridden findings"
  else
    echo "lintian: skipped (Debian package lintian)"
  fi
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || ok=1
  else
    echo "desktop-file-validate: skipped (Debian package desktop-file-utils)"
  fi
  if command -v rpm >/dev/null; then
    rpm -qip "$rpm" | grep -E '^(Name|Version|Release|License|Packager|Summary)' &&
      rpm -qlp "$rpm" >"$work/rpm-files.txt" &&
      grep -qx /opt/notes/bin/Notes "$work/rpm-files.txt" && grep -qx /usr/bin/notes "$work/rpm-files.txt" &&
      grep -qx /usr/share/icons/hicolor/48x48/apps/notes.png "$work/rpm-files.txt" ||
      { echo "unexpected rpm layout:"; head "$work/rpm-files.txt"; ok=1; }
    if command -v rpmlint >/dev/null; then
      rpmlint -r tests/stages/linux-packages.rpmlintrc "$rpm" >"$work/rpmlint.log" 2>&1
      grep -E ' E: |errors' "$work/rpmlint.log"
      ! grep -q ' E: ' "$work/rpmlint.log" || ok=1
    fi
  else
    echo "rpm: skipped (Debian packages rpm rpmlint)"
  fi
  [ "$(readlink "$work/deb/usr/bin/notes")" = ../../opt/notes/bin/Notes ] ||
    { echo "usr/bin/notes is no relative link to the launcher"; ok=1; }
  # Folders are left out: extracting links into them changes their times.
  diff <(cd "$work/image-1.0" && find . ! -type d -printf '%p %M %T@\n' | sed 's/[.][0-9]*$//' | sort) \
    <(cd "$work/deb/opt/notes" && find . ! -type d -printf '%p %M %T@\n' | sed 's/[.][0-9]*$//' | sort) ||
    { echo "the image was not put in /opt/notes unchanged (modes, times)"; ok=1; }
  dpkg-deb -f "$deb" Depends
  return $ok
}

# Each refusal: a message a user can act on, and nothing left behind.
refusals() {
  local windows=$work/windows-image out=$work/refused.deb ok=0 expected args
  mkdir -p "$windows/bin" && touch "$windows/.plenwick-image" "$windows/bin/app.exe"
  while IFS='|' read -r expected args; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    if (cd "$work" && env $args --installer "$out" >"$work/refused.log" 2>&1); then
      echo "accepted: $args"
      ok=1
    elif ! grep -qF "$expected" "$work/refused.log"; then
      echo "expected '$expected': $(cat "$work/refused.log")"
      ok=1
    fi
  done <<LIST
is an image for Windows|$pack installer --image $windows --type deb
is an image for Linux|$pack installer --image image-1.0 --type msi
e-mail address: give one|$pack installer --image image-1.0 --version 1.0
dpkg-shlibdeps is not installed|PATH=/nonexistent $pack installer --image image-1.0 app.json
LIST
  [ ! -e "$out" ] && [ -z "$(find "$work" -maxdepth 1 -name '.pw-*')" ] || { echo "a refused run left files"; ok=1; }
  return $ok
}

# --- on a fresh Debian root ---
root="" proc_mounted="" xvfb_pid="" app_pid=""
stop() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  app_pid="" xvfb_pid=""
  if [ -n "$proc_mounted" ]; then umount "$proc_mounted" && proc_mounted=""; fi
  # Removed only when nothing is mounted in it any more.
  if [ -n "$root" ] && [ -z "$proc_mounted" ] && ! grep -qF " $root/" /proc/self/mounts; then
    rm -rf --one-file-system "$root"
  fi
}
trap stop EXIT

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

cached_base() {
  [ -s "$base" ] && return 0
  local tmp
  mkdir -p "$cache" && tmp=$(mktemp -d "$cache/debootstrap.XXXXXX") || return 1
  debootstrap --variant=minbase bookworm "$tmp/root" http://deb.debian.org/debian >"$tmp/log" 2>&1 &&
    tar -C "$tmp/root" -czf "$tmp/base.tar.gz" . && mv "$tmp/base.tar.gz" "$base"
  local status=$?
  [ $status -eq 0 ] || tail -5 "$tmp/log"
  rm -rf --one-file-system "$tmp"
  return $status
}

fresh_root() {
  cached_base && root=$(mktemp -d "$work/root.XXXXXX") && tar -C "$root" -xzf "$base" &&
    cp /etc/resolv.conf "$root/etc/resolv.conf" && mount -t proc proc "$root/proc" &&
    proc_mounted=$root/proc && cp "$work"/notes_1.*_amd64.deb "$root/tmp/" &&
    in_root apt-get update -qq >"$work/apt.log" 2>&1 || { tail -5 "$work/apt.log"; return 1; }
  # What a desktop has: the caches the package's files go into, and a way to open a file.
  in_root apt-get install -y --no-install-recommends shared-mime-info desktop-file-utils \
    hicolor-icon-theme libglib2.0-bin >"$work/apt.log" 2>&1 || { tail -5 "$work/apt.log"; return 1; }
  in_root dpkg-query -W -f '${Package}\n' | sort >"$work/packages-before.txt"
  (cd "$root" && find opt usr/bin usr/share -xdev | sort) >"$work/files-before.txt"
}

install_deb() {
  in_root apt-get install -y --no-install-recommends /tmp/notes_1.0-1_amd64.deb >"$work/apt.log" 2>&1 ||
    { tail -5 "$work/apt.log"; return 1; }
  in_root dpkg-query -W -f '${Package}\n' | sort >"$work/packages-after.txt"
  comm -13 "$work/packages-before.txt" "$work/packages-after.txt" | grep -vx notes >"$work/pulled.txt"
  local depends name missing=0
  depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/[ ]*(.*//; s/^ *//; s/ *|.*//')
  for name in $depends; do
    grep -qx "$name" "$work/pulled.txt" || grep -qx "$name" "$work/packages-before.txt" ||
      { echo "dependency $name not installed"; missing=1; }
  done
  # Everything else pulled in is a dependency of theirs.
  in_root apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances $depends 2>/dev/null | sed -n 's/^\([a-z0-9].*\)/\1/p' | sort -u >"$work/closure.txt"
  comm -23 "$work/pulled.txt" "$work/closure.txt" | sed 's/^/not a computed dependency: /' | grep . && missing=1
  echo "$(wc -l <"$work/pulled.txt") packages pulled in, all from the computed Depends"
  return $missing
}

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && display=:$(cat "$work/display") && return 0
    sleep 0.1
  done
  return 1
}

# The entry's Exec line, run as a menu would (its field codes dropped), in the root; the window
# is looked up on the host's Xvfb, which the root reaches through its abstract socket.
start_from_entry() {
  local entry=$root/usr/share/applications/notes.desktop exec wm_class window seen
  exec=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ *%[fFuU]//g')
  wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
  chroot "$root" env -i PATH=/usr/bin:/bin DISPLAY="$display" HOME=/root NOTES_RECORD=/tmp/args.txt \
    sh -c "$exec" >"$work/app.out" 2>&1 &
  app_pid=$!
  window=$(DISPLAY=$display timeout 60 xdotool search --sync --name "$title" | head -1)
  [ -n "$window" ] || { echo "no window titled '$title'"; cat "$work/app.out"; return 1; }
  sleep 1 # let the window paint before the picture is taken
  DISPLAY=$display import -window root build/linux-package-screenshot.png
  seen=$(DISPLAY=$display xprop -id "$window" WM_CLASS)
  DISPLAY=$display xdotool windowkill "$window" # the application ends with its X connection
  wait "$app_pid" 2>/dev/null
  app_pid=""
  grep -qF "\"$wm_class\", \"$wm_class\"" <<<"$seen" || { echo "StartupWMClass=$wm_class but $seen"; return 1; }
  echo "started from Exec=$exec; WM_CLASS is $wm_class; screenshot: build/linux-package-screenshot.png"
}

# The package ships no maintainer scripts: the MIME database and the menu's cache are updated by
# the triggers of shared-mime-info and desktop-file-utils. Then gio opens a file of the type.
open_file() {
  local file="/tmp/My notes/Grüße 1.pwnote" window
  [ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v -e '^./$' -e control)" ] ||
    { echo "maintainer scripts in the package"; return 1; }
  grep -q pwnote "$root/usr/share/mime/application/x-pwnote.xml" &&
    grep -q "application/x-pwnote=notes.desktop" "$root/usr/share/applications/mimeinfo.cache" ||
    { echo "the triggers did not update the MIME database and the menu's cache:"
      ls "$root/usr/share/mime/application" | head -3; cat "$root/usr/share/applications/mimeinfo.cache"; return 1; }
  mkdir -p "$root/tmp/My notes" && echo note >"$root$file" && rm -f "$root/tmp/args.txt"
  chroot "$root" env -i PATH=/usr/bin:/bin DISPLAY="$display" HOME=/root LANG=C.UTF-8 \
    NOTES_RECORD=/tmp/args.txt gio open "$file" >"$work/gio.out" 2>&1 || { cat "$work/gio.out"; return 1; }
  window=$(DISPLAY=$display timeout 60 xdotool search --sync --name "$title" | head -1)
  [ "$(cat "$root/tmp/args.txt" 2>/dev/null)" = "$file" ] ||
    { echo "the application got '$(cat "$root/tmp/args.txt" 2>/dev/null)', not '$file'"; return 1; }
  DISPLAY=$display xdotool windowkill "$window"
  echo "gio open '$file' started the application with that path"
}

upgrade() {
  in_root apt-get install -y --no-install-recommends /tmp/notes_1.1-1_amd64.deb >"$work/apt.log" 2>&1 ||
    { tail -5 "$work/apt.log"; return 1; }
  [ "$(ls "$root/opt")" = notes ] && [ ! -e "$root/opt/notes/app/only-in-1.0.jar" ] &&
    [ "$(in_root dpkg-query -W -f '${Version}' notes)" = 1.1-1 ] ||
    { echo "1.1 did not replace 1.0"; ls -R "$root/opt" | head; return 1; }
  echo "1.1 replaced 1.0: one copy"
}

purge() {
  in_root dpkg -L notes >"$work/owned.txt"
  in_root apt-get purge -y notes >"$work/apt.log" 2>&1 || { tail -5 "$work/apt.log"; return 1; }
  local left
  left=$(cd "$root" && sed -n 's#^/\(opt/\|usr/bin/\|usr/share/\)#\1#p' "$work/owned.txt" | while read -r f; do
    [ -e "$f" ] && ! grep -qx "$f" "$work/files-before.txt" && echo "$f"
  done)
  [ -z "$left" ] && [ -z "$(ls -A "$root/opt" 2>/dev/null)" ] || { echo "left after purge:"; echo "$left" | head; return 1; }
  echo "purged: none of its $(wc -l <"$work/owned.txt") paths left"
}

# With a JDK 25 or later: a console application packed with its AOT cache, installed from its
# .deb into /opt, takes its classes from the cache there.
jdk25=""
for home in /usr/lib/jvm/*; do
  grep -qE '^JAVA_VERSION="(2[5-9]|[3-9][0-9])' "$home/release" 2>/dev/null && [ -x "$home/bin/jlink" ] &&
    jdk25=$home && break
done

cached_package() {
  mkdir -p "$work/cached/src/cached" &&
    echo 'package cached; public class Hello { public static void main(String[] a) { System.out.println("hello"); } }' \
      >"$work/cached/src/cached/Hello.java" &&
    "$jdk25/bin/javac" -d "$work/cached/classes" "$work/cached/src/cached/Hello.java" &&
    "$jdk25/bin/jar" --create --file "$work/cached/cached.jar" -C "$work/cached/classes" cached || return 1
  cat >"$work/cached/app.json" <<JSON
{"name": "Cached", "version": "1.0", "publisher": "Plenwick Tests", "email": "tests@plenwick.example",
 "description": "Hello with an AOT cache", "mainClass": "cached.Hello", "jars": ["cached.jar"],
 "consoleApp": true, "appCds": true, "jdk": "$jdk25", "output": "image"}
JSON
  (cd "$work/cached" && "$pack" installer app.json --quiet) && cp "$work/cached/cached_1.0-1_amd64.deb" "$root/tmp/"
}

# The launcher drops JAVA_TOOL_OPTIONS, so the class log comes from a launcher packed with the
# installed one's options beside it, removed before the purge.
cache_after_install() {
  local image=$root/opt/cached options=() args=() option status
  in_root apt-get install -y --no-install-recommends /tmp/cached_1.0-1_amd64.deb >"$work/apt.log" 2>&1 ||
    { tail -5 "$work/apt.log"; return 1; }
  mapfile -t options < <("$pack" show --json "$image/bin/Cached" |
    python3 -c 'import json,sys; print("\n".join(json.load(sys.stdin)["config"]["jvmOptions"]))')
  for option in "${options[@]}" -Xlog:class+load; do args+=(--jvm-option "$option"); done
  "$pack" write --launcher build/launcher --output "$image/bin/check" --main-class cached.Hello \
    --console-app "${args[@]}" >"$work/write.log" 2>&1 &&
    in_root /opt/cached/bin/check >"$work/cached.log" 2>&1
  status=$?
  rm -f "$image/bin/check"
  in_root apt-get purge -y cached >"$work/apt.log" 2>&1 || { tail -5 "$work/apt.log"; return 1; }
  [ $status -eq 0 ] && grep -q '^hello$' "$work/cached.log" &&
    grep -q 'cached.Hello source: shared objects file' "$work/cached.log" || {
    echo "cached.Hello did not come from the AOT cache in /opt/cached:"
    cat "$work/write.log"
    grep -e cached -e hello -e aot "$work/cached.log" | head -5
    return 1
  }
  echo "in /opt/cached, cached.Hello came from its AOT cache" \
    "($(grep -c 'source: shared objects file' "$work/cached.log") classes from the caches)"
}

[ -x "$pack" ] || { echo "no $pack: run the Linux build first"; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps rpmbuild javac jlink convert; do
  command -v "$tool" >/dev/null ||
    { echo "--- skipped: no $tool (Debian packages dpkg-dev rpm imagemagick, a JDK)"; exit 0; }
done
rm -rf "$work" && mkdir -p "$work"
step "sample, icon and runtime" build_sample
step ".deb 1.0 and 1.1, .rpm 1.0" make_packages
[ "$failed" -eq 0 ] || exit 1
step "lintian, desktop-file-validate, rpmlint, rpm -qip/-qlp" quality_tools
step "errors a user can act on" refusals
if [ "$(id -u)" != 0 ] || ! command -v debootstrap >/dev/null; then
  echo "--- fresh Debian root: skipped, needs root and debootstrap"
  exit "$failed"
fi
before=$failed
step "fresh Debian root" fresh_root
[ "$failed" -eq "$before" ] || exit 1
step "apt-get install pulls in the computed dependencies" install_deb
if command -v Xvfb >/dev/null && start_xvfb; then
  step "started from the menu entry, WM_CLASS = StartupWMClass ($display)" start_from_entry
  step "a file of its type opened with gio" open_file
else
  echo "--- window: skipped, Xvfb cannot start here"
fi
step "upgrade 1.0 -> 1.1" upgrade
step "purge leaves nothing" purge
if [ -n "$jdk25" ]; then
  before=$failed
  step "an AOT cache packed with $(basename "$jdk25")" cached_package
  [ "$failed" -eq "$before" ] && step "the AOT cache is used after a .deb install" cache_after_install
else
  echo "--- AOT cache after a .deb install: skipped, no JDK 25 or later in /usr/lib/jvm"
fi
stop
[ "$failed" -eq 0 ]
