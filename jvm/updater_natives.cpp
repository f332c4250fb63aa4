#include "jvm/updater_natives.h"

#include "platform/error_output.h"

extern "C" JNIEXPORT void JNICALL
Java_quorvatic_plenwick_updater_OnlineUpdater_nCheckForUpdates(JNIEnv*, jobject) {}

namespace plenwick {

JNINativeMethod updaterNatives[] = {
    {const_cast<char*>("nCheckForUpdates"), const_cast<char*>("()V"),
     reinterpret_cast<void*>(&Java_quorvatic_plenwick_updater_OnlineUpdater_nCheckForUpdates)},
};
const jint updaterNativesCount = 1;

void registerUpdaterNatives(Platform& platform, JNIEnv* env) {
  jclass updater = env->FindClass("quorvatic/plenwick/updater/OnlineUpdater");
  if (updater == nullptr) {
    env->ExceptionClear();  // the class is optional
    return;
  }
  if (env->RegisterNatives(updater, updaterNatives, updaterNativesCount) != JNI_OK) {
    env->ExceptionClear();
    writeErrorLine(platform,
                   "Warning: quorvatic.plenwick.updater.OnlineUpdater does not declare the native "
                   "method nCheckForUpdates(); update checks are unavailable.");
  }
}

}  // namespace plenwick
