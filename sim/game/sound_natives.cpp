// Natives that prepare and play front-end sounds. The simulated game plays nothing; it keeps
// each request on the world's sound list for tests.
#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

void RecordSound(const NativeCall& call, bool played, const char* native) {
  if (call.Text(0) == nullptr || call.Text(1) == nullptr) {
    call.host.Fault(std::string(native) + " without a sound name or set");
    return;
  }
  call.host.GetWorld().sounds.push_back(
      SoundEvent{call.host.Frame(), played, call.Text(0), call.Text(1)});
}

}  // namespace

void InstallSoundNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kPrepareSound, "PrepareSound", 2,
               [](const NativeCall& call) { RecordSound(call, false, "PrepareSound"); });
  table.Define(natives::kPlaySound, "PlaySound", 4,
               [](const NativeCall& call) { RecordSound(call, true, "PlaySound"); });
}

}  // namespace sim
