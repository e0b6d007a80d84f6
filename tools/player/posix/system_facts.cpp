// System facts on Linux: a Windows game here runs through Wine, which chooses the drive letter
// the game sees its folder under, and whose temp folder is in its own prefix.
#include "player/system_facts.h"

bool GamesRunThroughWine() {
  return true;
}

std::optional<SettingsCopyFacts> SettingsReadThroughCopy(const std::filesystem::path&) {
  return std::nullopt;
}
