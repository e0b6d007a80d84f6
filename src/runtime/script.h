// The plug-in's spine: the library entry point that registers the script and the keyboard
// handler with the host, the script function, and the frame loop that decides when every other
// part of the plug-in runs.
#pragma once

#include "runtime/host.h"

// Library entry point. Attach registers the script, then the keyboard handler; detach withdraws
// them in the same order. Always returns TRUE.
extern "C" HOLDOUT_PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE module, DWORD reason,
                                                     LPVOID reserved);

// The registered script function: seeds rand() with the tick count and runs the frame loop.
void ScriptMain();

// Sets up and then runs one pass per game frame, forever.
[[noreturn]] void FrameLoop();
