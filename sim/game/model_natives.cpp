// Natives about models: the name hash and the load cycle. A model passes or fails its two
// availability tests as configured on the world; once requested, an available model finishes
// loading after its configured number of frames (the world counts them down), or never.
#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

void InstallModelNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kGetNameHash, "GetNameHash", 1, [](const NativeCall& call) {
    const char* name = call.Text(0);
    if (name == nullptr) {
      call.host.Fault("GetNameHash without a name");
      return;
    }
    call.ReturnInt(World::NameHash(name));
  });
  table.Define(natives::kIsModelAvailable, "IsModelAvailable", 1, [](const NativeCall& call) {
    call.ReturnInt(call.host.GetWorld().ModelFor(call.Uint(0)).available ? 1 : 0);
  });
  table.Define(natives::kIsModelValid, "IsModelValid", 1, [](const NativeCall& call) {
    call.ReturnInt(call.host.GetWorld().ModelFor(call.Uint(0)).valid ? 1 : 0);
  });
  table.Define(natives::kRequestModel, "RequestModel", 2, [](const NativeCall& call) {
    Model& model = call.host.GetWorld().ModelFor(call.Uint(0));
    if (model.requested || !model.available || !model.valid) {
      return;
    }
    model.requested = true;
    model.framesLeft = model.loadFrames;
    model.loaded = model.loadFrames == 0;
  });
  table.Define(natives::kHasModelLoaded, "HasModelLoaded", 1, [](const NativeCall& call) {
    call.ReturnInt(call.host.GetWorld().ModelFor(call.Uint(0)).loaded ? 1 : 0);
  });
}

}  // namespace sim
