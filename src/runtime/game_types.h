// The plain types the plug-in and the game exchange through native calls, shared by every part
// of the plug-in and by the tools and tests that read its records: a position or rotation, and
// the handle that names an entity (a ped, an object or a vehicle) in the game's world.
#pragma once

#include <cstddef>
#include <cstdint>

// A position or rotation as the host reads and writes it in the plug-in's memory: each
// component a 32-bit float in the low half of its own 8-byte slot.
struct Vector3 {
  alignas(8) float x = 0.0f;
  alignas(8) float y = 0.0f;
  alignas(8) float z = 0.0f;
};
static_assert(sizeof(Vector3) == 24, "Vector3 is three 8-byte slots");
static_assert(offsetof(Vector3, x) == 0 && offsetof(Vector3, y) == 8 && offsetof(Vector3, z) == 16,
              "Vector3 components sit at bytes 0, 8 and 16");

// An entity of the game's world as the game names it: a 32-bit word, 0 for none. Natives take
// and return it as a 32-bit argument, and the host lists peds in plain ints.
using EntityHandle = std::int32_t;
static_assert(sizeof(EntityHandle) == sizeof(int), "the host's ped list holds entity handles");
