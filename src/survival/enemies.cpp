// Enemy slots and enemy spawning. One slot is examined per run tick and at most one enemy is
// created per tick; the model wait inside a spawn is bounded by the shared model loader.
#include "survival/enemies.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/game_types.h"
#include "runtime/host.h"
#include "runtime/model_loading.h"
#include "runtime/natives.h"
#include "settings/settings.h"
#include "survival/run_state.h"

namespace {

constexpr NativeHash kReleasePed = 0x2595DD4236549CE3;
constexpr NativeHash kFindSafePedPosition = 0xB61C8E878A4199CA;
constexpr NativeHash kCreatePed = 0xD49F9B0955C367DE;
constexpr NativeHash kPrepareCreatedPed = 0x283978A15512B2FE;
constexpr NativeHash kSetDecoratorInt = 0xE88F4D7F52A6090F;
constexpr NativeHash kTaskAttackPed = 0xF166E48407BAC484;

constexpr const char* kEnemyDecorator = "honor_override";

// Creates an enemy at `position`, which it may move to a safe spot nearby. Returns the new ped,
// or 0 when the model could not be loaded or the game created no ped. May yield frames.
EntityHandle SpawnEnemy(Vector3& position) {
  const std::uint32_t model = GetNameHash(kEnemyModelName);
  if (!LoadModel(model)) {
    return 0;
  }
  Vector3 found;
  if (native::Invoke<bool>(kFindSafePedPosition, position.x, position.y, position.z, 0, &found,
                           16)) {
    position = found;
  }
  const float heading = static_cast<float>(std::rand() % 360);
  const EntityHandle ped = native::Invoke<EntityHandle>(kCreatePed, model, position.x, position.y,
                                                        position.z, heading, 0, 0, 0, 0);
  native::Invoke(kPrepareCreatedPed, ped, 1);
  return ped;
}

// The game hands a freed handle value out again. This covers one case of it only: the value
// coming back as the plug-in's own next enemy. When the new enemy's handle still sits in another
// slot, that slot's enemy left the world, and the slot is emptied rather than share the new enemy
// (which would count its death twice and release it twice). A value that comes back as a ped the
// plug-in did not create stays in its slot: the natives give no way to tell that ped from the
// enemy, so its death counts as a kill and it is released like one.
void ForgetReusedHandle(EntityHandle enemy) {
  EntityHandle* const slots = runState.enemySlots;
  std::replace(slots, slots + settings.MaxEnemies, enemy, EntityHandle{0});
}

}  // namespace

void ServiceEnemySlot(std::int32_t slotIndex, std::int32_t& killCount) {
  const EntityHandle occupant = runState.enemySlots[slotIndex];
  if (occupant != 0) {
    if (!IsPedDead(occupant)) {
      return;
    }
    ++killCount;
    // The slot is overwritten below, so the release works on a copy of the handle.
    EntityHandle dead = occupant;
    native::Invoke(kReleasePed, &dead);
  }
  // The spawn point alternates with the parity of the tick count; the spawn works on a copy.
  Vector3 position = settings.EnemySpawnPositions[GetTickCount() % 2];
  const EntityHandle enemy = SpawnEnemy(position);
  if (enemy != 0) {
    native::Invoke(kSetDecoratorInt, enemy, kEnemyDecorator, 0);
    native::Invoke(kTaskAttackPed, enemy, GetPlayerPed(), 0, 16);
    ForgetReusedHandle(enemy);
  }
  runState.enemySlots[slotIndex] = enemy;
}

void EmptyEnemySlots() {
  std::fill_n(runState.enemySlots, settings.MaxEnemies, 0);
}

void ClearEnemySlots() {
  for (std::int32_t i = 0; i < settings.MaxEnemies; ++i) {
    if (runState.enemySlots[i] != 0) {
      DeletePed(&runState.enemySlots[i]);
    }
  }
}
