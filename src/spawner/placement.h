// Object placement: a spawned object held 4 m out in the view direction, turned with the rotate
// keys and set down with the confirm key; or cancelled, deleting it. The player's controls are
// taken away while an object is held and given back however the placement ends.
#pragma once

#include <cstdint>

class MenuItemStaticCover;

// The one object being placed, its heading, and the last object set down.
struct PlacementState {
  std::uint32_t placingObject = 0;      // the object being placed; 0 = none
  std::int32_t placingHeading = 0;      // whole degrees, not wrapped
  std::uint32_t lastSpawnedObject = 0;  // the last confirmed object; 0 = none
};

// OnSelect of a static object row: spawns the row's model and begins placing it; shows the
// row's failure banner when the model cannot be loaded or the object is not created.
void BeginStaticPlacement(MenuItemStaticCover& item);
// Per frame while no menu is open: rotate, confirm, and hold the object in front of the player.
void UpdatePlacement();
// Ends a placement, keeping the object.
void ConfirmPlacement();
// Ends a placement, deleting the object.
void CancelPlacement();
// Begins placing a mounted weapon just created: the player's controls are taken away and the
// weapon keeps the heading of the previous placement.
void HoldMountedWeapon(std::uint32_t vehicle);
// OnSelect of the delete row: removes the last confirmed object, if there is one.
void DeleteLastSpawned();
