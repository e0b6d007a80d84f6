// The settings: every tunable value of the plug-in, read once from "Holdout.ini" in the host
// executable's directory when the script starts, then only read. Fields are named by their INI
// keys; key bindings are Windows virtual-key codes. What each setting defaults to, and how it is
// read, is described in settings/settings_schema.h.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/game_types.h"

constexpr std::int32_t kDefaultMaxEnemies = 70;
constexpr std::int32_t kMinEnemies = 10;
constexpr std::int32_t kEnemySlotCapacity = 512;

// Until the settings are loaded, the key codes are 0 and Debug is off; MaxEnemies and the
// positions hold their defaults from the start.
// The fields are named exactly as their INI keys, not by the rule for fields.
// NOLINTBEGIN(readability-identifier-naming)
struct Settings {
  bool Debug = false;                            // [Main] Debug
  std::int32_t MaxEnemies = kDefaultMaxEnemies;  // [Main] MaxEnemies
  std::uint32_t ActivateMod = 0;                 // [KeyBinds] ActivateMod
  std::uint32_t RotateObject = 0;                // [KeyBinds] RotateObject
  std::uint32_t ReverseRotateObject = 0;         // [KeyBinds] ReverseRotateObject
  std::uint32_t ConfirmObject = 0;               // [KeyBinds] ConfirmObject
  std::uint32_t SpawnerMenu = 0;                 // [KeyBinds] SpawnerMenu
  std::uint32_t MenuSelectOne = 0;               // [KeyBinds] MenuSelectOne .. MenuSelectNine
  std::uint32_t MenuSelectTwo = 0;
  std::uint32_t MenuSelectThree = 0;
  std::uint32_t MenuSelectFour = 0;
  std::uint32_t MenuSelectFive = 0;
  std::uint32_t MenuSelectSix = 0;
  std::uint32_t MenuSelectSeven = 0;
  std::uint32_t MenuSelectEight = 0;
  std::uint32_t MenuSelectNine = 0;
  // [Positions] PlayerStartingPosition: where runs take place.
  Vector3 PlayerStartingPosition{2726.1582f, -1067.7278f, 47.4046f};
  // [Positions] EnemySpawnPosition1 and EnemySpawnPosition2: where enemies appear.
  Vector3 EnemySpawnPositions[2] = {{2663.5693f, -1065.5358f, 46.90191f},
                                    {2668.326f, -1081.577f, 47.50891f}};
};
// NOLINTEND(readability-identifier-naming)

// The settings record: written once by LoadSettings as the frame loop sets up, then only read.
extern Settings settings;

// Full wide path of "Holdout.ini" in the host executable's directory.
std::u16string GetIniPath();

// Reads every setting from the file into `settings` with the Win32 profile functions; absent
// values take their defaults.
void LoadSettings();
