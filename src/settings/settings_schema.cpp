// The settings table and the one reader that walks it.
#include "settings/settings_schema.h"

#include <algorithm>
#include <array>

namespace {

constexpr SettingDescription Flag(const char* section, const char* key, std::int32_t defaultValue,
                                  bool Settings::*field) {
  return {section, key, SettingKind::Flag, defaultValue, 0, 0, field, nullptr, nullptr, nullptr};
}

constexpr SettingDescription Count(const char* section, const char* key, std::int32_t defaultValue,
                                   std::int32_t minimum, std::int32_t maximum,
                                   std::int32_t Settings::*field) {
  return {section, key,    SettingKind::Count, defaultValue, minimum, maximum, nullptr, field,
          nullptr, nullptr};
}

constexpr SettingDescription KeyCode(const char* key, std::int32_t defaultValue,
                                     std::uint32_t Settings::*field) {
  return {"KeyBinds", key,    SettingKind::KeyCode, defaultValue, 0, 0, nullptr, nullptr,
          field,      nullptr};
}

constexpr SettingDescription Position(const char* key, Vector3& (*field)(Settings&)) {
  return {"Positions", key, SettingKind::Position, 0, 0, 0, nullptr, nullptr, nullptr, field};
}

constexpr std::array kSchema = {
    Flag("Main", "Debug", 0, &Settings::Debug),
    Count("Main", "MaxEnemies", kDefaultMaxEnemies, kMinEnemies, kEnemySlotCapacity,
          &Settings::MaxEnemies),
    KeyCode("ActivateMod", 0x72, &Settings::ActivateMod),                  // F3
    KeyCode("RotateObject", 0x51, &Settings::RotateObject),                // Q
    KeyCode("ConfirmObject", 0x45, &Settings::ConfirmObject),              // E
    KeyCode("ReverseRotateObject", 0x10, &Settings::ReverseRotateObject),  // Shift
    KeyCode("SpawnerMenu", 0x43, &Settings::SpawnerMenu),                  // C
    KeyCode("MenuSelectOne", 0x31, &Settings::MenuSelectOne),              // the digits 1 to 9
    KeyCode("MenuSelectTwo", 0x32, &Settings::MenuSelectTwo),
    KeyCode("MenuSelectThree", 0x33, &Settings::MenuSelectThree),
    KeyCode("MenuSelectFour", 0x34, &Settings::MenuSelectFour),
    KeyCode("MenuSelectFive", 0x35, &Settings::MenuSelectFive),
    KeyCode("MenuSelectSix", 0x36, &Settings::MenuSelectSix),
    KeyCode("MenuSelectSeven", 0x37, &Settings::MenuSelectSeven),
    KeyCode("MenuSelectEight", 0x38, &Settings::MenuSelectEight),
    KeyCode("MenuSelectNine", 0x39, &Settings::MenuSelectNine),
    Position("PlayerStartingPosition",
             [](Settings& record) -> Vector3& { return record.PlayerStartingPosition; }),
    Position("EnemySpawnPosition1",
             [](Settings& record) -> Vector3& { return record.EnemySpawnPositions[0]; }),
    Position("EnemySpawnPosition2",
             [](Settings& record) -> Vector3& { return record.EnemySpawnPositions[1]; }),
};

}  // namespace

std::span<const SettingDescription> SettingsSchema() {
  return kSchema;
}

SettingReading ReadSetting(const SettingDescription& setting, const ProfileSource& source,
                           Settings& record) {
  SettingReading reading;
  switch (setting.kind) {
    case SettingKind::Flag:
      reading.integer = source.GetInt(setting.section, setting.key, setting.defaultValue);
      record.*setting.flag = reading.integer != 0;
      break;
    case SettingKind::Count:
      reading.integer = source.GetInt(setting.section, setting.key, setting.defaultValue);
      record.*setting.count = std::min(
          std::max(static_cast<std::int32_t>(reading.integer), setting.minimum), setting.maximum);
      break;
    case SettingKind::KeyCode:
      reading.integer = source.GetInt(setting.section, setting.key, setting.defaultValue);
      record.*setting.keyCode = reading.integer;
      break;
    case SettingKind::Position: {
      char buffer[kPositionBufferSize] = {};
      if (source.GetString(setting.section, setting.key, buffer, sizeof buffer) != 0) {
        reading.position = ReadPosition(buffer);
        if (IsUsable(reading.position.verdict)) {
          setting.position(record) = reading.position.value;
        }
      }
      break;
    }
  }
  return reading;
}

void ReadSettings(const ProfileSource& source, Settings& record) {
  for (const SettingDescription& setting : kSchema) {
    ReadSetting(setting, source, record);
  }
}

bool ReadsAsNumber(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n\v\f");
  if (start == std::string_view::npos) {
    return false;
  }
  std::size_t digit = start;
  if (text[digit] == '+' || text[digit] == '-') {
    ++digit;
  }
  return digit < text.size() && text[digit] >= '0' && text[digit] <= '9';
}
