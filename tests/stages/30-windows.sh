#!/usr/bin/env bash
# The Windows executables: builds launcher.exe for x64 and ARM64, checks both
# PE files, and runs the x64 launcher under Wine against a jvm.dll double
# (ARM64 code cannot run on this machine). Installs nothing: .ci/packages and
# cmake/toolchains/build-arm64-toolchain.sh provide the tools.
set -uo pipefail
cd "$(dirname "$0")/../.."
werror=${PLENWICK_WERROR:-OFF}
python=/usr/bin/python3
failed=0

step() {
  local name=$1
  shift
  echo "--- $name"
  if ! "$@"; then
    echo "--- $name FAILED"
    failed=$((failed + 1))
  fi
}

build_preset() {
  cmake --preset "$1" -DPLENWICK_WERROR="$werror" >/dev/null && cmake --build --preset "$1"
}

wine_tests() {
  [ -x build/plenwick-pack ] || cmake --build build --target plenwick-pack || return 1
  "$python" tests/wine/run_wine_tests.py --launcher build-windows-x64/launcher.exe \
    --fake-jvm build-windows-x64/fake-jvm/jvm.dll --pack build/plenwick-pack \
    --work build-windows-x64/wine
}

report_sizes() {
  for arch in x64 arm64; do
    local exe=build-windows-$arch/launcher.exe
    [ -e "$exe" ] && echo "launcher.exe ($arch, stripped): $(stat -c %s "$exe") bytes"
  done
  return 0
}

step "windows-x64 build" build_preset windows-x64
step "windows-x64 PE checks" "$python" tests/pe/check_pe.py x64 build-windows-x64/launcher.exe
step "windows-x64 under Wine" wine_tests
step "windows-arm64 build" build_preset windows-arm64
step "windows-arm64 PE checks" "$python" tests/pe/check_pe.py arm64 build-windows-arm64/launcher.exe
report_sizes
[ "$failed" -eq 0 ]
