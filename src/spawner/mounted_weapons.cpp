// Mounted weapons and delete-last, the OnSelect of their rows. A mounted weapon is a vehicle in
// the game's terms: it is created at the world origin and handed to the same placement phase as
// a static object, keeping the heading of the previous placement until the player turns it. A
// weapon whose model cannot be loaded in time is silently not created. The delete row removes
// the last object the player set down, whatever its kind.
#include <string>

#include "runtime/game_types.h"
#include "runtime/model_loading.h"
#include "runtime/native.h"
#include "runtime/natives.h"
#include "spawner/menu.h"
#include "spawner/placement.h"

namespace {

constexpr NativeHash kSpawnVehicle = 0xAF35D0D2583051B0;
constexpr NativeHash kSetBoolDecorator = 0xFE26E4609B1C3772;
constexpr NativeHash kReleaseModel = 0x4AD96EF928BD4F9A;

constexpr const char* kWeaponDecorator = "wagon_block_honor";

// Loads the named model and creates the weapon at the origin; 0 when the model is not usable.
// May yield frames.
EntityHandle SpawnMountedWeapon(std::string modelName) {
  const std::uint32_t model = GetNameHash(modelName.c_str());
  if (!LoadModel(model)) {
    return 0;
  }
  const EntityHandle vehicle =
      native::Invoke<EntityHandle>(kSpawnVehicle, model, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0, 1, 0);
  native::Invoke(kSetBoolDecorator, vehicle, kWeaponDecorator, 1);
  native::Invoke(kReleaseModel, model);
  return vehicle;
}

// Creates the row's weapon and begins placing it, unless an object is already held.
void BeginWeaponPlacement(MenuItemMountedWeapon& item) {
  if (placementState.placingObject != 0) {
    return;
  }
  const EntityHandle vehicle = SpawnMountedWeapon(item.modelName);
  if (vehicle == 0) {
    return;
  }
  HoldMountedWeapon(vehicle);
}

}  // namespace

void MenuItemMountedWeapon::OnSelect() {
  BeginWeaponPlacement(*this);
}

void MenuDeleteLastSpawnedObject::OnSelect() {
  DeleteLastSpawned();
}
