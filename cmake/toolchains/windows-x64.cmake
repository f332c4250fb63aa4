# Cross build for Windows x64 with Debian's mingw-w64 GCC (win32 thread model).
# The launcher links libstdc++/libgcc statically and uses the Universal CRT, the
# C runtime that jvm.dll uses: both must share one copy of the environment.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(PLENWICK_MINGW_TRIPLE x86_64-w64-mingw32)
# win32 for the launcher; posix (std::mutex, for GoogleTest) for the unit tests.
if(NOT PLENWICK_MINGW_THREADS)
  set(PLENWICK_MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLENWICK_MINGW_THREADS)
set(CMAKE_C_COMPILER ${PLENWICK_MINGW_TRIPLE}-gcc-${PLENWICK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${PLENWICK_MINGW_TRIPLE}-g++-${PLENWICK_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${PLENWICK_MINGW_TRIPLE}-windres)
set(PLENWICK_DLLTOOL ${PLENWICK_MINGW_TRIPLE}-dlltool)
set(PLENWICK_DLLTOOL_MACHINE i386:x86-64)
set(PLENWICK_STRIP ${PLENWICK_MINGW_TRIPLE}-strip)

# GCC's specs name msvcrt as the C runtime; a copy that names ucrt instead.
set(_specs "${CMAKE_BINARY_DIR}/ucrt.specs")
if(NOT EXISTS "${_specs}")
  execute_process(COMMAND ${CMAKE_C_COMPILER} -dumpspecs
                  OUTPUT_VARIABLE _dumped RESULT_VARIABLE _failed)
  if(_failed)
    message(FATAL_ERROR "${CMAKE_C_COMPILER} -dumpspecs failed; is g++-mingw-w64-x86-64-win32 installed?")
  endif()
  string(REPLACE "-lmsvcrt" "-lucrt" _dumped "${_dumped}")
  file(WRITE "${_specs}" "${_dumped}")
endif()
set(_ucrt "-specs=${_specs} -D_UCRT -D__MSVCRT_VERSION__=0xE00")
# The unit tests need no jvm.dll and may use the toolchain's default runtime
# (its static winpthread is built for msvcrt): PLENWICK_MINGW_UCRT=OFF.
if(NOT DEFINED PLENWICK_MINGW_UCRT)
  set(PLENWICK_MINGW_UCRT ON)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLENWICK_MINGW_UCRT)
if(PLENWICK_MINGW_UCRT)
  set(CMAKE_C_FLAGS_INIT "${_ucrt}")
  set(CMAKE_CXX_FLAGS_INIT "${_ucrt}")
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_FIND_ROOT_PATH /usr/${PLENWICK_MINGW_TRIPLE} ${PLENWICK_EXTRA_FIND_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows programs run here under Wine.
find_program(PLENWICK_WINE wine)
if(PLENWICK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLENWICK_WINE})
endif()
