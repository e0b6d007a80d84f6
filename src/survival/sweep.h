// The sweep at the start of a run: the world is cleared of every ped outside the player's group,
// one ped per frame, and the enemy slot table is emptied.
#pragma once

// How many ped handles the sweep asks the host for; peds listed beyond these are not seen.
constexpr int kSweepListCapacity = 512;

// Deletes the foreign peds among the first SweepListCapacity the host lists, yielding one frame
// after each deletion, then empties slots 0 .. MaxEnemies - 1. Never deletes the player's ped.
void SweepPeds();
