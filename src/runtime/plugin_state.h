// The plug-in's process-wide records, all defined in one place (plugin_state.cpp). Each record
// has one owner, and only the owner's operations write it; other parts of the plug-in may read
// it. The tools read the records only through the read-only view in plugin_view.h; a test may
// set a record up here directly to reach a state no input leads to.
//
// | record         | owner: who writes it                    | when                           |
// |----------------|-----------------------------------------|--------------------------------|
// | settings       | LoadSettings (settings/settings.h, which | once, as the frame loop sets   |
// |                | declares it)                            | up; only read after that       |
// | keyStateTable  | OnKeyboardMessage stamps an entry;      | any key message, from any      |
// |                | IsKeyReleased consumes it (keyboard.h)  | thread; a key test             |
// | notification   | the frame loop creates it; then only    | set-up; a banner is shown      |
// |                | ShowNotification writes it (screen.h)   |                                |
// | runState       | the run (survival/run.h), its enemy     | activation key; run ticks;     |
// |                | slot table included                     | the run's end                  |
// | placementState | the placement (spawner/placement.h)     | a row is picked; a frame with  |
// |                |                                         | no menu open; cancel; run end  |
// | frameLoop      | the frame loop (runtime/script.h)       | set-up; every frame            |
//
// Nothing is freed before the process ends.
#pragma once

#include "runtime/keyboard.h"
#include "runtime/screen.h"
#include "runtime/script.h"
#include "settings/settings.h"
#include "spawner/placement.h"
#include "survival/run.h"

// The key state table.
extern KeyStateTable keyStateTable;
// The banner record; null until the frame loop creates it.
extern Notification* notification;
// The run record with its enemy slot table.
extern RunState runState;
// The placement record.
extern PlacementState placementState;
// What the frame loop holds for the life of the script: the menus, the open page, the next run
// tick's deadline and the select keys.
extern FrameLoopState frameLoop;
