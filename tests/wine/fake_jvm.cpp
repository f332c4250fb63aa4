// A stand-in for the Java runtime's jvm.dll, for testing the launcher under
// Wine. JNI_CreateJavaVM writes down everything it receives, and the C
// runtime's arguments and environment at that moment, then fails with a chosen result:
//   PLENWICK_JVM_RECORD  file to write (default: jvm-record.txt)
//   PLENWICK_JVM_RESULT  result to return, decimal (default: -6)
// It is linked against the same C runtime as the launcher (UCRT), so its
// getenv sees exactly what the real runtime would see.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

DWORD initialThread = 0;

struct JavaVMOption {
  char* optionString;
  void* extraInfo;
};

struct JavaVMInitArgs {
  int version;
  int nOptions;
  JavaVMOption* options;
  unsigned char ignoreUnrecognized;
};

void record(const JavaVMInitArgs* args, FILE* out) {
  std::fprintf(out, "version 0x%x\nignoreUnrecognized %u\nnOptions %d\n",
               static_cast<unsigned>(args->version), args->ignoreUnrecognized, args->nOptions);
  for (int i = 0; i < args->nOptions; ++i) {
    std::fprintf(out, "option %s\n", args->options[i].optionString);
  }
  ULONG_PTR low = 0;
  ULONG_PTR high = 0;
  GetCurrentThreadStackLimits(&low, &high);
  std::fprintf(out, "acp %u\nthread %s\nstackReserve %llu\n", GetACP(),
               GetCurrentThreadId() == initialThread ? "initial" : "new",
               static_cast<unsigned long long>(high - low));
  // The launcher's own argv (the same C runtime): how the command line was split.
  for (int i = 0; i < __argc; ++i) std::fprintf(out, "arg %s\n", __argv[i]);
  for (char** entry = _environ; entry != nullptr && *entry != nullptr; ++entry) {
    std::fprintf(out, "env %s\n", *entry);
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  // The loader binds this DLL before the launcher's main runs, on the initial thread.
  if (reason == DLL_PROCESS_ATTACH) initialThread = GetCurrentThreadId();
  return TRUE;
}

extern "C" __declspec(dllexport) int JNI_CreateJavaVM(void** vm, void** env, void* args) {
  *vm = nullptr;
  *env = nullptr;
  const char* path = std::getenv("PLENWICK_JVM_RECORD");
  FILE* out = std::fopen(path != nullptr ? path : "jvm-record.txt", "wb");
  if (out != nullptr) {
    record(static_cast<const JavaVMInitArgs*>(args), out);
    std::fclose(out);
  }
  const char* result = std::getenv("PLENWICK_JVM_RESULT");
  return result != nullptr ? std::atoi(result) : -6;
}
