#!/usr/bin/env bash
# Builds a clang/lld cross toolchain for aarch64-w64-mingw32 from Debian's
# source packages: mingw-w64 headers and CRT (UCRT by default), compiler-rt
# builtins, and static libunwind/libc++abi/libc++.
#
# Usage: build-arm64-toolchain.sh [--built] [PREFIX]
#   PREFIX defaults to /opt/plenwick-toolchains/aarch64-w64-mingw32, outside any
#   checkout, so every clone on the machine (and CI's) shares one build.
#   --built only tells, by the exit status, whether PREFIX is complete.
# Re-running is cheap: a finished prefix carries a stamp, written last, and is
# left alone. A build that was interrupted has none and is done again; sources
# count as fetched only once unpacked whole.
# Needs root for the apt steps (adding a deb-src entry, build dependencies).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
check_only=""
if [ "${1-}" = --built ]; then
  check_only=1
  shift
fi
prefix=${1:-${PLENWICK_ARM64_TOOLCHAIN:-/opt/plenwick-toolchains/aarch64-w64-mingw32}}
work=${PLENWICK_ARM64_WORK:-$prefix-src}
target=aarch64-w64-mingw32
llvm_version=19
stamp=$prefix/.plenwick-toolchain-complete
jobs=$(nproc)

log() { echo "arm64 toolchain: $*"; }

# Runs one build step with its output (third-party warnings) in the build log,
# shown only when the step fails.
quiet() {
  "$@" >>"$work/build.log" 2>&1 && return
  log "failed: $1; the end of $work/build.log:"
  tail -n 40 "$work/build.log"
  return 1
}

if [ -n "$check_only" ]; then
  [ -e "$stamp" ]
  exit
fi

# --- apt: source entries, compilers, sources --------------------------------
# The source index of the Debian archive the machine installs from: the
# deb822 file (debian.sources) or the one-line sources.list of a minimal root.
add_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  log "adding a deb-src entry"
  if [ -e /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >/etc/apt/sources.list.d/plenwick-deb-src.sources
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/plenwick-deb-src.list
  fi
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
}

# Each source package is unpacked in a scratch folder and moved into place
# whole, so an interrupted download or unpacking is fetched again.
fetch_source() {
  local package=$1 fetch=$work/fetch-$1
  if ! ls -d "$work/$package"-*/ >/dev/null 2>&1; then
    log "fetching the $package sources" >&2
    rm -rf "$fetch" && mkdir -p "$fetch" && cd "$fetch"
    apt-get source -qq -o APT::Sandbox::User=root "$package" >/dev/null
    mv "$(ls -d "$fetch/$package"-*/)" "$work/"
    rm -rf "$fetch"
  fi
  ls -d "$work/$package"-*/ | head -n1
}

fetch_sources() {
  mkdir -p "$work"
  mingw_src=$(fetch_source mingw-w64)
  llvm_src=$(fetch_source llvm-toolchain-$llvm_version)
}

# --- wrappers: clang pinned to the target, sysroot and runtime libraries -----
write_wrappers() {
  local llvm_bin=/usr/lib/llvm-$llvm_version/bin
  mkdir -p "$prefix/bin"
  for tool in clang clang++; do
    cat >"$prefix/bin/$target-$tool" <<WRAP
#!/bin/sh
# The prefix is wherever this wrapper lies, so the toolchain can be moved.
prefix=\$(cd "\$(dirname "\$0")/.." && pwd)
exec $llvm_bin/$tool --target=$target --sysroot="\$prefix" \\
  -resource-dir="\$prefix/lib/clang/$llvm_version" -rtlib=compiler-rt \\
  -unwindlib=libunwind -stdlib=libc++ -fuse-ld=lld -Wno-unused-command-line-argument "\$@"
WRAP
    chmod +x "$prefix/bin/$target-$tool"
  done
  for tool in ar ranlib nm objcopy strip windres dlltool readobj; do
    ln -sf "$llvm_bin/llvm-$tool" "$prefix/bin/$target-$tool"
  done
  # clang's own headers (stddef.h, arm_neon.h, ...) beside our builtins.
  mkdir -p "$prefix/lib/clang/$llvm_version"
  rm -rf "$prefix/lib/clang/$llvm_version/include"
  cp -r "$(/usr/lib/llvm-$llvm_version/bin/clang -print-resource-dir)/include" \
    "$prefix/lib/clang/$llvm_version/include"
  export PATH="$prefix/bin:$PATH"
}

