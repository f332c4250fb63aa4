#!/usr/bin/env bash
# Packs Windows images with identity and icons, parses them back with pefile and
# runs the x64 one under Wine against the jvm.dll test double.
set -uo pipefail
cd "$(dirname "$0")/../.."
python=/usr/bin/python3
work=build/pack-image-stage
pack=build/plenwick-pack
jar=build/tests/jars/probe.jar
. tests/stage-steps.sh

# A 300 px square PNG with transparency: the packer scales it to the five icon sizes.
make_icon() {
  convert -size 300x300 radial-gradient:'#3080c0'-none "PNG32:$1"
}

pack_windows() {
  local arch=$1
  rm -rf "$work/$arch" "$work/runtime-$arch"
  mkdir -p "$work/runtime-$arch/bin/server" "$work/native"
  cp build-windows-x64/fake-jvm/jvm.dll "$work/runtime-$arch/bin/server/jvm.dll"
  echo "not a real library" >"$work/native/sample.dll"
  "$pack" image --target "windows-$arch" --name Packed.Demo --display-name 'Packed & Demo' \
    --version 4.5.6 --main-class probe.Probe --jar "$jar" --jvm-option '-Dapp.dir=&&' \
    --app-content "$work/native" --runtime "$work/runtime-$arch" --icon "$work/icon.png" \
    --launcher "build-windows-$arch/launcher.exe" --output "$work/$arch" &&
    [ -f "$work/$arch/app/native/sample.dll" ]
}

# pefile sees a sound executable; the packer's own reader sees the identity it was given.
check_identity() {
  local exe=$work/$1/bin/Packed.Demo.exe
  "$python" tests/pe/check_pe.py "$1" "$exe" && [ "$("$pack" show "$exe" | grep -c -x -e 'manifest name: Packed.Demo' \
    -e 'manifest version: 4.5.6.0' -e 'manifest description: Packed & Demo')" = 3 ]
}

run_under_wine() {
  local prefix=$PWD/build-windows-x64/wine/prefix record=$PWD/$work/jvm-record.txt
  [ -d "$prefix" ] || prefix=$PWD/$work/wine-prefix
  rm -f "$record"
  (cd "$work/x64" && WINEPREFIX=$prefix WINEDEBUG=-all DISPLAY= PLENWICK_JVM_RECORD="$record" \
    wine bin/Packed.Demo.exe from-wine >../wine-out.txt 2>&1)
  local app="Z:${PWD//\//\\}\\${work//\//\\}\\x64\\app\\"
  grep -qF "option -Djava.class.path=${app}probe.jar;${app}plenwick-bootstrap.jar" "$record" &&
    grep -qF "option -Dapp.dir=$app" "$record" && grep -qF "acp 65001" "$record" &&
    grep -qF "option -Djava.library.path=${app}native" "$record" &&
    grep -qF "option -Dsun.java.command=probe.Probe from-wine" "$record" ||
    { echo "unexpected record:"; head -8 "$record" 2>/dev/null; cat "$work/wine-out.txt"; return 1; }
  echo "JNI_CreateJavaVM received the packed options; code page 65001"
}

if [ ! -x "$pack" ] || [ ! -e "$jar" ]; then
  echo "no $pack or $jar: run the Linux build first"
  exit 1
fi
mkdir -p "$work"
make_icon "$work/icon.png"
for arch in x64 arm64; do
  if [ ! -e "build-windows-$arch/launcher.exe" ]; then
    echo "--- windows-$arch: skipped, no build-windows-$arch/launcher.exe (cmake --preset windows-$arch)"
    continue
  fi
  step "windows-$arch image" pack_windows "$arch"
  step "windows-$arch resources parsed back" check_identity "$arch"
done
if [ -e build-windows-x64/launcher.exe ] && command -v wine >/dev/null; then
  step "windows-x64 image under Wine" run_under_wine
else
  echo "--- windows-x64 under Wine: skipped (no launcher.exe or no wine)"
fi
[ "$failed" -eq 0 ]
