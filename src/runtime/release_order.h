// The keys a frame tests for a release, in the order it tests them. A release test consumes the
// release, so when two actions share a key, the earlier one in this order gets the release and the
// later one never sees it. The frame loop tests in this order; check-ini names the winner from it.
#pragma once

#include <cstdint>

#include "settings/settings.h"

// F2: with Debug on, writes the player's position to the log.
constexpr std::uint32_t kPositionCaptureKey = 0x71;

// One release test of a frame: a key binding of the settings, or the fixed capture key.
struct ReleaseTest {
  const char* action;                // the binding's settings key, or what the fixed key does
  std::uint32_t Settings::*binding;  // null for the fixed key
  std::uint32_t fixedKey;            // the fixed key's code
};

// The release tests of a frame, first to last.
inline constexpr ReleaseTest kReleaseOrder[] = {
    {"ActivateMod", &Settings::ActivateMod, 0},
    {"SpawnerMenu", &Settings::SpawnerMenu, 0},
    {"MenuSelectOne", &Settings::MenuSelectOne, 0},
    {"MenuSelectTwo", &Settings::MenuSelectTwo, 0},
    {"MenuSelectThree", &Settings::MenuSelectThree, 0},
    {"MenuSelectFour", &Settings::MenuSelectFour, 0},
    {"MenuSelectFive", &Settings::MenuSelectFive, 0},
    {"MenuSelectSix", &Settings::MenuSelectSix, 0},
    {"MenuSelectSeven", &Settings::MenuSelectSeven, 0},
    {"MenuSelectEight", &Settings::MenuSelectEight, 0},
    {"MenuSelectNine", &Settings::MenuSelectNine, 0},
    {"position capture (F2)", nullptr, kPositionCaptureKey},
};
