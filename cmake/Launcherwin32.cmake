# The Windows launcher: a GUI-subsystem executable with the standard main,
# Windows 8 (6.2) as the minimum, ASLR with high-entropy addresses, NX,
# terminal-server aware, a 1 MiB/4 KiB initial stack, its manifest and icons,
# and no DLL of ours (libstdc++/libc++ and the compiler runtime are static).
enable_language(RC)

set(PLENWICK_APP_NAME "Mirrowdale2" CACHE STRING "assemblyIdentity name in the manifest")
set(PLENWICK_APP_VERSION "3.2.0.0" CACHE STRING "assemblyIdentity version (four numbers)")
set(PLENWICK_APP_DESCRIPTION "Mirrowdale" CACHE STRING "The application's display name")

set(_resources "${PROJECT_SOURCE_DIR}/resources")
set(_generated "${CMAKE_BINARY_DIR}/resources")
# A bad value would give a launcher that Windows refuses to start.
include(cmake/ManifestIdentity.cmake)
plenwick_write_manifest("${_resources}/launcher.manifest.in" "${_generated}/launcher.manifest")

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT "${_generated}/launcher.ico"
  COMMAND Python3::Interpreter "${_resources}/make_icons.py" "${_generated}/launcher.ico"
  DEPENDS "${_resources}/make_icons.py"
  COMMENT "Drawing the launcher icons")
configure_file("${_resources}/launcher.rc.in" "${_generated}/launcher.rc" @ONLY)
set_source_files_properties("${_generated}/launcher.rc" PROPERTIES
  OBJECT_DEPENDS "${_generated}/launcher.ico;${_generated}/launcher.manifest")
target_sources(launcher PRIVATE "${_generated}/launcher.rc")

set_target_properties(launcher PROPERTIES OUTPUT_NAME launcher SUFFIX ".exe")
# Small code: each function in its own section, unreferenced ones dropped.
foreach(_target launcher plenwick_core plenwick_codec plenwick_platform)
  target_compile_options(${_target} PRIVATE -Os -ffunction-sections -fdata-sections)
endforeach()
target_link_options(launcher PRIVATE
  -mwindows
  LINKER:--subsystem,windows:6.2
  LINKER:--major-os-version,6 LINKER:--minor-os-version,2
  LINKER:--major-subsystem-version,6 LINKER:--minor-subsystem-version,2
  LINKER:--dynamicbase LINKER:--high-entropy-va LINKER:--nxcompat LINKER:--tsaware
  "SHELL:-Xlinker --stack -Xlinker 1048576,4096"
  LINKER:--gc-sections
  $<$<CONFIG:Release,MinSizeRel>:-s>)

# The jvm.dll test double, for the tests that run the launcher under Wine.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_subdirectory("${PROJECT_SOURCE_DIR}/tests/wine" "${CMAKE_BINARY_DIR}/tests-wine")
endif()
