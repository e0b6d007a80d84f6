// System facts on Linux: a Windows game here runs through Wine, which chooses the drive letter
// the game sees its folder under, and whose temp folder, local application data and system
// libraries are in its own prefix: the folder WINEPREFIX names, or ~/.wine when it names none, as
// Wine itself picks it.
#include "player/system_facts.h"

#include <cstdlib>

bool GamesRunThroughWine() {
  return true;
}

std::optional<SettingsCopyFacts> SettingsReadThroughCopy(const std::filesystem::path&) {
  return std::nullopt;
}

SystemFolder SystemLibraryFolder() {
  const char* named = std::getenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  std::filesystem::path prefix;
  if (named != nullptr && *named != '\0') {
    prefix = named;
  } else if (home != nullptr && *home != '\0') {
    prefix = std::filesystem::path(home) / ".wine";
  } else {
    return {.path = std::nullopt, .whyNone = "neither WINEPREFIX nor HOME names a Wine prefix"};
  }
  const std::filesystem::path folder = prefix / "drive_c" / "windows" / "system32";
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    return {.path = std::nullopt,
            .whyNone = "there is no Wine prefix with a system folder at " + folder.string() +
                       " (set WINEPREFIX to the game's prefix, or run holdout.exe doctor through "
                       "Wine)"};
  }
  return {.path = folder, .whyNone = ""};
}

std::optional<WorkingFolderElsewhere> WorkingFolderInstead(const std::filesystem::path&) {
  return std::nullopt;
}

LogFallback LogFallbackPlace() {
  return {.shown = "%LOCALAPPDATA%\\Holdout\\Holdout.log (in Wine's prefix, "
                   "drive_c/users/<you>/AppData/Local/Holdout/Holdout.log)",
          .localAppData = std::nullopt};
}
