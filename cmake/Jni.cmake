# plenwick_jni_headers: jni.h (and jni_md.h for the target).
# plenwick_jvm: what the launcher links to reach JNI_CreateJavaVM.
add_library(plenwick_jni_headers INTERFACE)
add_library(plenwick_jvm INTERFACE)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/JniWindows.cmake)
else()
  # Without JAVA_HOME, use the JDK whose javac is on the PATH.
  if(NOT JAVA_HOME AND NOT DEFINED ENV{JAVA_HOME})
    find_program(PLENWICK_JAVAC javac REQUIRED)
    get_filename_component(_javac "${PLENWICK_JAVAC}" REALPATH)
    get_filename_component(_jdk "${_javac}" DIRECTORY)
    get_filename_component(_jdk "${_jdk}" DIRECTORY)
    set(JAVA_HOME "${_jdk}" CACHE PATH "The JDK to build against")
  endif()
  find_package(JNI REQUIRED COMPONENTS JVM)
  target_include_directories(plenwick_jni_headers INTERFACE ${JNI_INCLUDE_DIRS})
  target_link_libraries(plenwick_jvm INTERFACE ${JAVA_JVM_LIBRARY})
endif()
