#include "jvm/report_exception.h"

#include <cstdlib>
#include <string>

#include "jvm/java_strings.h"
#include "platform/error_output.h"

namespace plenwick {
namespace {

constexpr const char* kErrorCaption =
    "The application has experienced an internal error and must quit.";

// The box's text when the bootstrap class breaks its contract and returns null
// (or the runtime cannot hand out the characters): the same words the bootstrap
// class itself falls back to.
constexpr const char* kFallbackMessage = "The application stopped because of an unexpected error.";

// Launcher.fromException's text for the user, taken before the stack trace and
// turned from the JNI's modified UTF-8 into UTF-8 for the box. A pending
// exception at any step ends the process (described, no box).
std::string messageFor(JNIEnv* env, jthrowable exception) {
  jclass launcher = env->FindClass("quorvatic/plenwick/launcher/Launcher");
  exitOnJavaException(env);
  jmethodID fromException = env->GetStaticMethodID(launcher, "fromException",
                                                   "(Ljava/lang/Throwable;)Ljava/lang/String;");
  exitOnJavaException(env);
  auto text = static_cast<jstring>(env->CallStaticObjectMethod(launcher, fromException, exception));
  exitOnJavaException(env);
  if (text == nullptr) return kFallbackMessage;
  const char* chars = env->GetStringUTFChars(text, nullptr);
  exitOnJavaException(env);
  if (chars == nullptr) return kFallbackMessage;
  std::string message = fromModifiedUtf8(chars);
  env->ReleaseStringUTFChars(text, chars);
  return message;
}

// Throwable.printStackTrace on the Java standard error stream. The lookup is
// checked too, so the runtime is never called with an exception pending.
void printStackTrace(JNIEnv* env, jthrowable exception) {
  jclass throwable = env->FindClass("java/lang/Throwable");
  exitOnJavaException(env);
  jmethodID printStackTrace = env->GetMethodID(throwable, "printStackTrace", "()V");
  exitOnJavaException(env);
  env->CallVoidMethod(exception, printStackTrace);
  exitOnJavaException(env);
}

}  // namespace

void exitOnJavaException(JNIEnv* env) {
  if (env->ExceptionOccurred() != nullptr) {
    env->ExceptionDescribe();
    std::exit(1);
  }
}

void reportUncaughtException(const JavaLaunch& launch, JNIEnv* env, jthrowable exception) {
  const std::string message = messageFor(env, exception);
  printStackTrace(env, exception);
  if (!launch.config.consoleApp) showErrorBox(launch.platform, kErrorCaption, message.c_str());
  exitProcess(launch.platform, 1);
}

}  // namespace plenwick
