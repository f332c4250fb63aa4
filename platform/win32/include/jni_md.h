/* Machine-dependent JNI types and calling conventions for Windows (LLP64:
 * long is 32 bits). jni.h includes this file; the launcher builds against a
 * JDK's jni.h on a machine that has no Windows JDK. */
#ifndef PLENWICK_WIN32_JNI_MD_H
#define PLENWICK_WIN32_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
