// The nine host functions the plug-in imports, forwarded to the current simulated host. Built
// into the Linux simulation directly and into the stand-in ScriptHookFrontier.dll on Windows.
#include "core/sim_host.h"
#include "runtime/host.h"

namespace {
// The current simulated game. A real host needs nothing from the program that loads it, so a
// plug-in loaded by a program that made no simulated game (a probe that loads it as the game
// does) gets one on its first call, kept until the process ends.
sim::SimHost& Host() {
  if (sim::SimHost::Current() == nullptr) {
    new sim::SimHost();
  }
  return *sim::SimHost::Current();
}
}  // namespace

HOLDOUT_HOST_API void scriptRegister(HMODULE module, void (*scriptMain)()) {
  Host().OnScriptRegister(module, scriptMain);
}

HOLDOUT_HOST_API void scriptUnregister(HMODULE module) {
  Host().OnScriptUnregister(module);
}

HOLDOUT_HOST_API void keyboardHandlerRegister(KeyboardHandler handler) {
  Host().OnKeyboardHandlerRegister(handler);
}

HOLDOUT_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler) {
  Host().OnKeyboardHandlerUnregister(handler);
}

HOLDOUT_HOST_API void scriptWait(DWORD time) {
  Host().OnScriptWait(time);
}

HOLDOUT_HOST_API void nativeInit(UINT64 hash) {
  Host().OnNativeInit(hash);
}

HOLDOUT_HOST_API void nativePush64(UINT64 value) {
  Host().OnNativePush64(value);
}

HOLDOUT_HOST_API PUINT64 nativeCall() {
  return Host().OnNativeCall();
}

HOLDOUT_HOST_API int worldGetAllPeds(int* peds, int capacity) {
  return Host().OnWorldGetAllPeds(peds, capacity);
}
