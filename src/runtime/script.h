// The plug-in's spine: the library entry point that registers the script and the keyboard
// handler with the host, the script function, and the frame loop that decides when every other
// part of the plug-in runs.
#pragma once

#include <array>
#include <cstdint>

#include "runtime/host.h"
#include "settings/settings_schema.h"
#include "spawner/catalogues.h"

constexpr int kMenuPageCount = static_cast<int>(kSpawnerMenus.size());  // the menus, in build order

// What the frame loop holds for the life of the script.
struct FrameLoopState {
  std::uint32_t nextTickTime = 0;    // tick count at which the next run tick is due
  int menuPage = 0;                  // 0 = closed; 1..3 = the menus in build order
  Menu* menus[kMenuPageCount] = {};  // made at set-up and kept until the process ends
  std::array<std::uint32_t, kMenuSelectKeyCount> selectKeys{};  // as the settings bind them
};

// The frame loop's record, written only by the frame loop.
extern FrameLoopState frameLoop;

// Library entry point. Attach registers the script, then the keyboard handler; an unload's
// detach withdraws them in the same order, and the process-exit detach (reserved not null)
// touches nothing outside the plug-in. Always returns TRUE.
extern "C" HOLDOUT_PLUGIN_EXPORT BOOL WINAPI DllMain(HINSTANCE module, DWORD reason,
                                                     LPVOID reserved);
