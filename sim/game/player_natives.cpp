// Natives about the player and entity positions.
#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

// The position of `entity`, or null when the world has no such entity.
Vec3* PositionOf(World& world, std::int32_t entity) {
  if (entity == world.player.ped) {
    return &world.player.position;
  }
  if (const auto ped = world.peds.find(entity); ped != world.peds.end()) {
    return &ped->second.position;
  }
  const auto object = world.objects.find(entity);
  return object == world.objects.end() ? nullptr : &object->second.position;
}

}  // namespace

void InstallPlayerNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kGetPlayer, "GetPlayer", 0, [](const NativeCall& call) {
    call.ReturnInt(call.host.GetWorld().player.handle);
  });
  table.Define(natives::kGetPlayerPed, "GetPlayerPed", 0, [](const NativeCall& call) {
    call.ReturnInt(call.host.GetWorld().player.ped);
  });
  table.Define(natives::kGetEntityCoords, "GetEntityCoords", 3, [](const NativeCall& call) {
    if (const Vec3* position = PositionOf(call.host.GetWorld(), call.Int(0))) {
      call.ReturnVector(position->x, position->y, position->z);
    }
  });
  table.Define(natives::kTeleportEntity, "TeleportEntity", 8, [](const NativeCall& call) {
    if (Vec3* position = PositionOf(call.host.GetWorld(), call.Int(0))) {
      *position = Vec3{call.Float(1), call.Float(2), call.Float(3)};
    }
  });
}

}  // namespace sim
