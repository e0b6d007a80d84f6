// The run's enemies and the one unit that touches the enemy slot table (runState.enemySlots):
// each run tick services one slot, counting a dead enemy as a kill and filling an empty or freed
// slot with a new enemy sent against the player; a run's start empties the table and a run's end
// deletes the enemies it holds.
#pragma once

#include <cstdint>

// The one enemy model.
inline constexpr const char* kEnemyModelName = "A_M_M_RANCHER_01";

// Services slot `slotIndex` (0 <= slotIndex < MaxEnemies): a living enemy keeps its slot; a dead
// one is counted in `killCount` and released; an empty or freed slot gets a new enemy, or stays
// empty when the spawn fails (it is tried again on its next visit). May yield frames.
void ServiceEnemySlot(std::int32_t slotIndex, std::int32_t& killCount);
// Empties slots 0 .. MaxEnemies - 1, leaving whatever peds they named to the world.
void EmptyEnemySlots();
// Deletes the enemy in each occupied slot of 0 .. MaxEnemies - 1; the game may write 0 to the
// slot as it deletes.
void ClearEnemySlots();
