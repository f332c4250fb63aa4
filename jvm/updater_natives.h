// The one native method the launcher provides to the application.
#pragma once

#include <jni.h>

#include "platform/platform.h"

extern "C" JNIEXPORT void JNICALL
Java_quorvatic_plenwick_updater_OnlineUpdater_nCheckForUpdates(JNIEnv* env, jobject receiver);

namespace plenwick {

extern JNINativeMethod updaterNatives[];
extern const jint updaterNativesCount;

// Binds the native of the optional updater class. Neither a missing class nor
// one that lacks the native stops the start, and no exception is left pending.
void registerUpdaterNatives(Platform& platform, JNIEnv* env);

}  // namespace plenwick
