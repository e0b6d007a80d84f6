// Typed wrappers of the game natives that several parts of the plug-in call. Natives with a
// single caller are invoked where they are used, through native::Invoke.
#pragma once

#include <cstdint>

#include "runtime/native.h"

// The local player's player handle (distinct from the player's ped).
std::int32_t GetPlayer();
// The player's ped.
EntityHandle GetPlayerPed();
// The entity's world position.
Vector3 GetEntityCoords(EntityHandle entity);
// Moves the entity to (x, y, z); the four flags are passed to the game unchanged.
void TeleportEntity(EntityHandle entity, float x, float y, float z, std::int32_t flag1,
                    std::int32_t flag2, std::int32_t flag3, std::int32_t flag4);
// The 32-bit hash of a model or asset name.
std::uint32_t GetNameHash(const char* name);

// The model natives, in the order the loading pattern calls them.
bool IsModelAvailable(std::uint32_t model);
bool IsModelValid(std::uint32_t model);
void RequestModel(std::uint32_t model);
bool HasModelLoaded(std::uint32_t model);

// True when the ped is dead.
bool IsPedDead(EntityHandle ped);
// Removes the ped from the world; the game may write 0 to the handle variable at `ped`.
void DeletePed(EntityHandle* ped);
// The game clock in milliseconds; wraps at 32 bits.
std::uint32_t GetGameTimeMs();
