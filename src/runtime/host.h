// The plug-in's one seam to the script host: the nine functions ScriptHookFrontier.dll exports,
// declared with C++ linkage and Windows types so both sides of the DLL boundary agree. The
// platform header (chosen by the build) supplies the types; platform/win32_functions.h declares
// the Win32 functions the plug-in calls besides.
#pragma once

#include "platform/win32_functions.h"

// The host's own names, which the binding to its exports depends on, not this project's rule.
// NOLINTBEGIN(readability-identifier-naming)

// Registers the script function the host runs on its script context; called once at load.
HOLDOUT_HOST_API void scriptRegister(HMODULE module, void (*scriptMain)());
// Withdraws the module's script; called once at unload.
HOLDOUT_HOST_API void scriptUnregister(HMODULE module);

// Called by the host for every key message, possibly on another thread than the script.
typedef void (*KeyboardHandler)(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended,
                                BOOL isWithAlt, BOOL wasDownBefore, BOOL isUpNow);
HOLDOUT_HOST_API void keyboardHandlerRegister(KeyboardHandler handler);
HOLDOUT_HOST_API void keyboardHandlerUnregister(KeyboardHandler handler);

// Hands control back to the game; returns on a later frame. Only ever called with 0.
HOLDOUT_HOST_API void scriptWait(DWORD time);

// A native call: nativeInit(hash), one nativePush64 per argument, nativeCall(). The returned
// area holds the result and is valid until the next native call.
HOLDOUT_HOST_API void nativeInit(UINT64 hash);
HOLDOUT_HOST_API void nativePush64(UINT64 value);
HOLDOUT_HOST_API PUINT64 nativeCall();

// Writes up to capacity ped handles of the world into peds; returns how many it wrote.
HOLDOUT_HOST_API int worldGetAllPeds(int* peds, int capacity);
// NOLINTEND(readability-identifier-naming)
