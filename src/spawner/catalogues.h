// The spawner's catalogues and the builders of its three menus.
#pragma once

#include <cstdint>
#include <memory>

#include "spawner/menu.h"

struct CatalogueEntry {
  std::uint32_t modelHash;
  const char* label;
};

std::unique_ptr<Menu> BuildExplosivesMenu();
std::unique_ptr<Menu> BuildCoverMenu();
std::unique_ptr<Menu> BuildMountedWeaponsMenu();
