// The settings: every tunable value of the plug-in, read once from "Holdout.ini" in the host
// executable's directory when the script starts, then only read. Fields are named by their INI
// keys; key bindings are Windows virtual-key codes.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/native.h"
#include "settings/position.h"

struct Settings {
  bool Debug = false;                     // [Main] Debug: activation key ends runs, F2 captures
  std::int32_t MaxEnemies = 70;           // [Main] MaxEnemies, clamped to 10..512
  std::uint32_t ActivateMod = 0;          // [KeyBinds] default 0x72 (F3)
  std::uint32_t RotateObject = 0;         // default 0x51 (Q)
  std::uint32_t ReverseRotateObject = 0;  // default 0x10 (Shift)
  std::uint32_t ConfirmObject = 0;        // default 0x45 (E)
  std::uint32_t SpawnerMenu = 0;          // default 0x43 (C)
  std::uint32_t MenuSelectOne = 0;        // defaults 0x31..0x39 (digits 1..9)
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

constexpr std::int32_t MinEnemies = 10;
constexpr std::int32_t EnemySlotCapacity = 512;

// The process-wide settings record.
extern Settings settings;

// Full path of "Holdout.ini" in the host executable's directory.
std::string GetIniPath();

// Reads every setting from the file into `settings`; absent values take their defaults.
void LoadSettings();

// The two profile functions settings are read with, taking the Win32 functions' arguments.
struct ProfileFunctions {
  UINT(WINAPI* getInt)(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
  DWORD(WINAPI* getString)
  (LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size, LPCSTR fileName);
};

// LoadSettings with the given profile functions and file path: the same reads, in its order.
void LoadSettingsWith(const ProfileFunctions& profile, const std::string& path);
