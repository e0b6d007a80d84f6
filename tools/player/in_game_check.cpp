// The key is read with the plug-in's settings reader and named from the key table; the menu's
// title comes from the spawner's one list of menus.
#include "player/in_game_check.h"

#include "player/key_names.h"
#include "profile/profile_text.h"
#include "settings/settings_schema.h"
#include "spawner/catalogues.h"

std::string InGameCheck(const std::optional<std::string>& settingsText) {
  Settings record = DefaultSettings();
  ReadSettings(profile::ProfileText(settingsText), record);
  return "press " + KeyName(record.SpawnerMenu) + ", and the " + kSpawnerMenus.front().title +
         " menu appears";
}
