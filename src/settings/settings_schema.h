// Every setting described once, in the order the settings file is read: its section and key,
// its kind, its default, a count's range, and the field it lands in. The plug-in's loader,
// check-ini, doctor and the tests all read this one table, so that they cannot disagree about a
// setting; no other place holds a default.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/position.h"
#include "settings/profile_source.h"
#include "settings/settings_record.h"

// What a setting holds, and so how its value is read.
enum class SettingKind {
  kFlag,      // an integer; on when not 0
  kCount,     // an integer, clamped to [minimum, maximum]
  kKeyCode,   // an integer virtual-key code, stored unchanged
  kPosition,  // "{x,y,z}", taken only when it reads as a usable position
};

// How many menu select keys the settings bind: one for each row a menu lets the player pick.
constexpr std::size_t kMenuSelectKeyCount = 9;

// One setting: one read of the settings file. Only the field of the setting's kind is set.
struct SettingDescription {
  const char* section = nullptr;                     // the INI section
  const char* key = nullptr;                         // the INI key
  SettingKind kind = SettingKind::kFlag;             // how the value is read
  std::int32_t defaultValue = 0;                     // given to the integer reader (not positions)
  Vector3 defaultPosition = {};                      // a position's default
  std::int32_t minimum = 0;                          // a count's lowest value
  std::int32_t maximum = 0;                          // a count's highest value
  bool Settings::*flag = nullptr;                    // where a flag lands
  std::int32_t Settings::*count = nullptr;           // where a count lands
  std::uint32_t Settings::*keyCode = nullptr;        // where a key code lands
  Vector3& (*position)(Settings& record) = nullptr;  // where a usable position from the file lands
  bool menuSelect = false;  // a menu select key; the table lists them together, in row order
};

// The settings, in the order they are read.
std::span<const SettingDescription> SettingsSchema();

// The menu select keys' settings, row 1's first.
std::span<const SettingDescription, kMenuSelectKeyCount> MenuSelectSettings();

// Every setting at its default, as a file that gives none leaves the record. The loader starts
// from it, and the plug-in's record holds it until the first load.
Settings DefaultSettings();

// The menu select keys `record` binds, row 1's first.
std::array<std::uint32_t, kMenuSelectKeyCount> MenuSelectKeys(const Settings& record);

// What one read found, besides what it stored.
struct SettingReading {
  std::uint32_t integer = 0;  // a flag's, count's or key code's integer, before any clamp
  PositionReading position;   // how a position's text read (no text: NothingRead)
};

// Performs the setting's one read from `source` and stores the outcome in `record`.
SettingReading ReadSetting(const SettingDescription& setting, const ProfileSource& source,
                           Settings& record);

// Reads every setting from `source` into `record`, in the table's order.
void ReadSettings(const ProfileSource& source, Settings& record);

// Whether an integer setting's text gives a number: after white space and a sign, a decimal
// digit. Any other text reads as 0.
bool ReadsAsNumber(std::string_view text);
