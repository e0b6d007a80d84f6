// The survival run: its record and the two operations the frame loop calls, OnActivateKey when
// the activation key is released and RunTick on each run tick while a run is active. A run
// starts at the starting position, runs its ticks until the player dies (or, with Debug on, the
// activation key ends it) and ends with its summary.
#pragma once

#include <cstdint>

#include "runtime/game_types.h"
#include "settings/settings.h"

// The run and its enemy slot table.
struct RunState {
  bool runActive = false;
  std::int32_t killCount = 0;       // kills this run; kept after the run until the next start
  std::uint32_t startTick = 0;      // tick count at the start; 0 = no timed run
  std::uint32_t startGameTime = 0;  // game clock at the start; elapsed time is measured from it
  EntityHandle enemySlots[kEnemySlotCapacity] = {};  // the enemies' peds, 0 = empty
  std::uint32_t slotCursor = 0;  // next slot to service (mod MaxEnemies); never reset
};

// The run record, written only by the run's operations (the slot table only by enemies.h's).
extern RunState runState;

// Activation key: start a run at the starting position, teleport there, or (Debug) end the run.
void OnActivateKey();
// One step of an active run: service a slot, end the run on the player's death. May yield frames.
void RunTick();
// Leaves whatever run the script function was in before it was started again: the record is as
// right after load, and the enemies' handles are forgotten, for they may name other peds now.
void ForgetRun();
