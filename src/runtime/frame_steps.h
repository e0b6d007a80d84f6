// The steps of one game frame, in the order the frame loop runs them, each with the keys it tests
// for a release. The frame loop runs this table and nothing else, so it is also the order in
// which a frame tests keys: a release test consumes the release, so when two actions share a
// key, the step that tests it first gets the release and a later one never sees it. check-ini
// names the winner from this same table.
#pragma once

#include <cstdint>

#include "settings/settings_record.h"

// F2: with Debug on, writes the player's position to the log.
constexpr std::uint32_t kPositionCaptureKey = 0x71;

// What a step does; the frame loop runs each (runtime/script.cpp).
enum class StepAction {
  kPerFrameNatives,  // the four per-frame natives
  kRunHud,           // the run's kills and time
  kBanner,           // the notification banner
  kActivate,         // start or end a run, or go to the starting position
  kRunTick,          // a run tick, when one is due
  kMenuPage,         // the next menu page, or cancel a placement
  kMenuOrPlacement,  // draw the open menu and pick its rows, or go on with the placement
  kPositionCapture,  // log the player's position
};

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
  StepAction action;                 // what the step does
  const char* description;           // the same, in words, for check-ini
  StepKeys keys;                     // the keys it tests
  std::uint32_t Settings::*binding;  // the key binding of a kBinding step
  std::uint32_t fixedKey;            // the key of a kDebugFixedKey step
};

// The steps of a frame, first to last. Three of them may hold the script for several frames,
// and with it every step after them: the activation key, when a run starts, sweeps the world
// one ped per frame; a run tick waits for the enemy model to load before it spawns; a picked
// row waits for its object's or weapon's model. A step added after one of these does not run in
// the frames such a wait spans, and finds the records as the wait left them.
inline constexpr FrameStep kFrameSteps[] = {
    {StepAction::kPerFrameNatives, "per-frame natives", StepKeys::kNone, nullptr, 0},
    {StepAction::kRunHud, "run HUD", StepKeys::kNone, nullptr, 0},
    {StepAction::kBanner, "banner", StepKeys::kNone, nullptr, 0},
    {StepAction::kActivate, "start or end a run", StepKeys::kBinding, &Settings::ActivateMod, 0},
    {StepAction::kRunTick, "run tick", StepKeys::kNone, nullptr, 0},
    {StepAction::kMenuPage, "next menu page or cancel a placement", StepKeys::kBinding,
     &Settings::SpawnerMenu, 0},
    {StepAction::kMenuOrPlacement, "pick a menu row or place an object", StepKeys::kMenuSelect,
     nullptr, 0},
    {StepAction::kPositionCapture, "position capture (F2)", StepKeys::kDebugFixedKey, nullptr,
     kPositionCaptureKey},
};
