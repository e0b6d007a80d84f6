// Fuzz target: any bytes as "Holdout.ini", all in memory. The bytes go through the profile
// reader directly (a setting of the table the input picks, whole and cut to a size it picks) and
// then through the plug-in's settings reader, with a profile source that reads the bytes instead of
// a file. Besides what the sanitizers catch, it checks what the rest of the plug-in relies on:
// the enemy limit within 10..512, every position finite and either its default or a usable
// value, every string zero-terminated within its buffer with its length returned, a cut copy
// the start of the whole one, and nothing written past the size given.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "profile/profile_reader.h"
#include "profile/profile_text.h"
#include "settings/settings_schema.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void Check(bool holds, const char* what) {
  if (!holds) {
    Fail(what);
  }
}

constexpr char kGuard = '\x5A';  // fills the bytes past the size a read is given
constexpr std::size_t kGuardBytes = 8;

// One read into a buffer of `size` bytes followed by guard bytes; checks the copy is terminated
// at the length returned and nothing past `size` was written. Returns the copy.
std::string ReadCut(const std::optional<std::string>& text, const SettingDescription& setting,
                    std::uint32_t size) {
  std::vector<char> buffer(size + kGuardBytes, kGuard);
  const std::uint32_t length =
      profile::GetString(text, setting.section, setting.key, "", buffer.data(), size);
  Check(length < size, "the copied length leaves room for the terminator");
  Check(buffer[length] == '\0', "the copied text is terminated at its length");
  Check(std::all_of(buffer.begin() + size, buffer.end(), [](char c) { return c == kGuard; }),
        "nothing is written past the size given");
  return std::string(buffer.data(), length);
}

// One setting of the table read whole, then cut to a size from 1 to two past the whole length; the
// input's last two bytes pick the setting and the size. The cut copy is the whole copy's start.
void CheckReader(const std::optional<std::string>& text, std::uint8_t keyPick,
                 std::uint8_t sizePick) {
  const SettingDescription& setting = SettingsSchema()[keyPick % SettingsSchema().size()];
  const std::optional<std::string> value =
      profile::FindValue(*text, setting.section, setting.key);
  const std::string whole = ReadCut(text, setting, static_cast<std::uint32_t>(text->size()) + 1);
  Check(value.has_value() || whole.empty(), "an absent key copies the empty default");
  const std::uint32_t size = 1u + sizePick % (static_cast<std::uint32_t>(whole.size()) + 2);
  const std::string cut = ReadCut(text, setting, size);
  Check(cut == whole.substr(0, size - 1), "a cut copy is the start of the whole one");
}

bool SameVector(const Vector3& a, const Vector3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

void CheckPosition(const Vector3& position, const Vector3& byDefault) {
  Check(std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z),
        "positions are finite");
  Check(SameVector(position, byDefault) || position.x != 0.0f || position.y != 0.0f ||
            position.z != 0.0f,
        "the origin is never configured");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<std::string> text = std::string(reinterpret_cast<const char*>(data), size);
  CheckReader(text, size > 1 ? data[size - 2] : 0, size > 0 ? data[size - 1] : 0);

  // The bytes as a position value, whole and cut as the settings buffer cuts it.
  const Vector3 before{7.0f, 8.0f, 9.0f};
  for (const std::size_t cut : {text->size(), std::size_t{kPositionBufferSize - 1}}) {
    const std::string value = text->substr(0, cut);
    const PositionReading reading = ReadPosition(value.c_str());
    Check(reading.componentsRead >= 0 && reading.componentsRead <= 3,
          "a position reads 0 to 3 components");
    Vector3 position = before;
    const bool taken = ParsePosition(value.c_str(), position);
    Check(taken == IsUsable(reading.verdict), "a position is taken exactly when it is usable");
    if (!taken) {
      Check(SameVector(position, before), "a refused position leaves the field unchanged");
    }
    CheckPosition(position, before);
  }

  const Settings defaults = DefaultSettings();
  Settings record = defaults;
  ReadSettings(profile::ProfileText(text), record);
  Check(record.MaxEnemies >= kMinEnemies && record.MaxEnemies <= kEnemySlotCapacity,
        "the enemy limit lies within 10..512");
  CheckPosition(record.PlayerStartingPosition, defaults.PlayerStartingPosition);
  CheckPosition(record.EnemySpawnPositions[0], defaults.EnemySpawnPositions[0]);
  CheckPosition(record.EnemySpawnPositions[1], defaults.EnemySpawnPositions[1]);
  return 0;
}
