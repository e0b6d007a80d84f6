// The survival run: the two operations the frame loop calls, OnActivateKey when the activation
// key is released and RunTick on each run tick while a run is active, which own the run's
// record (run_state.h). A run
// starts at the starting position, runs its ticks until the player dies (or, with Debug on, the
// activation key ends it) and ends with its summary.
#pragma once

#include "survival/run_state.h"

// Activation key: start a run at the starting position, teleport there, or (Debug) end the run.
void OnActivateKey();
// One step of an active run: service a slot, end the run on the player's death. May yield frames.
void RunTick();
// Leaves whatever run the script function was in before it was started again: the record is as
// right after load, and the enemies' handles are forgotten, for they may name other peds now.
void ForgetRun();
