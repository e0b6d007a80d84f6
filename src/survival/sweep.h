// The sweep at the start of a run: the world is cleared of every ped outside the player's group,
// one ped per frame. Afterwards no ped of an earlier run is left, so whatever the enemy slot
// table still names is gone; the run empties the table once the sweep returns.
#pragma once

// Deletes the foreign peds among the first 512 the host lists, yielding one frame after each
// deletion. Never deletes the player's ped.
void SweepPeds();
