// A plug-in reduced to its binding to the script host: it imports the nine host functions, and
// the system clock as the plug-in does, and never calls them, so it loads and unloads without
// a script. Linked once through the host's
// import library and once through one that names the functions by their GCC symbols, it shows
// that Host.exe tells a binding that would load in the game from one that would not.
#include "runtime/host.h"

// The address of every host function and of the clock, so the linker imports each of them.
struct HostFunctions {
  DWORD(WINAPI* getTickCount)();
  void (*scriptRegister)(HMODULE, void (*)());
  void (*scriptUnregister)(HMODULE);
  void (*keyboardHandlerRegister)(KeyboardHandler);
  void (*keyboardHandlerUnregister)(KeyboardHandler);
  void (*scriptWait)(DWORD);
  void (*nativeInit)(UINT64);
  void (*nativePush64)(UINT64);
  PUINT64 (*nativeCall)();
  int (*worldGetAllPeds)(int*, int);
};

extern "C" HOLDOUT_PLUGIN_EXPORT const HostFunctions kHostFunctions = {
    GetTickCount,
    scriptRegister,
    scriptUnregister,
    keyboardHandlerRegister,
    keyboardHandlerUnregister,
    scriptWait,
    nativeInit,
    nativePush64,
    nativeCall,
    worldGetAllPeds};

extern "C" HOLDOUT_PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
