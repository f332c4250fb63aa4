#include <cstdlib>
#include <string>

#include "config/launch_config_block.h"
#include "jvm/java_strings.h"
#include "jvm/launch_jvm.h"
#include "platform/platform.h"
#include "startup/errors.h"

namespace plenwick {
namespace {

constexpr const char* kErrorCaption =
    "The application has experienced an internal error and must quit.";

// Shown when the bootstrap class breaks its contract and returns no message.
constexpr const char* kFallbackMessage =
    "The application stopped because of an error it did not handle.";

// Launcher.fromException's text for the user, taken before the stack trace.
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

}  // namespace

void reportUncaughtException(JNIEnv* env, jthrowable exception) {
  const std::string message = messageFor(env, exception);
  jclass throwable = env->FindClass("java/lang/Throwable");
  jmethodID printStackTrace = env->GetMethodID(throwable, "printStackTrace", "()V");
  exitOnJavaException(env);
  env->CallVoidMethod(exception, printStackTrace);
  exitOnJavaException(env);
  if (!launchConfig.consoleApp) {
    showErrorBox(systemPlatform(), kErrorCaption, message.c_str());
  }
  std::exit(1);
}

}  // namespace plenwick
