// Natives about the player, entity positions and distances, the game clock, and the calls the
// plug-in makes on the player in every run tick (accepted and recorded, changing nothing).
// Asking about any player but the local one is a fault: the plug-in has only that one.
#include <cmath>

#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

// True when `player` is the local player's handle; a fault otherwise.
bool IsLocalPlayer(const NativeCall& call, const char* native) {
  if (call.Int(0) == call.host.GetWorld().player.handle) {
    return true;
  }
  call.host.Fault(std::string(native) + " with " + std::to_string(call.Int(0)) +
                  ", which is not the player handle");
  return false;
}

void DefineRunTickCalls(NativeTable& table) {
  table.Define(natives::kRunTickCallA, "RunTickCallA", 0, nullptr);
  table.Define(natives::kSetPlayerValueA, "SetPlayerValueA", 2,
               [](const NativeCall& call) { IsLocalPlayer(call, "SetPlayerValueA"); });
  table.Define(natives::kSetPlayerValueB, "SetPlayerValueB", 2,
               [](const NativeCall& call) { IsLocalPlayer(call, "SetPlayerValueB"); });
  table.Define(natives::kSetGlobalFloatA, "SetGlobalFloatA", 1, nullptr);
}

}  // namespace

void InstallPlayerNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kGetPlayer, "GetPlayer", 0,
               [](const NativeCall& call) { call.ReturnInt(call.host.GetWorld().player.handle); });
  table.Define(natives::kGetPlayerPed, "GetPlayerPed", 0,
               [](const NativeCall& call) { call.ReturnInt(call.host.GetWorld().player.ped); });
  table.Define(natives::kGetEntityCoords, "GetEntityCoords", 3, [](const NativeCall& call) {
    if (const Vec3* position = call.host.GetWorld().FrameOf(call.Int(0)).position) {
      call.ReturnVector(position->x, position->y, position->z);
    }
  });
  table.Define(natives::kTeleportEntity, "TeleportEntity", 8, [](const NativeCall& call) {
    if (Vec3* position = call.host.GetWorld().FrameOf(call.Int(0)).position) {
      *position = Vec3{call.Float(1), call.Float(2), call.Float(3)};
    }
  });
  table.Define(natives::kIsPlayerDead, "IsPlayerDead", 1, [](const NativeCall& call) {
    if (IsLocalPlayer(call, "IsPlayerDead")) {
      call.ReturnInt(call.host.GetWorld().player.dead ? 1 : 0);
    }
  });
  table.Define(natives::kGetPlayerGroup, "GetPlayerGroup", 1, [](const NativeCall& call) {
    if (IsLocalPlayer(call, "GetPlayerGroup")) {
      call.ReturnInt(call.host.GetWorld().player.group);
    }
  });
  // Computed in 32-bit floats, as the game does.
  table.Define(natives::kGetDistanceBetweenPoints, "GetDistanceBetweenPoints", 7,
               [](const NativeCall& call) {
                 const float dx = call.Float(3) - call.Float(0);
                 const float dy = call.Float(4) - call.Float(1);
                 const float dz = call.Float(5) - call.Float(2);
                 call.ReturnFloat(std::sqrt(dx * dx + dy * dy + dz * dz));
               });
  table.Define(natives::kGetGameTimeMs, "GetGameTimeMs", 0,
               [](const NativeCall& call) { call.ReturnInt(call.host.GameTime()); });
  DefineRunTickCalls(table);
}

}  // namespace sim
