// Typed wrappers of the natives shared by the object placement and the mounted weapons.
#include "spawner/spawner_natives.h"

#include "runtime/native.h"

namespace {
constexpr NativeHash kSetPlayerEnabled = 0x5EDA520F7A3BAF4E;
constexpr NativeHash kRemoveObject = 0x4CD38C78BD19A497;
}  // namespace

void SetPlayerEnabled(std::int32_t player, bool enabled) {
  native::Invoke(kSetPlayerEnabled, player, enabled);
}

void RemoveObject(EntityHandle* handle) {
  native::Invoke(kRemoveObject, handle);
}
