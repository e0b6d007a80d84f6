// The run's enemies: each run tick services one slot of the enemy slot table, counting a dead
// enemy as a kill and filling an empty or freed slot with a new enemy sent against the player.
#pragma once

#include <cstdint>

#include "runtime/native.h"

// The one enemy model.
inline constexpr const char* kEnemyModelName = "A_M_M_RANCHER_01";

// Services slot `slotIndex` (0 <= slotIndex < MaxEnemies): a living enemy keeps its slot; a dead
// one is counted and released; an empty or freed slot gets a new enemy, or stays empty when the
// spawn fails (it is tried again on its next visit).
void ServiceEnemySlot(std::int32_t slotIndex);

// Creates an enemy at `position`, which it may move to a safe spot nearby. Returns the new ped,
// or 0 when the model could not be loaded or the game created no ped. May yield frames.
std::int32_t SpawnEnemy(Vector3& position);
