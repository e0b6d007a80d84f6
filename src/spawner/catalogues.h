// The spawner's catalogues and the builders of its three menus.
#pragma once

#include <cstdint>
#include <memory>

#include "spawner/menu.h"

// One catalogue row: the model it creates and the label it shows.
struct CatalogueEntry {
  std::uint32_t modelHash;
  const char* label;
};

// "EXPLOSIVES": six static rows and the delete row, attached to the banner.
std::unique_ptr<Menu> BuildExplosivesMenu();
// "COVER": six static rows, attached to the banner.
std::unique_ptr<Menu> BuildCoverMenu();
// "MOUNTED WEAPONS": four weapon rows, attached to the banner.
std::unique_ptr<Menu> BuildMountedWeaponsMenu();
