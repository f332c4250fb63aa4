#!/usr/bin/env bash
# The Windows executables: builds launcher.exe for x64 and ARM64, checks both
# PE files, and runs the x64 launcher under Wine against a jvm.dll double
# (ARM64 code cannot run on this machine). Installs nothing: run-tests installs
# tools/setup/packages-tests.txt and runs cmake/toolchains/build-arm64-toolchain.sh.
set -uo pipefail
cd "$(dirname "$0")/../.."
werror=${PLENWICK_WERROR:-OFF}
python=/usr/bin/python3
. tests/stage-steps.sh

build_preset() {
  cmake --preset "$1" -DPLENWICK_WERROR="$werror" >/dev/null && cmake --build --preset "$1"
}

wine_tests() {
  [ -x build/plenwick-pack ] || cmake --build build --target plenwick-pack || return 1
  "$python" tests/wine/run_wine_tests.py --launcher build-windows-x64/launcher.exe \
    --fake-jvm build-windows-x64/fake-jvm/jvm.dll --pack build/plenwick-pack \
    --work build-windows-x64/wine
}

# The unit tests cross-built for x64 (posix threads for GoogleTest, the default
# C runtime: they need no jvm.dll) and run under Wine.
unit_tests_under_wine() {
  local dir=build-windows-x64-tests toolchain=$PWD/cmake/toolchains/windows-x64.cmake
  local flavour=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DPLENWICK_MINGW_THREADS=posix
    -DPLENWICK_MINGW_UCRT=OFF -DCMAKE_BUILD_TYPE=Release)
  if [ ! -e "$dir/googletest/lib/libgtest.a" ]; then
    rm -rf "$dir/googletest-build" "$dir/googletest"
    cmake -S /usr/src/googletest -B "$dir/googletest-build" -G Ninja "${flavour[@]}" \
      -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$PWD/$dir/googletest" >/dev/null &&
      cmake --build "$dir/googletest-build" --target install >/dev/null || return 1
  fi
  cmake -S . -B "$dir/build" -G Ninja "${flavour[@]}" -DPLENWICK_EXTRA_FIND_ROOT="$PWD/$dir/googletest" \
    -DPLENWICK_BENCHMARKS=OFF -DPLENWICK_WERROR="$werror" >/dev/null &&
    cmake --build "$dir/build" --target plenwick_unit_tests || return 1
  mkdir -p "$dir/wineprefix"
  local status=0
  (unset DISPLAY; WINEPREFIX=$PWD/$dir/wineprefix WINEDEBUG=-all \
    wine "$dir/build/plenwick_unit_tests.exe" >"$dir/unit-tests.log" 2>&1) || status=$?
  tail -n 3 "$dir/unit-tests.log"
  return $status
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
step "windows-x64 unit tests under Wine" unit_tests_under_wine
step "windows-arm64 build" build_preset windows-arm64
step "windows-arm64 PE checks" "$python" tests/pe/check_pe.py arm64 build-windows-arm64/launcher.exe
report_sizes
[ "$failed" -eq 0 ]
