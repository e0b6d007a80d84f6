// The ped sweep. The player's own ped is spared by its handle as well as by its group, so a game
// that reports some other group for it cannot make the sweep delete the player.
#include "survival/sweep.h"

#include <algorithm>
#include <cstdint>

#include "runtime/game_types.h"
#include "runtime/host.h"
#include "runtime/natives.h"

namespace {

constexpr NativeHash kGetPlayerGroup = 0x9BAB31815159ABCF;
constexpr NativeHash kGetPedGroup = 0xF162E133B4E7A675;
constexpr NativeHash kClaimEntityForScript = 0xDC19C288082E586E;

// How many ped handles the sweep asks the host for; peds listed beyond these are not seen.
constexpr int kSweepListCapacity = 512;

}  // namespace

void SweepPeds() {
  EntityHandle peds[kSweepListCapacity] = {};
  // The count bounds the loop over the local list, so it is held to the list's size.
  const int listed = std::clamp(worldGetAllPeds(peds, kSweepListCapacity), 0, kSweepListCapacity);
  const std::int32_t playerGroup = native::Invoke<std::int32_t>(kGetPlayerGroup, GetPlayer());
  const EntityHandle playerPed = GetPlayerPed();
  for (int i = 0; i < listed; ++i) {
    if (peds[i] == playerPed ||
        native::Invoke<std::int32_t>(kGetPedGroup, peds[i]) == playerGroup) {
      continue;
    }
    native::Invoke(kClaimEntityForScript, peds[i], 1, 1);
    DeletePed(&peds[i]);
    scriptWait(0);
  }
}
