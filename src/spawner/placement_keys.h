// The keys the placement tests held down while an object is held, in the order it tests them.
// In a frame the first key of the table found held acts, alone: a later one, held too, does
// nothing in that frame. An action may have a reverse key, tested only once the action's own key
// is found held, which makes it act the other way. The placement runs this table, and check-ini
// explains from it what holding a key bound to several of these actions does.
#pragma once

#include <cstdint>

#include "settings/settings_record.h"

// What a held key does to the object being placed.
enum class PlacementAction {
  kTurn,     // turns the object by the rotate step; with the reverse key, the other way
  kSetDown,  // leaves the object where it is and ends the placement
};

// One held-key test of the placement.
struct PlacementKey {
  PlacementAction action;               // what the key does while held
  std::uint32_t Settings::*key;         // the key binding held
  std::uint32_t Settings::*reverseKey;  // held with it, the action goes the other way; or null
};

inline constexpr PlacementKey kPlacementKeys[] = {
    {PlacementAction::kTurn, &Settings::RotateObject, &Settings::ReverseRotateObject},
    {PlacementAction::kSetDown, &Settings::ConfirmObject, nullptr},
};
