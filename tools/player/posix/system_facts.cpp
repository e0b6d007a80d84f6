// System facts on Linux: a Windows game here runs through Wine, which chooses the drive letter
// the game sees its folder under, and whose temp folder and local application data are in its
// own prefix.
#include "player/system_facts.h"

bool GamesRunThroughWine() {
  return true;
}

std::optional<SettingsCopyFacts> SettingsReadThroughCopy(const std::filesystem::path&) {
  return std::nullopt;
}

std::optional<WorkingFolderElsewhere> WorkingFolderInstead(const std::filesystem::path&) {
  return std::nullopt;
}

LogFallback LogFallbackPlace() {
  return {.shown = "%LOCALAPPDATA%\\Holdout\\Holdout.log (in Wine's prefix, "
                   "drive_c/users/<you>/AppData/Local/Holdout/Holdout.log)",
          .localAppData = std::nullopt};
}
