// The spawner's catalogues, the builders of its three menus, and the list of those menus.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "spawner/menu.h"

// One catalogue row: the model it creates and the label it shows.
struct CatalogueEntry {
  std::uint32_t modelHash;
  const char* label;
};

// The menus' titles.
inline constexpr const char* kExplosivesTitle = "EXPLOSIVES";
inline constexpr const char* kCoverTitle = "COVER";
inline constexpr const char* kMountedWeaponsTitle = "MOUNTED WEAPONS";

// kExplosivesTitle: six static rows and the delete row, attached to the banner.
std::unique_ptr<Menu> BuildExplosivesMenu();
// kCoverTitle: six static rows, attached to the banner.
std::unique_ptr<Menu> BuildCoverMenu();
// kMountedWeaponsTitle: four weapon rows, attached to the banner.
std::unique_ptr<Menu> BuildMountedWeaponsMenu();

// One spawner menu: its title and its builder.
struct SpawnerMenu {
  const char* title;
  std::unique_ptr<Menu> (*build)();
};

// The spawner's menus in the order the frame loop builds them and the spawner-menu key opens
// them (pages 1, 2, 3). The frame loop, its page count and the tools all read this one list.
inline constexpr std::array<SpawnerMenu, 3> kSpawnerMenus = {{
    {kExplosivesTitle, &BuildExplosivesMenu},
    {kCoverTitle, &BuildCoverMenu},
    {kMountedWeaponsTitle, &BuildMountedWeaponsMenu},
}};
