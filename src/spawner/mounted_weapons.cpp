// Mounted weapons and delete-last. A weapon keeps the heading of the previous placement until
// the player turns it. A weapon whose model cannot be loaded in time is silently not created.
#include "spawner/mounted_weapons.h"

#include "runtime/model_loading.h"
#include "runtime/native.h"
#include "runtime/natives.h"
#include "runtime/plugin_state.h"
#include "spawner/menu.h"
#include "spawner/spawner_natives.h"

namespace {

constexpr NativeHash kSpawnVehicle = 0xAF35D0D2583051B0;
constexpr NativeHash kSetBoolDecorator = 0xFE26E4609B1C3772;
constexpr NativeHash kReleaseModel = 0x4AD96EF928BD4F9A;

constexpr const char* kWeaponDecorator = "wagon_block_honor";

}  // namespace

void MenuItemMountedWeapon::OnSelect() {
  BeginWeaponPlacement(*this);
}

void MenuDeleteLastSpawnedObject::OnSelect() {
  DeleteLastSpawned();
}

std::uint32_t SpawnMountedWeapon(std::string modelName) {
  const std::uint32_t model = GetNameHash(modelName.c_str());
  if (!LoadModel(model)) {
    return 0;
  }
  const std::uint32_t vehicle =
      native::Invoke<std::uint32_t>(kSpawnVehicle, model, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0, 1, 0);
  native::Invoke(kSetBoolDecorator, static_cast<std::int32_t>(vehicle), kWeaponDecorator, 1);
  native::Invoke(kReleaseModel, model);
  return vehicle;
}

void BeginWeaponPlacement(MenuItemMountedWeapon& item) {
  if (placementState.placingObject != 0) {
    return;
  }
  const std::uint32_t vehicle = SpawnMountedWeapon(item.modelName);
  if (vehicle == 0) {
    return;
  }
  HoldMountedWeapon(vehicle);
}
