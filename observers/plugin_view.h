// A read-only view of the plug-in's process-wide records, for the tools that narrate a session
// ("a run is active", "an object is being placed", the open menu page) and for the checks and
// tests that watch one. It sees the records as they are at the moment it is read and cannot
// change them. It is no part of the plug-in: only what watches the plug-in run builds it in.
//
// Each record is declared and defined by its owner, and only the owner's operations write it;
// other parts of the plug-in may read it. A test may set a record up through its owner's header
// to reach a state no input leads to. Nothing is freed before the process ends.
//
// | record         | owner: who writes it                      | when                           |
// |----------------|-------------------------------------------|--------------------------------|
// | settings       | LoadSettings (settings/settings.h)        | as the frame loop sets up, at  |
// |                |                                           | each start of the script       |
// |                |                                           | function; only read after that |
// | keyStateTable  | OnKeyboardMessage stamps an entry;        | any key message, from any      |
// |                | IsKeyReleased consumes it; ForgetKeys     | thread; a key test; each start |
// |                | empties it (keyboard.h)                   | of the script function         |
// | notification   | the frame loop creates it; then only      | set-up; a banner is shown      |
// |                | ShowNotification writes it (screen.h)     |                                |
// | runState       | the run (survival/run.h); its enemy slot  | activation key; run ticks;     |
// |                | table only through survival/enemies.h,    | the run's end; each start of   |
// |                | but ForgetRun resets the record whole     | the script function            |
// | placementState | the placement (spawner/placement.h)       | a row is picked; a frame with  |
// |                |                                           | no menu open; cancel; run end; |
// |                |                                           | each start of the script       |
// | frameLoop      | the frame loop (runtime/script.h)         | set-up; every frame            |
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