# --- mingw-w64 headers and CRT ---------------------------------------------
build_mingw() {
  local b=$work/build-headers
  log "mingw-w64 headers"
  rm -rf "$b" && mkdir -p "$b" && cd "$b"
  quiet "$mingw_src/mingw-w64-headers/configure" --host=$target --prefix="$prefix/$target" \
    --with-default-msvcrt=ucrt --with-default-win32-winnt=0x0A00
  quiet make -s install

  b=$work/build-crt
  log "mingw-w64 CRT"
  rm -rf "$b" && mkdir -p "$b" && cd "$b"
  quiet "$mingw_src/mingw-w64-crt/configure" --host=$target --prefix="$prefix/$target" \
    --enable-libarm64 --disable-lib32 --disable-lib64 --with-default-msvcrt=ucrt \
    CC=$target-clang CXX=$target-clang++ AR=$target-ar RANLIB=$target-ranlib \
    DLLTOOL=$target-dlltool
  quiet make -s -j"$jobs"
  quiet make -s install
}

cmake_cross() {
  quiet cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_SYSTEM_PROCESSOR=ARM64 \
    -DCMAKE_C_COMPILER=$target-clang -DCMAKE_CXX_COMPILER=$target-clang++ \
    -DCMAKE_C_COMPILER_TARGET=$target -DCMAKE_CXX_COMPILER_TARGET=$target \
    -DCMAKE_C_COMPILER_WORKS=ON -DCMAKE_CXX_COMPILER_WORKS=ON \
    -DCMAKE_AR="$prefix/bin/$target-ar" -DCMAKE_RANLIB="$prefix/bin/$target-ranlib" \
    -DCMAKE_RC_COMPILER="$prefix/bin/$target-windres" \
    -DCMAKE_FIND_ROOT_PATH="$prefix/$target" \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    "$@"
}

# --- compiler-rt builtins ---------------------------------------------------
build_builtins() {
  local b=$work/build-builtins
  log "compiler-rt builtins"
  rm -rf "$b" && mkdir -p "$b" && cd "$b"
  cmake_cross "$llvm_src/compiler-rt/lib/builtins" \
    -DCMAKE_INSTALL_PREFIX="$prefix/lib/clang/$llvm_version" \
    -DCOMPILER_RT_DEFAULT_TARGET_ONLY=ON -DCOMPILER_RT_USE_BUILTINS_LIBRARY=ON \
    -DCOMPILER_RT_EXCLUDE_ATOMIC_BUILTIN=OFF -DLLVM_ENABLE_PER_TARGET_RUNTIME_DIR=OFF \
    -DLLVM_CONFIG_PATH=""
  quiet ninja
  quiet ninja install
}

# --- libunwind, libc++abi, libc++ (static) ----------------------------------
build_libcxx() {
  local b=$work/build-runtimes
  log "libunwind, libc++abi, libc++"
  rm -rf "$b" && mkdir -p "$b" && cd "$b"
  cmake_cross "$llvm_src/runtimes" \
    -DCMAKE_INSTALL_PREFIX="$prefix/$target" \
    -DLLVM_ENABLE_RUNTIMES="libunwind;libcxxabi;libcxx" \
    -DLIBUNWIND_USE_COMPILER_RT=ON -DLIBUNWIND_ENABLE_SHARED=OFF \
    -DLIBCXXABI_USE_COMPILER_RT=ON -DLIBCXXABI_USE_LLVM_UNWINDER=ON \
    -DLIBCXXABI_ENABLE_SHARED=OFF -DLIBCXXABI_NON_DEMANGLING_TERMINATE=ON \
    -DLIBCXXABI_LIBDIR_SUFFIX="" -DLIBCXXABI_HAS_WIN32_THREAD_API=ON \
    -DLIBCXX_USE_COMPILER_RT=ON -DLIBCXX_ENABLE_SHARED=OFF \
    -DLIBCXX_ENABLE_STATIC_ABI_LIBRARY=ON -DLIBCXX_CXX_ABI=libcxxabi \
    -DLIBCXX_HAS_WIN32_THREAD_API=ON -DLIBCXX_LIBDIR_SUFFIX="" \
    -DLIBCXX_INCLUDE_TESTS=OFF -DLIBCXX_INCLUDE_BENCHMARKS=OFF \
    -DLIBCXX_ENABLE_ABI_LINKER_SCRIPT=OFF -DLIBCXX_INSTALL_MODULES=OFF \
    -DLIBCXXABI_INCLUDE_TESTS=OFF -DLIBUNWIND_INCLUDE_TESTS=OFF
  quiet ninja
  quiet ninja install
}

if [ -e "$stamp" ]; then
  write_wrappers  # cheap, and keeps them in step with this script
  log "already built in $prefix"
  exit 0
fi
started=$SECONDS
log "building the Windows ARM64 toolchain from Debian sources into $prefix, once;"
log "about 20 minutes on two cores"
add_deb_src
# The compilers and tools it builds with are among the tests' packages.
. "$here/../../tools/setup/deps.sh"
deps_install demo tests
fetch_sources
: >"$work/build.log"
write_wrappers
build_mingw
build_builtins
build_libcxx
touch "$stamp"
log "done in $(((SECONDS - started) / 60)) minutes: $prefix"
