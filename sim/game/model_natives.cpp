// Natives about models: the name hash and the load cycle. Every one takes a model the game knows
// (see game/assets.h). A model passes or fails its two availability tests as configured on the
// world; once requested, an available model finishes loading after its configured number of
// frames (the world counts them down), or never.
#include "core/sim_host.h"
#include "game/assets.h"
#include "game/game_natives.h"

namespace sim {

void InstallModelNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  using contract::Fixed;
  using contract::ModelHash;
  using contract::TextOf;
  table.Define(natives::kGetNameHash, "GetNameHash", {TextOf("model name", assets::ModelNames())},
               ResultKind::kInteger,
               [](const NativeCall& call) { call.ReturnInt(World::NameHash(call.Text(0))); });
  table.Define(natives::kIsModelAvailable, "IsModelAvailable",
               {ModelHash("model", assets::AllModels())}, ResultKind::kInteger,
               [](const NativeCall& call) {
                 call.ReturnInt(call.host.GetWorld().ModelFor(call.Uint(0)).available ? 1 : 0);
               });
  table.Define(natives::kIsModelValid, "IsModelValid", {ModelHash("model", assets::AllModels())},
               ResultKind::kInteger, [](const NativeCall& call) {
                 call.ReturnInt(call.host.GetWorld().ModelFor(call.Uint(0)).valid ? 1 : 0);
               });
  table.Define(natives::kRequestModel, "RequestModel",
               {ModelHash("model", assets::AllModels()), Fixed("flag", 0)}, ResultKind::kNone,
               [](const NativeCall& call) {
                 Model& model = call.host.GetWorld().ModelFor(call.Uint(0));
                 if (model.requested || !model.available || !model.valid) {
                   return;
                 }
                 model.requested = true;
                 model.framesLeft = model.loadFrames;
                 model.loaded = model.loadFrames == 0;
               });
  table.Define(natives::kHasModelLoaded, "HasModelLoaded",
               {ModelHash("model", assets::AllModels())}, ResultKind::kInteger,
               [](const NativeCall& call) {
                 call.ReturnInt(call.host.GetWorld().ModelFor(call.Uint(0)).loaded ? 1 : 0);
               });
}

}  // namespace sim
