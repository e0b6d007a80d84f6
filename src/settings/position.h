// A position value of the settings file: three numbers in braces, "{x,y,z}". Reading one, and
// writing one in the form the debug position capture puts in the log and check-ini shows.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/game_types.h"

// Bytes a position value is read into: its first 51 characters and the terminating zero.
constexpr std::uint32_t kPositionBufferSize = 52;

// How a position text read, and why an unusable one is refused.
enum class PositionVerdict {
  kUsed,         // all three components read
  kPartlyRead,   // the first one or two read; the others are 0
  kNothingRead,  // not even the first component: the text does not read as {x,y,z}
  kNotFinite,    // a component is not a finite number
  kOrigin,       // every component is 0: the origin cannot be configured
};

// What a position text gives.
struct PositionReading {
  PositionVerdict verdict = PositionVerdict::kNothingRead;
  int componentsRead = 0;  // 0 to 3
  Vector3 value{};         // the components, the unread ones 0
};

// True for the verdicts whose value replaces the setting.
constexpr bool IsUsable(PositionVerdict verdict) {
  return verdict == PositionVerdict::kUsed || verdict == PositionVerdict::kPartlyRead;
}

// Reads a position written as "{x,y,z}" and says whether it is usable, and if not, why.
PositionReading ReadPosition(const char* text);

// Reads a position into `position` when it is usable; false, leaving it unchanged, otherwise.
bool ParsePosition(const char* text, Vector3& position);

// `position` as "{x,y,z}" with five decimals, however large the coordinates.
std::string FormatPosition(const Vector3& position);
