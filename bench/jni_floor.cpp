// The floor for start-up measurements: the least a native program must do to
// run a Java main method. Creates the JVM in-process with only the class path,
// calls main on the initial thread and destroys the JVM.
// Usage: jni_floor CLASSPATH MAINCLASS [ARGUMENT...]
#include <jni.h>

#include <cstdio>
#include <string>

namespace {

std::string slashed(std::string name) {
  for (char& c : name) {
    if (c == '.') c = '/';
  }
  return name;
}

int runMain(JNIEnv* env, const char* mainClass, int argc, char** argv) {
  jclass cls = env->FindClass(slashed(mainClass).c_str());
  jmethodID main = cls ? env->GetStaticMethodID(cls, "main", "([Ljava/lang/String;)V") : nullptr;
  jclass stringClass = env->FindClass("java/lang/String");
  if (main == nullptr || stringClass == nullptr) {
    env->ExceptionDescribe();
    return 1;
  }
  jobjectArray args = env->NewObjectArray(argc, stringClass, nullptr);
  for (int i = 0; i < argc; ++i) {
    env->SetObjectArrayElement(args, i, env->NewStringUTF(argv[i]));
  }
  env->CallStaticVoidMethod(cls, main, args);
  if (env->ExceptionCheck()) {
    env->ExceptionDescribe();
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("Usage: jni_floor CLASSPATH MAINCLASS [ARGUMENT...]\n", stderr);
    return 2;
  }
  std::string classPath = std::string("-Djava.class.path=") + argv[1];
  JavaVMOption options[1];
  options[0].optionString = classPath.data();
  options[0].extraInfo = nullptr;
  JavaVMInitArgs init;
  init.version = JNI_VERSION_1_8;
  init.nOptions = 1;
  init.options = options;
  init.ignoreUnrecognized = JNI_FALSE;
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  if (JNI_CreateJavaVM(&vm, reinterpret_cast<void**>(&env), &init) != JNI_OK) {
    std::fputs("jni_floor: cannot create the JVM\n", stderr);
    return 1;
  }
  const int status = runMain(env, argv[2], argc - 3, argv + 3);
  vm->DestroyJavaVM();
  return status;
}
