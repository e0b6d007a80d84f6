// The nine host functions the plug-in imports, forwarded to the current simulated host. Built
// into the Linux simulation directly and into the stand-in ScriptHookFrontier.dll on Windows.
#include "core/sim_host.h"
#include "runtime/host.h"

namespace {
// The current simulated game. A real host needs nothing from the program that loads it, so a
// plug-in loaded by a program that made no simulated game (a probe that loads it as the game
// does) gets one on its first call, kept until the process ends.
// Each host function names itself, so that one called after the process-exit detach shows.
sim::SimHost& Host(const char* function) {
  if (sim::SimHost::Current() == nullptr) {
    new sim::SimHost();
  }
  sim::SimHost& host = *sim::SimHost::Current();
  host.NoteHostFunction(function);
  return host;
}
}  // namespace

HOLDOUT_HOST_API void scriptRegister(HMODULE module, void (*scriptMain)()) {
  const sim::SimHost::HostCode hostCode;
  Host("scriptRegister").OnScriptRegister(module, scriptMain);
}

HOLDOUT_HOST_API void scriptUnregister(HMODULE module) {
  const sim::SimHost::HostCode hostCode;
  Host("scriptUnregister").OnScriptUnregister(module);
}

HOLDOUT_HOST_API void keyboardHandlerRegister(KeyboardHandler handler) {
  const sim::SimHost::HostCode hostCode;
  Host("keyboardHandlerRegister").OnKeyboardHandlerRegister(handler);
}

HOLDOUT_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler) {
  const sim::SimHost::HostCode hostCode;
  Host("keyboardHandlerUnregister").OnKeyboardHandlerUnregister(handler);
}

// Not marked as the host's code: the script yields inside it and resumes from it.
HOLDOUT_HOST_API void scriptWait(DWORD time) {
  Host("scriptWait").OnScriptWait(time);
}

HOLDOUT_HOST_API void nativeInit(UINT64 hash) {
  const sim::SimHost::HostCode hostCode;
  Host("nativeInit").OnNativeInit(hash);
}

HOLDOUT_HOST_API void nativePush64(UINT64 value) {
  const sim::SimHost::HostCode hostCode;
  Host("nativePush64").OnNativePush64(value);
}

HOLDOUT_HOST_API PUINT64 nativeCall() {
  const sim::SimHost::HostCode hostCode;
  return Host("nativeCall").OnNativeCall();
}

HOLDOUT_HOST_API int worldGetAllPeds(int* peds, int capacity) {
  const sim::SimHost::HostCode hostCode;
  return Host("worldGetAllPeds").OnWorldGetAllPeds(peds, capacity);
}
