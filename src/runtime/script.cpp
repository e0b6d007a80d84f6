// The library entry point, the script function and the frame loop. One pass of the loop is one
// game frame; its steps run in a fixed order and end with scriptWait(0), which hands control
// back to the game until the next frame.
#include "runtime/script.h"

#include <cstdlib>

#include "runtime/native.h"

namespace {

constexpr NativeHash kPerFrameCallA = 0x7A556143A1C03898;
constexpr NativeHash kPerFrameCallB = 0x606374EBFC27B133;
constexpr NativeHash kPerFrameCallC = 0x1F91D44490E1EA0C;
constexpr NativeHash kPerFrameCallD = 0xFEDFA97638D61D4A;

void PerFrameCalls() {
  native::Invoke(kPerFrameCallA, 0);
  native::Invoke(kPerFrameCallB, 0);
  native::Invoke(kPerFrameCallC, 0);
  native::Invoke(kPerFrameCallD, 0);
}

// One game frame, its steps in order.
void RunFrame() {
  PerFrameCalls();
  scriptWait(0);
}

void OnKeyboardMessage(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) {}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    scriptRegister(module, ScriptMain);
    keyboardHandlerRegister(OnKeyboardMessage);
  } else if (reason == DLL_PROCESS_DETACH) {
    scriptUnregister(module);
    keyboardHandlerUnregister(OnKeyboardMessage);
  }
  return TRUE;
}

void ScriptMain() {
  std::srand(GetTickCount());
  FrameLoop();
}

void FrameLoop() {
  for (;;) {
    RunFrame();
  }
}
