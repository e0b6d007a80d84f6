// Natives that prepare and play front-end sounds; the game knows one sound of one set. The
// simulated game plays nothing; it keeps each request on the world's sound list for tests.
#include "core/sim_host.h"
#include "game/assets.h"
#include "game/game_natives.h"

namespace sim {

namespace {

void RecordSound(const NativeCall& call, bool played) {
  call.host.GetWorld().sounds.push_back(
      SoundEvent{call.host.Frame(), played, call.Text(0), call.Text(1)});
}

}  // namespace

void InstallSoundNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  using contract::Fixed;
  using contract::TextOf;
  table.Define(natives::kPrepareSound, "PrepareSound",
               {TextOf("sound", {assets::kSoundName}), TextOf("sound set", {assets::kSoundSet})},
               ResultKind::kNone, [](const NativeCall& call) { RecordSound(call, false); });
  table.Define(natives::kPlaySound, "PlaySound",
               {TextOf("sound", {assets::kSoundName}), TextOf("sound set", {assets::kSoundSet}),
                Fixed("flag 1", 1), Fixed("flag 2", 0)},
               ResultKind::kNone, [](const NativeCall& call) { RecordSound(call, true); });
}

}  // namespace sim
