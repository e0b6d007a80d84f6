// Object placement. A static row loads its model, creates the object 3 m ahead of the player
// and hands it to the placement phase, which holds the player still and moves the object every
// frame: 4 m out in the view direction, 0.7 m up, turned to the heading the rotate keys set.
// A model that cannot be loaded in time, or an object the game does not create, leaves the
// player free and shows the row's failure banner instead.
#include "spawner/placement.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "runtime/keyboard.h"
#include "runtime/model_loading.h"
#include "runtime/native.h"
#include "runtime/natives.h"
#include "settings/settings.h"
#include "spawner/menu.h"
#include "spawner/placement_keys.h"
#include "spawner/spawner_natives.h"

PlacementState placementState;

namespace {

constexpr NativeHash kGetOffsetPosition = 0x1899F328B0E12848;
constexpr NativeHash kSpawnObject = 0x509D5878EB39E842;
constexpr NativeHash kGetRotation = 0xE09CAF86C32CB48F;
constexpr NativeHash kGetRelativeViewHeading = 0xC4ABF536048998AA;
constexpr NativeHash kPinEntity = 0x58A850EAEE20FAA3;
constexpr NativeHash kSetObjectRotation = 0x9CC8314DFEDE441E;

constexpr float kSpawnDistance = 3.0f;
constexpr float kHoldDistance = 4.0f;
constexpr float kHoldHeight = 0.7f;
constexpr std::int32_t kRotateStep = 2;  // degrees per frame
constexpr const char* kSpawnFailedText = "Object could not be spawned";

Vector3 GetOffsetPosition(EntityHandle entity, float x, float y, float z) {
  return native::Invoke<Vector3>(kGetOffsetPosition, entity, x, y, z);
}

void PinEntity(EntityHandle entity) {
  native::Invoke(kPinEntity, entity, 1);
}

// The hold point's offset from the player in the player's frame, before the height: 4 m out in
// the direction of the relative view heading plus half a turn.
struct HoldOffset {
  float x;
  float y;
};

// The hold offset for the relative view heading `viewHeading` in degrees.
HoldOffset HoldOffsetFor(float viewHeading) {
  const float turns = viewHeading * 0.0027777778f + 0.5f;
  const auto angle = static_cast<float>(static_cast<double>(turns) * 6.283185307179586);
  return {std::sin(angle) * kHoldDistance, std::cos(angle) * -kHoldDistance};
}

// The hold offset for the view heading the game reports now. The heading stays the same from
// frame to frame while the camera does not turn, so the offset of the last heading seen is
// kept and computed anew only for another heading (compared bit for bit, so that every heading,
// NaN among them, gives exactly the offset HoldOffsetFor gives it).
HoldOffset CurrentHoldOffset(PlacementState& state) {
  const float viewHeading = native::Invoke<float>(kGetRelativeViewHeading);
  std::uint32_t bits = 0;
  std::memcpy(&bits, &viewHeading, sizeof bits);
  if (!state.holdOffsetKnown || state.holdOffsetHeadingBits != bits) {
    const HoldOffset offset = HoldOffsetFor(viewHeading);
    state.holdOffsetKnown = true;
    state.holdOffsetHeadingBits = bits;
    state.holdOffsetX = offset.x;
    state.holdOffsetY = offset.y;
  }
  return {state.holdOffsetX, state.holdOffsetY};
}

// The whole degrees of a heading the game reports, truncated toward zero. A value no whole
// number of degrees can hold is still given one: NaN and infinities read as 0, and a finite
// heading beyond +-2^31 is first taken modulo a full turn. No heading met in play changes.
std::int32_t WholeDegrees(float heading) {
  constexpr float kBeyond = 2147483648.0f;  // 2^31
  if (!std::isfinite(heading)) {
    return 0;
  }
  if (heading >= kBeyond || heading <= -kBeyond) {
    heading = std::fmod(heading, 360.0f);
  }
  return static_cast<std::int32_t>(heading);
}

// The heading turned by `step` degrees. The heading is never wrapped to a turn, so after long
// enough turning it wraps around the 32-bit range, as the arithmetic of the game's own
// integers does, rather than overflow.
std::int32_t Turned(std::int32_t heading, std::int32_t step) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(heading) +
                                   static_cast<std::uint32_t>(step));
}

