// Loading the settings file through the Win32 profile reader, or through any reader with its
// two functions (the settings fuzzer reads from memory).
#include "settings/settings.h"

#include <vector>

namespace {

std::uint32_t ReadKey(const ProfileFunctions& profile, const char* key, std::int32_t defaultValue,
                      const std::string& path) {
  return profile.getInt("KeyBinds", key, defaultValue, path.c_str());
}

void ReadPosition(const ProfileFunctions& profile, const char* key, Vector3& field,
                  const std::string& path) {
  char buffer[PositionBufferSize] = {};
  if (profile.getString("Positions", key, "", buffer, PositionBufferSize, path.c_str()) == 0) {
    return;
  }
  ParsePosition(buffer, field);
}

}  // namespace

std::string GetIniPath() {
  std::vector<char> buffer(64);
  DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  while (length == buffer.size()) {
    buffer.assign(buffer.size() * 2, '\0');
    length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  const std::string executable(buffer.data(), length);
  // The directory is everything up to the last separator. A name without one reads from the
  // working directory, spelled out because the profile reader looks a bare file name up in
  // the Windows directory.
  const std::size_t separator = executable.find_last_of("\\/");
  const std::string directory =
      separator == std::string::npos ? ".\\" : executable.substr(0, separator + 1);
  return directory + "Holdout.ini";
}

void LoadSettings() {
  LoadSettingsWith({&GetPrivateProfileIntA, &GetPrivateProfileStringA}, GetIniPath());
}

void LoadSettingsWith(const ProfileFunctions& profile, const std::string& path) {
  settings.Debug = profile.getInt("Main", "Debug", 0, path.c_str()) != 0;
  std::int32_t maxEnemies =
      static_cast<std::int32_t>(profile.getInt("Main", "MaxEnemies", 70, path.c_str()));
  if (maxEnemies < MinEnemies) {
    maxEnemies = MinEnemies;
  }
  if (maxEnemies > EnemySlotCapacity) {
    maxEnemies = EnemySlotCapacity;
  }
  settings.MaxEnemies = maxEnemies;
  settings.ActivateMod = ReadKey(profile, "ActivateMod", 114, path);
  settings.RotateObject = ReadKey(profile, "RotateObject", 81, path);
  settings.ConfirmObject = ReadKey(profile, "ConfirmObject", 69, path);
  settings.ReverseRotateObject = ReadKey(profile, "ReverseRotateObject", 16, path);
  settings.SpawnerMenu = ReadKey(profile, "SpawnerMenu", 67, path);
  settings.MenuSelectOne = ReadKey(profile, "MenuSelectOne", 49, path);
  settings.MenuSelectTwo = ReadKey(profile, "MenuSelectTwo", 50, path);
  settings.MenuSelectThree = ReadKey(profile, "MenuSelectThree", 51, path);
  settings.MenuSelectFour = ReadKey(profile, "MenuSelectFour", 52, path);
  settings.MenuSelectFive = ReadKey(profile, "MenuSelectFive", 53, path);
  settings.MenuSelectSix = ReadKey(profile, "MenuSelectSix", 54, path);
  settings.MenuSelectSeven = ReadKey(profile, "MenuSelectSeven", 55, path);
  settings.MenuSelectEight = ReadKey(profile, "MenuSelectEight", 56, path);
  settings.MenuSelectNine = ReadKey(profile, "MenuSelectNine", 57, path);
  ReadPosition(profile, "PlayerStartingPosition", settings.PlayerStartingPosition, path);
  ReadPosition(profile, "EnemySpawnPosition1", settings.EnemySpawnPositions[0], path);
  ReadPosition(profile, "EnemySpawnPosition2", settings.EnemySpawnPositions[1], path);
}
