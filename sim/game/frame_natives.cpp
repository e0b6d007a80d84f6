// The four natives the plug-in calls at the start of every frame. The simulated game accepts
// them and changes nothing; the call recorder keeps them for tests.
#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

void InstallFrameNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kPerFrameCallA, "PerFrameCallA", 1, nullptr);
  table.Define(natives::kPerFrameCallB, "PerFrameCallB", 1, nullptr);
  table.Define(natives::kPerFrameCallC, "PerFrameCallC", 1, nullptr);
  table.Define(natives::kPerFrameCallD, "PerFrameCallD", 1, nullptr);
}

}  // namespace sim
