// Natives about the player, entity positions and distances, the game clock, and the calls the
// plug-in makes on the player in every run tick (accepted and recorded, changing nothing). The
// host has checked each call against its contract before a handler runs, so a handle argument
// names what the contract says: the one local player, or an entity the world handed out. An
// entity may have left the world since the plug-in learnt of it: its position then reads as
// zero and moving it does nothing, as in the game.
#include <cmath>

#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

using contract::Fixed;
using contract::FixedFloat;
using contract::Float;
using contract::Handle;

// The entity and position that TeleportEntity takes, followed by its four flags.
ArgumentForm TeleportForm(std::int32_t flag1, std::int32_t flag2, std::int32_t flag3,
                          std::int32_t flag4) {
  return {Handle("entity", kAnyEntity, Presence::kOnceExisting),
          Float("x"),
          Float("y"),
          Float("z"),
          Fixed("flag 1", flag1),
          Fixed("flag 2", flag2),
          Fixed("flag 3", flag3),
          Fixed("flag 4", flag4)};
}

void DefineRunTickCalls(NativeTable& table) {
  table.Define(natives::kRunTickCallA, "RunTickCallA", {}, ResultKind::kNone, nullptr);
  table.Define(natives::kSetPlayerValueA, "SetPlayerValueA",
               {Handle("player", kPlayerEntity), Fixed("value", 0)}, ResultKind::kNone, nullptr);
  table.Define(natives::kSetPlayerValueB, "SetPlayerValueB",
               {Handle("player", kPlayerEntity), Fixed("value", 0)}, ResultKind::kNone, nullptr);
  table.Define(natives::kSetGlobalFloatA, "SetGlobalFloatA", {FixedFloat("value", 0.0f)},
               ResultKind::kNone, nullptr);
}

void DefineEntityPositions(NativeTable& table) {
  table.Define(natives::kGetEntityCoords, "GetEntityCoords",
               {Handle("entity", kAnyEntity, Presence::kOnceExisting), Fixed("flag 1", 1),
                Fixed("flag 2", 1)},
               ResultKind::kVector, [](const NativeCall& call) {
                 if (const Vec3* position = call.host.GetWorld().FrameOf(call.Int(0)).position) {
                   call.ReturnVector(position->x, position->y, position->z);
                 }
               });
  // A run moves the player's ped with the flags 0, 0, 0, 0; a placement moves the held object
  // with 1, 1, 1, 0.
  table.DefineForms(natives::kTeleportEntity, "TeleportEntity",
                    {TeleportForm(0, 0, 0, 0), TeleportForm(1, 1, 1, 0)}, ResultKind::kNone,
                    [](const NativeCall& call) {
                      if (Vec3* position = call.host.GetWorld().FrameOf(call.Int(0)).position) {
                        *position = Vec3{call.Float(1), call.Float(2), call.Float(3)};
                      }
                    });
  // Computed in 32-bit floats, as the game does.
  table.Define(natives::kGetDistanceBetweenPoints, "GetDistanceBetweenPoints",
               {Float("x1"), Float("y1"), Float("z1"), Float("x2"), Float("y2"), Float("z2"),
                Fixed("flag", 1)},
               ResultKind::kFloat, [](const NativeCall& call) {
                 const float dx = call.Float(3) - call.Float(0);
                 const float dy = call.Float(4) - call.Float(1);
                 const float dz = call.Float(5) - call.Float(2);
                 call.ReturnFloat(std::sqrt(dx * dx + dy * dy + dz * dz));
               });
}

}  // namespace

void InstallPlayerNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kGetPlayer, "GetPlayer", {}, ResultKind::kInteger,
               [](const NativeCall& call) { call.ReturnInt(call.host.GetWorld().player.handle); });
  table.Define(natives::kGetPlayerPed, "GetPlayerPed", {}, ResultKind::kInteger,
               [](const NativeCall& call) { call.ReturnInt(call.host.GetWorld().player.ped); });
  table.Define(natives::kIsPlayerDead, "IsPlayerDead", {Handle("player", kPlayerEntity)},
               ResultKind::kInteger, [](const NativeCall& call) {
                 call.ReturnInt(call.host.GetWorld().player.dead ? 1 : 0);
               });
  table.Define(natives::kGetPlayerGroup, "GetPlayerGroup", {Handle("player", kPlayerEntity)},
               ResultKind::kInteger,
               [](const NativeCall& call) { call.ReturnInt(call.host.GetWorld().player.group); });
  table.Define(natives::kGetGameTimeMs, "GetGameTimeMs", {}, ResultKind::kInteger,
               [](const NativeCall& call) { call.ReturnInt(call.host.GameTime()); });
  DefineEntityPositions(table);
  DefineRunTickCalls(table);
}

}  // namespace sim
