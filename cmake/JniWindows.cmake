# JNI for the Windows launcher, built on a machine without a Windows JDK:
# jni.h from the build machine's JDK, the project's own Windows jni_md.h, and
# an import library for jvm.dll made from a .def, so that the system loader
# binds JNI_CreateJavaVM from the runtime beside the executable.
set(_win32 "${CMAKE_CURRENT_LIST_DIR}/../platform/win32")

if(NOT PLENWICK_JNI_INCLUDE_DIR)
  set(_jdk_hints "${JAVA_HOME}" "$ENV{JAVA_HOME}")
  find_program(PLENWICK_JAVAC javac NO_CMAKE_FIND_ROOT_PATH)
  if(PLENWICK_JAVAC)
    get_filename_component(_javac "${PLENWICK_JAVAC}" REALPATH)
    get_filename_component(_jdk "${_javac}" DIRECTORY)
    get_filename_component(_jdk "${_jdk}" DIRECTORY)
    list(APPEND _jdk_hints "${_jdk}")
  endif()
  find_path(PLENWICK_JNI_INCLUDE_DIR jni.h
    HINTS ${_jdk_hints}
    PATHS /usr/lib/jvm/default-java /usr/lib/jvm/java-17-openjdk-amd64
    PATH_SUFFIXES include
    NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
  if(NOT PLENWICK_JNI_INCLUDE_DIR)
    message(FATAL_ERROR "jni.h not found: set PLENWICK_JNI_INCLUDE_DIR to a JDK's include directory")
  endif()
endif()
# Only the directory of jni.h itself: its platform subdirectory must not be
# searched, so jni.h finds the Windows jni_md.h below.
target_include_directories(plenwick_jni_headers INTERFACE
  "${PLENWICK_JNI_INCLUDE_DIR}" "${_win32}/include")

set(_def "${_win32}/jvm.def")
set(PLENWICK_JVM_IMPORT_LIBRARY "${CMAKE_BINARY_DIR}/libjvm.dll.a")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_def}")
execute_process(
  COMMAND "${PLENWICK_DLLTOOL}" -m ${PLENWICK_DLLTOOL_MACHINE} -d "${_def}" -D jvm.dll
          -l "${PLENWICK_JVM_IMPORT_LIBRARY}"
  RESULT_VARIABLE _failed)
if(_failed)
  message(FATAL_ERROR "${PLENWICK_DLLTOOL} could not make the import library for jvm.dll")
endif()
# By path: under -static, -ljvm would look for a static libjvm.a only.
target_link_libraries(plenwick_jvm INTERFACE "${PLENWICK_JVM_IMPORT_LIBRARY}")
