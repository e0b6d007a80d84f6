// The four natives the plug-in calls at the start of every frame, each with the fixed argument
// 0. The simulated game accepts them and changes nothing; the call recorder keeps them for tests.
#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

void InstallFrameNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  using contract::Fixed;
  table.Define(natives::kPerFrameCallA, "PerFrameCallA", {Fixed("value", 0)}, ResultKind::kNone,
               nullptr);
  table.Define(natives::kPerFrameCallB, "PerFrameCallB", {Fixed("value", 0)}, ResultKind::kNone,
               nullptr);
  table.Define(natives::kPerFrameCallC, "PerFrameCallC", {Fixed("value", 0)}, ResultKind::kNone,
               nullptr);
  table.Define(natives::kPerFrameCallD, "PerFrameCallD", {Fixed("value", 0)}, ResultKind::kNone,
               nullptr);
}

}  // namespace sim
