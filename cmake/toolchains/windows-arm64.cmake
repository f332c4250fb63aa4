# Cross build for Windows on ARM64 with clang/lld and a mingw-w64 sysroot that
# cmake/toolchains/build-arm64-toolchain.sh builds from Debian's source packages
# (UCRT, compiler-rt builtins, static libc++). Nothing here can run the result.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)

set(PLENWICK_MINGW_TRIPLE aarch64-w64-mingw32)
if(NOT PLENWICK_ARM64_TOOLCHAIN)
  if(DEFINED ENV{PLENWICK_ARM64_TOOLCHAIN})
    set(PLENWICK_ARM64_TOOLCHAIN "$ENV{PLENWICK_ARM64_TOOLCHAIN}")
  else()
    set(PLENWICK_ARM64_TOOLCHAIN /opt/plenwick-toolchains/aarch64-w64-mingw32)
  endif()
endif()
set(PLENWICK_ARM64_TOOLCHAIN "${PLENWICK_ARM64_TOOLCHAIN}" CACHE PATH
    "Prefix of the aarch64-w64-mingw32 toolchain (build-arm64-toolchain.sh)")
# try_compile projects see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLENWICK_ARM64_TOOLCHAIN)

set(_bin "${PLENWICK_ARM64_TOOLCHAIN}/bin")
if(NOT EXISTS "${_bin}/${PLENWICK_MINGW_TRIPLE}-clang++")
  message(FATAL_ERROR "No ARM64 toolchain in ${PLENWICK_ARM64_TOOLCHAIN}: "
                      "run cmake/toolchains/build-arm64-toolchain.sh first")
endif()
set(CMAKE_C_COMPILER "${_bin}/${PLENWICK_MINGW_TRIPLE}-clang")
set(CMAKE_CXX_COMPILER "${_bin}/${PLENWICK_MINGW_TRIPLE}-clang++")
set(CMAKE_AR "${_bin}/${PLENWICK_MINGW_TRIPLE}-ar" CACHE FILEPATH "")
set(CMAKE_RANLIB "${_bin}/${PLENWICK_MINGW_TRIPLE}-ranlib" CACHE FILEPATH "")
set(CMAKE_RC_COMPILER "${_bin}/${PLENWICK_MINGW_TRIPLE}-windres")
set(CMAKE_RC_FLAGS_INIT "-I${PLENWICK_ARM64_TOOLCHAIN}/${PLENWICK_MINGW_TRIPLE}/include")
set(PLENWICK_DLLTOOL "${_bin}/${PLENWICK_MINGW_TRIPLE}-dlltool")
set(PLENWICK_DLLTOOL_MACHINE arm64)
set(PLENWICK_STRIP "${_bin}/${PLENWICK_MINGW_TRIPLE}-strip")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH "${PLENWICK_ARM64_TOOLCHAIN}/${PLENWICK_MINGW_TRIPLE}"
    ${PLENWICK_EXTRA_FIND_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
