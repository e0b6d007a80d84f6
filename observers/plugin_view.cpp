// The read-only view, made once over the records where their owners define them.
#include "observers/plugin_view.h"

const PluginView& ObservePlugin() {
  static const PluginView kView{settings, keyStateTable,  notification,
                                runState, placementState, frameLoop};
  return kView;
}
