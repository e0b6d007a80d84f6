// Object placement: a spawned object held 4 m out in the view direction, turned with the rotate
// keys and set down with the confirm key; or cancelled, deleting it. The player's controls are
// taken away while an object is held and given back however the placement ends.
#pragma once

#include <cstdint>

#include "runtime/game_types.h"

// The one object being placed, its heading, and the last object set down.
struct PlacementState {
  EntityHandle placingObject = 0;      // the object being placed; 0 = none
  std::int32_t placingHeading = 0;     // whole degrees, not wrapped
  EntityHandle lastSpawnedObject = 0;  // the last confirmed object; 0 = none
  // The hold offset of the last relative view heading seen (compared bit for bit), kept so that
  // it is computed anew only when the camera turns.
  bool holdOffsetKnown = false;
  std::uint32_t holdOffsetHeadingBits = 0;
  float holdOffsetX = 0.0f;
  float holdOffsetY = 0.0f;
};

// The placement record, written only by the placement's operations.
extern PlacementState placementState;

// Per frame while no menu is open: rotate, confirm, and hold the object in front of the player.
void UpdatePlacement();
// Ends a placement, deleting the object.
void CancelPlacement();
// Begins placing a mounted weapon just created: the player's controls are taken away and the
// weapon keeps the heading of the previous placement.
void HoldMountedWeapon(EntityHandle vehicle);
// OnSelect of the delete row: removes the last confirmed object, if there is one and it is not
// the object being placed.
void DeleteLastSpawned();
// Leaves whatever placement the script function was in before it was started again: the
// player's controls are given back when an object was held, and the record is as right after
// load, its handles forgotten.
void ForgetPlacement();
