// The survival run: its state record and the operations that start, advance and end a run.
// The frame loop calls OnActivateKey when the activation key is released and RunTick on each
// run tick while a run is active.
#pragma once

#include <cstdint>

#include "settings/settings.h"

struct RunState {
  bool runActive = false;
  std::int32_t killCount = 0;       // kills this run; kept after the run until the next start
  std::uint32_t startTick = 0;      // tick count at the start; 0 = no timed run
  std::uint32_t startGameTime = 0;  // game clock at the start; elapsed time is measured from it
  std::int32_t enemySlots[kEnemySlotCapacity] = {};  // ped handles, 0 = empty
  std::uint32_t slotCursor = 0;  // next slot to service (mod MaxEnemies); never reset
};

// Activation key: start a run at the starting position, teleport there, or (Debug) end the run.
void OnActivateKey();
// Begins a run when none is active and the player's ped is alive.
void StartRun();
// One step of an active run: service a slot, end the run on the player's death.
void RunTick();
// The fixed player calls made on every run tick.
void ResetPlayerOnTick();
// The start-of-run sound.
void PlayStartSound();
// Ends the run: cancels a placement, shows and logs the summary.
void EndRun();
// Resets the run record and deletes the run's enemies.
void ClearRun();
// Counts one kill for the run.
void CountKill();
// Puts `ped` (0 = none) in enemy slot `slotIndex` (0 <= slotIndex < EnemySlotCapacity).
void SetEnemySlot(std::int32_t slotIndex, std::int32_t ped);
// Empties enemy slots 0 .. MaxEnemies - 1.
void EmptyEnemySlots();
