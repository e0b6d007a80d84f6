// Mounted weapons and delete-last (being built: the rows' selections are in place).
#include "spawner/menu.h"

void MenuItemMountedWeapon::OnSelect() {}

void MenuDeleteLastSpawnedObject::OnSelect() {}
