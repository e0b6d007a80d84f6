// The survival run's record: whether a run is active, its kills and clocks, and the enemy slot
// table. The run's operations (run.h) own it; the enemies (enemies.h) work on its slot table and
// the HUD (hud.h) reads it, each through this header alone, so that none of them needs
// another's operations to see the record.
#pragma once

#include <cstdint>

#include "runtime/game_types.h"
#include "settings/settings_record.h"

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
