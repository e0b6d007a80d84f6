// Mounted weapons and delete-last. A mounted weapon is a vehicle in the game's terms: it is
// created at the world origin and handed to the same placement phase as a static object. The
// delete row removes the last object the player set down, whatever its kind.
#pragma once

#include <cstdint>
#include <string>

class MenuItemMountedWeapon;

// Loads the named model and creates the weapon at the origin; 0 when the model is not usable.
std::uint32_t SpawnMountedWeapon(std::string modelName);
// OnSelect of a mounted-weapon row: creates the row's weapon and begins placing it.
void BeginWeaponPlacement(MenuItemMountedWeapon& item);
