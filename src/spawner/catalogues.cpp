// The explosives and cover catalogues and the three spawner menus built from them.
#include "spawner/catalogues.h"

#include <string>

#include "runtime/screen.h"

namespace {

constexpr CatalogueEntry kExplosivesCatalogue[6] = {
    {0x8B664AFD, "SMALL EXPLOSIVE"},  {0xF6B3A3D6, "MEDIUM EXPLOSIVES"},
    {0xAFBFABC1, "LARGE EXPLOSIVES"}, {0xBBFB0174, "EXPLOSIVE BARREL"},
    {0x4451BFF5, "EXPLOSIVE CRATE"},  {0x1308875C, "LANTERN"},
};

constexpr CatalogueEntry kCoverCatalogue[6] = {
    {0xF2E5ABA3, "WOODEN CRATES"},  {0xCE64BCDA, "LARGE WOODEN CRATES"},
    {0x7B62BB78, "WOODEN CRATE"},   {0xC9C22C59, "SANDBAG"},
    {0x47DC58FB, "WOODEN BARRELS"}, {0xC508E5EA, "LARGE WAGON"},
};

// A menu with its title, attached to the banner, with no rows yet.
std::unique_ptr<Menu> StartMenu(const char* title) {
  auto menu = std::make_unique<Menu>();
  menu->title = std::make_unique<MenuItemTitle>(title);
  AttachMenu(*notification, *menu);
  return menu;
}

std::string RowCaption(int number, const char* label) {
  return std::to_string(number) + ": " + label;
}

void AddCatalogueRows(Menu& menu, const CatalogueEntry (&catalogue)[6]) {
  for (int row = 0; row < 6; ++row) {
    AddItem(menu, new MenuItemStaticCover(catalogue[row].modelHash,
                                          RowCaption(row + 1, catalogue[row].label)));
  }
}

}  // namespace

std::unique_ptr<Menu> BuildExplosivesMenu() {
  std::unique_ptr<Menu> menu = StartMenu(kExplosivesTitle);
  AddCatalogueRows(*menu, kExplosivesCatalogue);
  AddItem(*menu, new MenuDeleteLastSpawnedObject(RowCaption(7, "> DEL LAST SPAWNED")));
  return menu;
}

std::unique_ptr<Menu> BuildCoverMenu() {
  std::unique_ptr<Menu> menu = StartMenu(kCoverTitle);
  AddCatalogueRows(*menu, kCoverCatalogue);
  return menu;
}

std::unique_ptr<Menu> BuildMountedWeaponsMenu() {
  std::unique_ptr<Menu> menu = StartMenu(kMountedWeaponsTitle);
  AddItem(*menu, new MenuItemMountedWeapon("gatling_gun", "1. GATLING GUN"));
  AddItem(*menu, new MenuItemMountedWeapon("gatlingMaxim02", "2. GATLING GUN MAXIM"));
  AddItem(*menu, new MenuItemMountedWeapon("hotchkiss_cannon", "3. HITCHKISS CANNON"));
  AddItem(*menu, new MenuItemMountedWeapon("breach_cannon", "4. BREACH CANNON"));
  return menu;
}
