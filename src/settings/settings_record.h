// The settings record: every tunable value of the plug-in, fields named by their INI keys; key
// bindings are Windows virtual-key codes. The loader (settings.h) owns the plug-in's record and
// the settings table (settings_schema.h) describes how each field is read and what it defaults
// to; both, and every reader, see the record through this header alone, so that neither needs
// the other's operations to see it.
#pragma once

#include <cstdint>

#include "runtime/game_types.h"

// The enemy limit's range: at least 10, at most as many as the run's enemy slot table holds.
constexpr std::int32_t kMinEnemies = 10;
constexpr std::int32_t kEnemySlotCapacity = 512;

// A record made as Settings{} holds zeros; DefaultSettings() (settings_schema.h) gives the record
// with every default.
// The fields are named exactly as their INI keys, not by the rule for fields.
// NOLINTBEGIN(readability-identifier-naming)
struct Settings {
  bool Debug = false;                     // [Main] Debug
  std::int32_t MaxEnemies = 0;            // [Main] MaxEnemies
  std::uint32_t ActivateMod = 0;          // [KeyBinds] ActivateMod
  std::uint32_t RotateObject = 0;         // [KeyBinds] RotateObject
  std::uint32_t ReverseRotateObject = 0;  // [KeyBinds] ReverseRotateObject
  std::uint32_t ConfirmObject = 0;        // [KeyBinds] ConfirmObject
  std::uint32_t SpawnerMenu = 0;          // [KeyBinds] SpawnerMenu
  std::uint32_t MenuSelectOne = 0;        // [KeyBinds] MenuSelectOne .. MenuSelectNine
  std::uint32_t MenuSelectTwo = 0;
  std::uint32_t MenuSelectThree = 0;
  std::uint32_t MenuSelectFour = 0;
  std::uint32_t MenuSelectFive = 0;
  std::uint32_t MenuSelectSix = 0;
  std::uint32_t MenuSelectSeven = 0;
  std::uint32_t MenuSelectEight = 0;
  std::uint32_t MenuSelectNine = 0;
  // [Positions] PlayerStartingPosition: where runs take place.
  Vector3 PlayerStartingPosition;
  // [Positions] EnemySpawnPosition1 and EnemySpawnPosition2: where enemies appear.
  Vector3 EnemySpawnPositions[2];
};
// NOLINTEND(readability-identifier-naming)
