// The steps of one game frame, in the order the frame loop runs them, each with the keys it tests
// for a release. The frame loop runs this table and nothing else, so it is also the order in
// which a frame tests keys: a release test consumes the release, so when two actions share a
// key, the step that tests it first gets the release and a later one never sees it. check-ini
// names the winner from this same table.
#pragma once

#include <cstdint>
#include <span>

#include "settings/settings.h"

struct FrameLoopState;

// F2: with Debug on, writes the player's position to the log.
constexpr std::uint32_t kPositionCaptureKey = 0x71;

// The keys a step tests for a release.
enum class StepKeys {
  kNone,           // none: the step runs in every frame
  kBinding,        // one key binding of the settings: the step runs on its release
  kMenuSelect,     // the menu select keys (settings_schema.h), row 1's first, tested by the step
                   // itself while a menu is open
  kDebugFixedKey,  // a fixed key, tested only while Debug is on: the step runs on its release
};

// One step of a frame.
struct FrameStep {
  const char* action;                 // what the step does, or what its fixed key does
  StepKeys keys;                      // the keys it tests
  std::uint32_t Settings::*binding;   // the key binding of a kBinding step
  std::uint32_t fixedKey;             // the key of a kDebugFixedKey step
  void (*run)(FrameLoopState& loop);  // the step itself
};

// The steps of a frame, first to last.
std::span<const FrameStep> FrameSteps();
