// The library entry point, the script function and the frame loop. One pass of the loop is one
// game frame: the steps of the frame table (frame_steps.h) in order, then scriptWait(0), which
// hands control back to the game until the next frame.
#include "runtime/script.h"

#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "runtime/frame_steps.h"
#include "runtime/keyboard.h"
#include "runtime/native.h"
#include "runtime/natives.h"
#include "runtime/screen.h"
#include "settings/log.h"
#include "settings/position.h"
#include "settings/settings.h"
#include "settings/settings_schema.h"
#include "spawner/catalogues.h"
#include "spawner/menu.h"
#include "spawner/placement.h"
#include "survival/hud.h"
#include "survival/run.h"

FrameLoopState frameLoop;

namespace {

// The four per-frame calls, each made first in every frame with the integer 0. The game keeps
// what they govern to itself: the plug-in relies on nothing they do beyond taking that 0, and the
// simulated game checks only the argument.
constexpr NativeHash kPerFrameCallA = 0x7A556143A1C03898;  // the first of every frame
constexpr NativeHash kPerFrameCallB = 0x606374EBFC27B133;  // the second
constexpr NativeHash kPerFrameCallC = 0x1F91D44490E1EA0C;  // the third
constexpr NativeHash kPerFrameCallD = 0xFEDFA97638D61D4A;  // the fourth

constexpr std::uint32_t kRunTickIntervalMs = 100;
constexpr std::uint32_t kPositionSavedMs = 1000;

void PerFrameCalls() {
  native::Invoke(kPerFrameCallA, 0);
  native::Invoke(kPerFrameCallB, 0);
  native::Invoke(kPerFrameCallC, 0);
  native::Invoke(kPerFrameCallD, 0);
}

// Sets the records up as right after load: on the first start of the script function, and
// again whenever the host starts it anew (a game reloading, say), when a run or placement from
// before is left, its handles forgotten and the player's controls given back.
void SetUp(FrameLoopState& loop) {
  ForgetPlacement();
  ForgetRun();
  ForgetKeys();
  LoadSettings();
  // The banner and the menus are made by the first set-up and kept: a later one empties the
  // banner and keeps the menus, which no setting changes; one that threw part-way makes only
  // what is still missing.
  if (notification == nullptr) {
    notification = new Notification();
  } else {
    *notification = Notification{};
  }
  for (std::size_t page = 0; page < kSpawnerMenus.size(); ++page) {
    if (loop.menus[page] == nullptr) {
      loop.menus[page] = kSpawnerMenus[page].build().release();
    }
  }
  loop.selectKeys = MenuSelectKeys(settings);
  loop.nextTickTime = 0;
  loop.menuPage = 0;
}

// A run tick is due once the tick count has reached the deadline. The deadline only grows by
// 100 after a due tick, so it is never more than one interval ahead of the tick count: a
// deadline 1..100 ms ahead is not yet due, and any other is due, however far behind it lags.
// This holds across the tick count's 49.7-day wrap and keeps the one-tick-per-frame catch-up
// from any distance, also when the tick count is past 2^31 at the first run.
bool RunTickDue(std::uint32_t now, std::uint32_t nextTickTime) {
  return nextTickTime - now - 1 >= kRunTickIntervalMs;
}

// One run tick while a run is active and a tick is due.
void RunTickWhenDue(FrameLoopState& loop) {
  if (runState.runActive && RunTickDue(GetTickCount(), loop.nextTickTime)) {
    RunTick();
    loop.nextTickTime += kRunTickIntervalMs;
  }
}

// The spawner menu key: cancels a placement, or else steps to the next menu page (after the
// last, none).
void OnSpawnerMenuKey(FrameLoopState& loop) {
  if (placementState.placingObject != 0) {
    CancelPlacement();
  } else {
    loop.menuPage = (loop.menuPage + 1) % (kMenuPageCount + 1);
  }
}

// The open menu is drawn and its rows picked by the select keys, or with no menu open the
// placement goes on.
void MenuOrPlacement(FrameLoopState& loop) {
  if (loop.menuPage == 0) {
    UpdatePlacement();
    return;
  }
  const Menu& menu = *loop.menus[loop.menuPage - 1];
  DrawMenu(menu);
  for (std::size_t k = 0; k < kMenuSelectKeyCount; ++k) {
    if (!IsKeyReleased(loop.selectKeys[k])) {
      continue;
    }
    const std::vector<MenuItemBase*> items = GetItems(menu);
    if (k >= items.size()) {
      break;
    }
    items[k]->OnSelect();
    loop.menuPage = 0;
  }
}

// F2 with Debug on: logs the player's position and says in the banner whether the line reached
// a log: the log is the only place the position is kept.
void CapturePosition() {
  const Vector3 position = GetEntityCoords(GetPlayerPed());
  const bool saved = WriteLog(FormatPosition(position));
  ShowNotification(*notification,
                   saved ? "Position saved!" : "Position not saved: Holdout.log cannot be written",
                   kPositionSavedMs);
}

// Does what a step of the frame does.
template <StepAction Action>
void Perform(FrameLoopState& loop) {
  if constexpr (Action == StepAction::kPerFrameNatives) {
    PerFrameCalls();
  } else if constexpr (Action == StepAction::kRunHud) {
    DrawRunHud();
  } else if constexpr (Action == StepAction::kBanner) {
    DrawNotification();
  } else if constexpr (Action == StepAction::kActivate) {
    OnActivateKey();
  } else if constexpr (Action == StepAction::kRunTick) {
    RunTickWhenDue(loop);
  } else if constexpr (Action == StepAction::kMenuPage) {
    OnSpawnerMenuKey(loop);
  } else if constexpr (Action == StepAction::kMenuOrPlacement) {
    MenuOrPlacement(loop);
  } else {
    static_assert(Action == StepAction::kPositionCapture, "every step's action is performed");
    CapturePosition();
  }
}

// Runs the table's step `Index`: a keyed step only when its key was released. The step is
// known when the plug-in is compiled, so a frame runs as the table's steps in straight-line
// code, with no loop over the table and no branch on what a step is.
template <std::size_t Index>
void RunStep(FrameLoopState& loop) {
  constexpr FrameStep kStep = kFrameSteps[Index];
  if constexpr (kStep.keys == StepKeys::kBinding) {
    if (!IsKeyReleased(settings.*kStep.binding)) {
      return;
    }
  } else if constexpr (kStep.keys == StepKeys::kDebugFixedKey) {
    if (!settings.Debug || !IsKeyReleased(kStep.fixedKey)) {
      return;
    }
  }
  Perform<kStep.action>(loop);
}

// One game frame's steps, in the table's order.
template <std::size_t... Indices>
void RunSteps(FrameLoopState& loop, std::index_sequence<Indices...>) {
  (RunStep<Indices>(loop), ...);
}

void RunSteps(FrameLoopState& loop) {
  RunSteps(loop, std::make_index_sequence<std::size(kFrameSteps)>());
}

// Sets up and then runs one pass per game frame, forever, each ending with the yield to the
// game. A frame that throws anything (an allocation failing, say) is abandoned where it threw
// and the loop goes on with the next frame, so that no exception unwinds through the host's
// frames; a set-up that throws is done again in the next frame.
[[noreturn]] void FrameLoop() {
  bool setUp = false;
  for (;;) {
    try {
      if (!setUp) {
        SetUp(frameLoop);
        setUp = true;
      }
      RunSteps(frameLoop);
    } catch (...) {
      // The frame ends here; the next one starts afresh from the records as they are.
    }
    scriptWait(0);
  }
}

// The registered script function: seeds rand() with the tick count and runs the frame loop.
void ScriptMain() {
  std::srand(GetTickCount());
  FrameLoop();
}

}  // namespace

// A detach with a non-null reserved argument is the process ending: every other thread is gone
// and the host may be torn down already, so nothing outside the plug-in is touched. Only an
// unload (FreeLibrary, reserved null) withdraws the script and the handler.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    scriptRegister(module, ScriptMain);
    keyboardHandlerRegister(OnKeyboardMessage);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    scriptUnregister(module);
    keyboardHandlerUnregister(OnKeyboardMessage);
  }
  return TRUE;
}
