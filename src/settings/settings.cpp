// Loading the settings file through the Win32 profile reader.
#include "settings/settings.h"

#include <vector>

Settings settings;

namespace {

std::uint32_t ReadKey(const char* key, std::int32_t defaultValue, const std::string& path) {
  return GetPrivateProfileIntA("KeyBinds", key, defaultValue, path.c_str());
}

void ReadPosition(const char* key, Vector3& field, const std::string& path) {
  char buffer[PositionBufferSize] = {};
  if (GetPrivateProfileStringA("Positions", key, "", buffer, PositionBufferSize, path.c_str()) ==
      0) {
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
  const std::string path = GetIniPath();
  settings.Debug = GetPrivateProfileIntA("Main", "Debug", 0, path.c_str()) != 0;
  std::int32_t maxEnemies =
      static_cast<std::int32_t>(GetPrivateProfileIntA("Main", "MaxEnemies", 70, path.c_str()));
  if (maxEnemies < MinEnemies) {
    maxEnemies = MinEnemies;
  }
  if (maxEnemies > EnemySlotCapacity) {
    maxEnemies = EnemySlotCapacity;
  }
  settings.MaxEnemies = maxEnemies;
  settings.ActivateMod = ReadKey("ActivateMod", 114, path);
  settings.RotateObject = ReadKey("RotateObject", 81, path);
  settings.ConfirmObject = ReadKey("ConfirmObject", 69, path);
  settings.ReverseRotateObject = ReadKey("ReverseRotateObject", 16, path);
  settings.SpawnerMenu = ReadKey("SpawnerMenu", 67, path);
  settings.MenuSelectOne = ReadKey("MenuSelectOne", 49, path);
  settings.MenuSelectTwo = ReadKey("MenuSelectTwo", 50, path);
  settings.MenuSelectThree = ReadKey("MenuSelectThree", 51, path);
  settings.MenuSelectFour = ReadKey("MenuSelectFour", 52, path);
  settings.MenuSelectFive = ReadKey("MenuSelectFive", 53, path);
  settings.MenuSelectSix = ReadKey("MenuSelectSix", 54, path);
  settings.MenuSelectSeven = ReadKey("MenuSelectSeven", 55, path);
  settings.MenuSelectEight = ReadKey("MenuSelectEight", 56, path);
  settings.MenuSelectNine = ReadKey("MenuSelectNine", 57, path);
  ReadPosition("PlayerStartingPosition", settings.PlayerStartingPosition, path);
  ReadPosition("EnemySpawnPosition1", settings.EnemySpawnPositions[0], path);
  ReadPosition("EnemySpawnPosition2", settings.EnemySpawnPositions[1], path);
}
