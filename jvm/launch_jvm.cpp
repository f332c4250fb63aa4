#include "jvm/launch_jvm.h"

#include <string>
#include <vector>

#include "jvm/command_option.h"
#include "jvm/java_strings.h"
#include "jvm/report_exception.h"
#include "jvm/updater_natives.h"
#include "options/install_root.h"
#include "options/jvm_options.h"
#include "platform/error_output.h"
#include "platform/platform.h"

namespace plenwick {
namespace {

constexpr const char* kLauncherClass = "quorvatic/plenwick/launcher/Launcher";

// Sets the variables the runtime reads while it is created: its home, and none
// of the three through which options could be injected behind the package's back.
void prepareRuntimeEnvironment(Platform& platform, const std::string& installRoot) {
  platform.putEnvironment("_ALT_JAVA_HOME_DIR=" + installRoot);
  platform.putEnvironment("_JAVA_OPTIONS=");
  platform.putEnvironment("JDK_JAVA_OPTIONS=");
  platform.putEnvironment("JAVA_TOOL_OPTIONS=");
}

jstring newJavaString(JNIEnv* env, const std::string& utf8) {
  return env->NewStringUTF(toModifiedUtf8(utf8).c_str());
}

jobjectArray buildArgumentArray(const JavaLaunch& launch, JNIEnv* env) {
  const std::vector<std::string> arguments =
      collectArguments(launch.config.appArguments, launch.argc, launch.argv);
  jclass stringClass = env->FindClass("java/lang/String");
  exitOnJavaException(env);
  jobjectArray array =
      env->NewObjectArray(static_cast<jsize>(arguments.size()), stringClass, nullptr);
  exitOnJavaException(env);
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    jstring element = newJavaString(env, arguments[i]);
    exitOnJavaException(env);
    env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
  }
  return array;
}

[[noreturn]] void contractBroken(const JavaLaunch& launch, const char* field) {
  fatalError(launch.platform,
             "The bootstrap class quorvatic.plenwick.launcher.Launcher left '%s' unset after "
             "preparing the main class '%s'; plenwick-bootstrap.jar may be damaged or out of date.",
             field, launch.config.mainClass.c_str());
}

// Hands the main class to Launcher.prepare and reads back the entry point.
void resolveEntryPoint(const JavaLaunch& launch, JNIEnv* env, jclass& entryClass,
                       jmethodID& entryMethod) {
  jclass launcher = env->FindClass(kLauncherClass);
  exitOnJavaException(env);
  jmethodID prepare = env->GetStaticMethodID(launcher, "prepare", "(Ljava/lang/String;)V");
  exitOnJavaException(env);
  jstring mainClass = newJavaString(env, launch.config.mainClass);
  exitOnJavaException(env);
  env->CallStaticVoidMethod(launcher, prepare, mainClass);
  exitOnJavaException(env);
  jfieldID methodField =
      env->GetStaticFieldID(launcher, "mainMethod", "Ljava/lang/reflect/Method;");
  exitOnJavaException(env);
  jfieldID classField = env->GetStaticFieldID(launcher, "clazz", "Ljava/lang/Class;");
  exitOnJavaException(env);
  jobject method = env->GetStaticObjectField(launcher, methodField);
  exitOnJavaException(env);
  jobject clazz = env->GetStaticObjectField(launcher, classField);
  exitOnJavaException(env);
  if (method == nullptr) contractBroken(launch, "mainMethod");
  if (clazz == nullptr) contractBroken(launch, "clazz");
  entryMethod = env->FromReflectedMethod(method);
  exitOnJavaException(env);
  entryClass = static_cast<jclass>(clazz);
}

}  // namespace

void launchJvm(JavaLaunch& launch) {
  Platform& platform = launch.platform;
  LaunchConfig& config = launch.config;
  config.jvmOptions.push_back(
      buildCommandOption(config.mainClass, config.appArguments, launch.argc, launch.argv));

  const std::string installRoot =
      computeInstallRoot(platform.executablePath(), platform.conventions().separator);
  prepareRuntimeEnvironment(platform, installRoot);

  JavaVMInitArgs args = buildJvmOptions(platform, config.jvmOptions);
  args.version = JNI_VERSION_1_8;
  args.ignoreUnrecognized = JNI_FALSE;  // an option the runtime does not know is an error

  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  const jint created = JNI_CreateJavaVM(&vm, reinterpret_cast<void**>(&env), &args);
  if (created != JNI_OK) {
    fatalError(platform, "Failed to create JVM: Error 0x%x", static_cast<unsigned>(created));
  }
  platform.putEnvironment("_ALT_JAVA_HOME_DIR=");

  registerUpdaterNatives(platform, env);
  jobjectArray arguments = buildArgumentArray(launch, env);
  jclass entryClass = nullptr;
  jmethodID entryMethod = nullptr;
  resolveEntryPoint(launch, env, entryClass, entryMethod);

  env->CallStaticVoidMethod(entryClass, entryMethod, arguments);
  jthrowable exception = env->ExceptionOccurred();
  env->ExceptionClear();
  if (exception != nullptr) reportUncaughtException(launch, env, exception);
  vm->DetachCurrentThread();
  vm->DestroyJavaVM();
  exitProcess(platform, 0);
}

}  // namespace plenwick
