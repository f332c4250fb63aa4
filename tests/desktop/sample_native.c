/* The sample's JNI library: one function, found through java.library.path. */
#include <jni.h>

JNIEXPORT jint JNICALL Java_desktop_Sample_add(JNIEnv* env, jclass type, jint a, jint b) {
  (void)env;
  (void)type;
  return a + b;
}