// Ends a placement, keeping the object.
void ConfirmPlacement() {
  PlacementState& state = placementState;
  if (state.placingObject == 0) {
    return;
  }
  PinEntity(state.placingObject);
  state.lastSpawnedObject = state.placingObject;
  state.placingObject = 0;
  SetPlayerEnabled(GetPlayer(), true);
}

// Tests the held keys from the table's entry `Index` on (spawner/placement_keys.h): the first
// found held acts alone, turning the object or setting it down. The table is known when the
// plug-in is compiled, so its tests run as straight-line code. Returns false when the placement
// has ended.
template <std::size_t Index = 0>
bool ApplyPlacementKeys(PlacementState& state) {
  if constexpr (Index == std::size(kPlacementKeys)) {
    return true;
  } else {
    constexpr PlacementKey kEntry = kPlacementKeys[Index];
    if (!IsKeyHeld(settings.*kEntry.key)) {
      return ApplyPlacementKeys<Index + 1>(state);
    }
    if constexpr (kEntry.action == PlacementAction::kTurn) {
      bool reversed = false;
      if constexpr (kEntry.reverseKey != nullptr) {
        reversed = IsKeyHeld(settings.*kEntry.reverseKey);
      }
      state.placingHeading = Turned(state.placingHeading, reversed ? kRotateStep : -kRotateStep);
      return true;
    } else {
      static_assert(kEntry.action == PlacementAction::kSetDown, "every action is performed");
      static_assert(kEntry.reverseKey == nullptr, "an object is set down one way only");
      ConfirmPlacement();
      return false;
    }
  }
}

// Spawns the row's model 3 m ahead of the player and begins placing it; shows the row's failure
// banner when the model cannot be loaded or the object is not created. May yield frames.
void BeginStaticPlacement(MenuItemStaticCover& item) {
  PlacementState& state = placementState;
  if (state.placingObject != 0) {
    return;
  }
  if (!LoadModel(item.modelHash)) {
    NotifyFromItem(item, kSpawnFailedText);
    return;
  }
  const Vector3 p = GetOffsetPosition(GetPlayerPed(), 0.0f, kSpawnDistance, 0.0f);
  const EntityHandle object =
      native::Invoke<EntityHandle>(kSpawnObject, item.modelHash, p.x, p.y, p.z, 0, 1, 1, 0, 0);
  if (object == 0) {
    NotifyFromItem(item, kSpawnFailedText);
    return;
  }
  state.placingObject = object;
  const Vector3 rotation = native::Invoke<Vector3>(kGetRotation, GetPlayerPed(), 1);
  state.placingHeading = WholeDegrees(rotation.z);
  SetPlayerEnabled(GetPlayer(), false);
}

}  // namespace

void MenuItemStaticCover::OnSelect() {
  BeginStaticPlacement(*this);
}

void UpdatePlacement() {
  PlacementState& state = placementState;
  if (state.placingObject == 0 || !ApplyPlacementKeys(state)) {
    return;
  }
  const HoldOffset offset = CurrentHoldOffset(state);
  const Vector3 p = GetOffsetPosition(GetPlayerPed(), offset.x, offset.y, kHoldHeight);
  TeleportEntity(state.placingObject, p.x, p.y, p.z, 1, 1, 1, 0);
  PinEntity(state.placingObject);
  native::Invoke(kSetObjectRotation, state.placingObject, 0.0f, 0.0f,
                 static_cast<float>(state.placingHeading), 1, 1);
}

void CancelPlacement() {
  PlacementState& state = placementState;
  if (state.placingObject == 0) {
    return;
  }
  RemoveObject(&state.placingObject);
  state.placingObject = 0;
  SetPlayerEnabled(GetPlayer(), true);
}

void ForgetPlacement() {
  if (placementState.placingObject != 0) {
    SetPlayerEnabled(GetPlayer(), true);
  }
  placementState = PlacementState{};
}

void HoldMountedWeapon(EntityHandle vehicle) {
  SetPlayerEnabled(GetPlayer(), false);
  placementState.placingObject = vehicle;
}

// The object being placed is never the delete row's to remove. The two handles can be equal: the
// game may clear the last confirmed object away and hand its freed handle value to the object
// picked next, and a row picked in the same frame as the delete row then holds it.
void DeleteLastSpawned() {
  PlacementState& state = placementState;
  if (state.lastSpawnedObject == 0 || state.lastSpawnedObject == state.placingObject) {
    return;
  }
  RemoveObject(&state.lastSpawnedObject);
}
