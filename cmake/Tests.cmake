# Unit tests live beside the code they test; end-to-end tests in tests/.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(plenwick_unit_tests
  config/launch_config_test.cpp
  jvm/java_strings_test.cpp
  jvm/command_option_test.cpp
  options/install_root_test.cpp
  options/jvm_options_test.cpp
  options/home_tilde_test.cpp
  options/class_path_wildcards_test.cpp
  options/class_path_option_test.cpp
  startup/home_test.cpp
  startup/known_folders_test.cpp
  startup/startup.cpp
  startup/startup_test.cpp)
target_link_libraries(plenwick_unit_tests PRIVATE plenwick_core GTest::gtest_main)
plenwick_warnings(plenwick_unit_tests)
# The packer is a host tool: its tests run where it is built.
if(NOT CMAKE_CROSSCOMPILING)
  target_sources(plenwick_unit_tests PRIVATE
    tools/pack/app/app_fields_test.cpp
    tools/pack/app/file_association_test.cpp
    tools/pack/app/sign_settings_test.cpp
    tools/pack/app/stack_size_test.cpp
    tools/pack/app/jvm_option_forms_test.cpp
    tools/pack/plan/plan_image_test.cpp
    tools/pack/cli/write_command_test.cpp
    tools/pack/launcher/packed_launcher_test.cpp
    tools/pack/pe/section_writer_test.cpp
    tools/pack/runtime/app_cds_test.cpp
    tools/pack/runtime/java_release_test.cpp
    tools/pack/runtime/module_deps_test.cpp
    tools/pack/runtime/module_list_test.cpp
    tools/pack/host/process_test.cpp
    tools/pack/host/tool_paths_test.cpp
    tools/pack/windows/icons_test.cpp
    tools/pack/windows/manifest_test.cpp
    tools/pack/windows/windows_identity_test.cpp
    tools/pack/files/image_marker_test.cpp
    tools/pack/files/output_place_test.cpp
    tools/pack/files/read_file_test.cpp
    tools/pack/files/replace_test.cpp
    tools/pack/files/tree_copy_test.cpp
    tools/pack/release/signing_test.cpp
    tools/pack/release/image_files_test.cpp
    tools/pack/release/wxs_test.cpp
    tools/pack/linux/linux_package_test.cpp
    tools/pack/linux/deb_control_test.cpp
    tools/pack/linux/mime_info_test.cpp
    tools/pack/content/jar_manifest_test.cpp
    tools/pack/content/class_path_plan_test.cpp
    tools/pack/content/manifest_class_path_test.cpp
    tools/pack/content/glob_test.cpp
    tools/pack/text/printable_test.cpp
    tests/support/small_zip.cpp)
  target_link_libraries(plenwick_unit_tests PRIVATE plenwick_pack_lib)
  target_compile_definitions(plenwick_unit_tests
    PRIVATE PLENWICK_TEST_JARS="${CMAKE_BINARY_DIR}/tests/jars"
            PLENWICK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
if(NOT WIN32)
  target_sources(plenwick_unit_tests PRIVATE platform/posix/posix_directory_search_test.cpp)
  target_sources(plenwick_unit_tests PRIVATE platform/posix/posix_known_folders_test.cpp)
  target_link_libraries(plenwick_unit_tests PRIVATE plenwick_platform)
endif()
if(CMAKE_CROSSCOMPILING)
  # One test under the emulator (Wine): listing the cases would start it at build time.
  add_test(NAME plenwick_unit_tests COMMAND plenwick_unit_tests)
else()
  gtest_discover_tests(plenwick_unit_tests DISCOVERY_TIMEOUT 60)
endif()

if(NOT CMAKE_CROSSCOMPILING)
  add_subdirectory(tests)
endif()
