// Typed wrappers of the game natives that both the object placement and the mounted weapons
// call.
#pragma once

#include <cstdint>

#include "runtime/game_types.h"

// Gives the player (a player handle, not the ped) control of the character back, or takes it.
void SetPlayerEnabled(std::int32_t player, bool enabled);
// Removes the object or vehicle whose handle is held at `handle`; the game may clear it.
void RemoveObject(EntityHandle* handle);
