// A read-only view of the plug-in's process-wide records, for the tools that narrate a session
// ("a run is active", "an object is being placed", the open menu page) and for the checks and
// tests that watch one. It sees the records as they are at the moment it is read and cannot
// change them.
#pragma once

#include "runtime/keyboard.h"
#include "runtime/screen.h"
#include "runtime/script.h"
#include "settings/settings.h"
#include "spawner/placement.h"
#include "survival/run.h"

// The records, each seen through a const reference.
struct PluginView {
  const Settings& settings;           // as loaded; the defaults until the first frame
  const KeyStateTable& keys;          // every key's last message
  const Notification* const& banner;  // null until the frame loop creates it
  const RunState& run;                // the run and its enemy slots
  const PlacementState& placement;    // the object being placed and the last one set down
  const FrameLoopState& frameLoop;    // the menus and the open page (0 = none)
};

// The one view of the plug-in's records.
const PluginView& ObservePlugin();
