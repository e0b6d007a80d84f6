// The settings table and the one reader that walks it.
#include "settings/settings_schema.h"

#include <algorithm>
#include <array>

namespace {

constexpr SettingDescription Flag(const char* section, const char* key, std::int32_t defaultValue,
                                  bool Settings::*field) {
  return {.section = section,
          .key = key,
          .kind = SettingKind::kFlag,
          .defaultValue = defaultValue,
          .flag = field};
}

constexpr SettingDescription Count(const char* section, const char* key, std::int32_t defaultValue,
                                   std::int32_t minimum, std::int32_t maximum,
                                   std::int32_t Settings::*field) {
  return {.section = section,
          .key = key,
          .kind = SettingKind::kCount,
          .defaultValue = defaultValue,
          .minimum = minimum,
          .maximum = maximum,
          .count = field};
}

constexpr SettingDescription KeyCode(const char* key, std::int32_t defaultValue,
                                     std::uint32_t Settings::*field) {
  return {.section = "KeyBinds",
          .key = key,
          .kind = SettingKind::kKeyCode,
          .defaultValue = defaultValue,
          .keyCode = field};
}

// A key binding that picks a menu row.
constexpr SettingDescription SelectKey(const char* key, std::int32_t defaultValue,
                                       std::uint32_t Settings::*field) {
  SettingDescription setting = KeyCode(key, defaultValue, field);
  setting.menuSelect = true;
  return setting;
}

constexpr SettingDescription Position(const char* key, Vector3 defaultPosition,
                                      Vector3& (*field)(Settings&)) {
  return {.section = "Positions",
          .key = key,
          .kind = SettingKind::kPosition,
          .defaultPosition = defaultPosition,
          .position = field};
}

constexpr std::array kSchema = {
    Flag("Main", "Debug", 0, &Settings::Debug),
    Count("Main", "MaxEnemies", 70, kMinEnemies, kEnemySlotCapacity, &Settings::MaxEnemies),
    KeyCode("ActivateMod", 0x72, &Settings::ActivateMod),                  // F3
    KeyCode("RotateObject", 0x51, &Settings::RotateObject),                // Q
    KeyCode("ConfirmObject", 0x45, &Settings::ConfirmObject),              // E
    KeyCode("ReverseRotateObject", 0x10, &Settings::ReverseRotateObject),  // Shift
    KeyCode("SpawnerMenu", 0x43, &Settings::SpawnerMenu),                  // C
    SelectKey("MenuSelectOne", 0x31, &Settings::MenuSelectOne),            // the digits 1 to 9
    SelectKey("MenuSelectTwo", 0x32, &Settings::MenuSelectTwo),
    SelectKey("MenuSelectThree", 0x33, &Settings::MenuSelectThree),
    SelectKey("MenuSelectFour", 0x34, &Settings::MenuSelectFour),
    SelectKey("MenuSelectFive", 0x35, &Settings::MenuSelectFive),
    SelectKey("MenuSelectSix", 0x36, &Settings::MenuSelectSix),
    SelectKey("MenuSelectSeven", 0x37, &Settings::MenuSelectSeven),
    SelectKey("MenuSelectEight", 0x38, &Settings::MenuSelectEight),
    SelectKey("MenuSelectNine", 0x39, &Settings::MenuSelectNine),
    Position("PlayerStartingPosition", {2726.1582f, -1067.7278f, 47.4046f},
             [](Settings& record) -> Vector3& { return record.PlayerStartingPosition; }),
    Position("EnemySpawnPosition1", {2663.5693f, -1065.5358f, 46.90191f},
             [](Settings& record) -> Vector3& { return record.EnemySpawnPositions[0]; }),
    Position("EnemySpawnPosition2", {2668.326f, -1081.577f, 47.50891f},
             [](Settings& record) -> Vector3& { return record.EnemySpawnPositions[1]; }),
};

// Where the menu select keys start in the table.
constexpr std::size_t FirstMenuSelect() {
  std::size_t first = 0;
  while (first < kSchema.size() && !kSchema[first].menuSelect) {
    ++first;
  }
  return first;
}

// True when the table holds exactly kMenuSelectKeyCount select keys, one after the other.
constexpr bool MenuSelectKeysAreOneRun() {
  std::size_t count = 0;
  for (const SettingDescription& setting : kSchema) {
    count += setting.menuSelect ? 1 : 0;
  }
  const std::size_t first = FirstMenuSelect();
  if (count != kMenuSelectKeyCount || first + count > kSchema.size()) {
    return false;
  }
  for (std::size_t i = first; i < first + count; ++i) {
    if (!kSchema[i].menuSelect || kSchema[i].kind != SettingKind::kKeyCode) {
      return false;
    }
  }
  return true;
}
static_assert(MenuSelectKeysAreOneRun(), "the table lists the menu select keys together");

// True when every count's default lies within its range: the default is stored unclamped.
constexpr bool CountDefaultsInRange() {
  for (const SettingDescription& setting : kSchema) {
    if (setting.kind == SettingKind::kCount &&
        (setting.defaultValue < setting.minimum || setting.defaultValue > setting.maximum)) {
      return false;
    }
  }
  return true;
}
static_assert(CountDefaultsInRange(), "a count's default lies within its range");

}  // namespace

std::span<const SettingDescription> SettingsSchema() {
  return kSchema;
}

std::span<const SettingDescription, kMenuSelectKeyCount> MenuSelectSettings() {
  return std::span<const SettingDescription, kMenuSelectKeyCount>(
      kSchema.data() + FirstMenuSelect(), kMenuSelectKeyCount);
}

Settings DefaultSettings() {
  Settings record;
  for (const SettingDescription& setting : kSchema) {
    switch (setting.kind) {
      case SettingKind::kFlag:
        record.*setting.flag = setting.defaultValue != 0;
        break;
      case SettingKind::kCount:
        record.*setting.count = setting.defaultValue;
        break;
      case SettingKind::kKeyCode:
        record.*setting.keyCode = static_cast<std::uint32_t>(setting.defaultValue);
        break;
      case SettingKind::kPosition:
        setting.position(record) = setting.defaultPosition;
        break;
    }
  }
  return record;
}

std::array<std::uint32_t, kMenuSelectKeyCount> MenuSelectKeys(const Settings& record) {
  std::array<std::uint32_t, kMenuSelectKeyCount> keys{};
  for (std::size_t row = 0; row < kMenuSelectKeyCount; ++row) {
    keys[row] = record.*MenuSelectSettings()[row].keyCode;
  }
  return keys;
}

SettingReading ReadSetting(const SettingDescription& setting, const ProfileSource& source,
                           Settings& record) {
  SettingReading reading;
  switch (setting.kind) {
    case SettingKind::kFlag:
      reading.integer = source.GetInt(setting.section, setting.key, setting.defaultValue);
      record.*setting.flag = reading.integer != 0;
      break;
    case SettingKind::kCount:
      reading.integer = source.GetInt(setting.section, setting.key, setting.defaultValue);
      record.*setting.count = std::min(
          std::max(static_cast<std::int32_t>(reading.integer), setting.minimum), setting.maximum);
      break;
    case SettingKind::kKeyCode:
      reading.integer = source.GetInt(setting.section, setting.key, setting.defaultValue);
      record.*setting.keyCode = reading.integer;
      break;
    case SettingKind::kPosition: {
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
