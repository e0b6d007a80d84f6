// The definitions of the plug-in's process-wide records, and the read-only view of them.
#include "runtime/plugin_state.h"

#include "runtime/plugin_view.h"

Settings settings;
KeyStateTable keyStateTable;
Notification* notification = nullptr;
RunState runState;
PlacementState placementState;
FrameLoopState frameLoop;

const PluginView& ObservePlugin() {
  static const PluginView view{settings, keyStateTable,  notification,
                               runState, placementState, frameLoop};
  return view;
}
