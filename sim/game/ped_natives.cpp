// Natives about peds: creating them, giving them orders and decorators, asking whether they are
// dead and in which group, finding a safe spot for one, and letting go of or deleting them.
// Only peds the script holds (it created or claimed them) can be deleted; the game refuses the
// others silently. Releasing a ped the script does not hold is a fault: the plug-in has no
// business doing it; so is deleting one of the player's group, which the player would miss.
// Releasing or deleting a ped that has left the world does nothing, and asking about it finds
// it dead. DeletePed and ReleasePed take the address of the handle variable and write
// 0 there when they act. A ped the plug-in learnt of earlier (an enemy in its slot, a ped of the
// sweep's list) may have left the world by the time it asks about it; those arguments take any
// ped handle the world once handed out. The player's own ped can never be deleted or released.
#include <cmath>
#include <cstring>

#include "core/sim_host.h"
#include "game/assets.h"
#include "game/game_natives.h"

namespace sim {

namespace {

using contract::Fixed;
using contract::Float;
using contract::Handle;
using contract::HandleAddress;
using contract::ModelHash;
using contract::RandomWhole;
using contract::TextOf;
using contract::VectorAddress;

constexpr unsigned kAnyPed = kPlayerPedEntity | kPedEntity;

// Writes `position` into the plug-in's Vector3 at `out`: floats at bytes 0, 8 and 16.
void WriteVector(void* out, const Vec3& position) {
  unsigned char* bytes = static_cast<unsigned char*>(out);
  std::memcpy(bytes + 0, &position.x, sizeof(float));
  std::memcpy(bytes + 8, &position.y, sizeof(float));
  std::memcpy(bytes + 16, &position.z, sizeof(float));
}

void DefineQuestions(NativeTable& table) {
  table.Define(natives::kIsPedDead, "IsPedDead",
               {Handle("ped", kAnyPed, Presence::kOnceExisting), Fixed("flag", 1)},
               ResultKind::kInteger, [](const NativeCall& call) {
                 call.ReturnInt(call.host.GetWorld().IsPedDead(call.Int(0)) ? 1 : 0);
               });
  table.Define(natives::kGetPedGroup, "GetPedGroup",
               {Handle("ped", kAnyPed, Presence::kOnceExisting)}, ResultKind::kInteger,
               [](const NativeCall& call) {
                 World& world = call.host.GetWorld();
                 if (call.Int(0) == world.player.ped) {
                   call.ReturnInt(world.player.pedGroup);
                 } else if (const Ped* ped = world.FindPed(call.Int(0))) {
                   call.ReturnInt(ped->group);
                 }
               });
  // A safe spot is the point snapped to whole metres.
  table.Define(natives::kFindSafePedPosition, "FindSafePedPosition",
               {Float("x"), Float("y"), Float("z"), Fixed("flag", 0), VectorAddress("found"),
                Fixed("flags", 16)},
               ResultKind::kInteger, [](const NativeCall& call) {
                 if (!call.host.GetWorld().safePositionsFound) {
                   return;
                 }
                 WriteVector(call.Address<void>(4),
                             Vec3{std::round(call.Float(0)), std::round(call.Float(1)),
                                  std::round(call.Float(2))});
                 call.ReturnInt(1);
               });
}

void DefineCreation(NativeTable& table) {
  table.Define(natives::kCreatePed, "CreatePed",
               {ModelHash("model", assets::PedModels()), Float("x"), Float("y"), Float("z"),
                RandomWhole("heading", 0, 359, 10), Fixed("flag 1", 0), Fixed("flag 2", 0),
                Fixed("flag 3", 0), Fixed("flag 4", 0)},
               ResultKind::kInteger, [](const NativeCall& call) {
                 World& world = call.host.GetWorld();
                 const std::uint32_t model = call.Uint(0);
                 if (!world.ModelFor(model).loaded) {
                   call.host.Fault("CreatePed with model " + std::to_string(model) +
                                   ", which is not loaded");
                   return;
                 }
                 if (world.pedCreationFails) {
                   return;
                 }
                 Ped ped;
                 ped.model = model;
                 ped.position = Vec3{call.Float(1), call.Float(2), call.Float(3)};
                 ped.heading = call.Float(4);
                 ped.heldByScript = true;
                 call.ReturnInt(world.AddPed(ped));
               });
  // Made with whatever CreatePed answered, 0 included.
  table.Define(natives::kPrepareCreatedPed, "PrepareCreatedPed",
               {Handle("ped", kPedEntity, Presence::kExistingOrZero), Fixed("flag", 1)},
               ResultKind::kNone, nullptr);
  table.Define(natives::kSetDecoratorInt, "SetDecoratorInt",
               {Handle("entity", kAnyEntity), TextOf("decorator", {assets::kEnemyDecorator}),
                Fixed("value", 0)},
               ResultKind::kNone, [](const NativeCall& call) {
                 if (Ped* ped = call.host.GetWorld().FindPed(call.Int(0))) {
                   ped->decorators[call.Text(1)] = call.Int(2);
                 }
               });
  table.Define(
      natives::kTaskAttackPed, "TaskAttackPed",
      {Handle("ped", kPedEntity), Handle("target", kAnyPed), Fixed("flag", 0), Fixed("flags", 16)},
      ResultKind::kNone, [](const NativeCall& call) {
        call.host.GetWorld().FindPed(call.Int(0))->attackTarget = call.Int(1);
      });
}

void DefineOwnership(NativeTable& table) {
  table.Define(natives::kClaimEntityForScript, "ClaimEntityForScript",
               {Handle("entity", kAnyEntity, Presence::kOnceExisting), Fixed("flag 1", 1),
                Fixed("flag 2", 1)},
               ResultKind::kNone, [](const NativeCall& call) {
                 if (Ped* ped = call.host.GetWorld().FindPed(call.Int(0))) {
                   ped->heldByScript = true;
                   ped->released = false;
                 }
               });
  table.Define(natives::kReleasePed, "ReleasePed",
               {HandleAddress("ped", kPedEntity, Presence::kOnceExisting)}, ResultKind::kNone,
               [](const NativeCall& call) {
                 std::int32_t* handle = call.Address<std::int32_t>(0);
                 Ped* ped = call.host.GetWorld().FindPed(*handle);
                 if (ped == nullptr) {
                   return;
                 }
                 if (!ped->heldByScript) {
                   call.host.Fault("ReleasePed of ped " + std::to_string(*handle) +
                                   ", which the script does not hold");
                   return;
                 }
                 ped->heldByScript = false;
                 ped->released = true;
                 *handle = 0;
               });
  table.Define(natives::kDeletePed, "DeletePed",
               {HandleAddress("ped", kPedEntity, Presence::kOnceExisting)}, ResultKind::kNone,
               [](const NativeCall& call) {
                 std::int32_t* handle = call.Address<std::int32_t>(0);
                 World& world = call.host.GetWorld();
                 const Ped* ped = world.FindPed(*handle);
                 if (ped == nullptr || !ped->heldByScript) {
                   return;
                 }
                 if (ped->group == world.player.group) {
                   call.host.Fault("DeletePed of ped " + std::to_string(*handle) +
                                   ", one of the player's group");
                   return;
                 }
                 world.RemovePed(*handle);
                 *handle = 0;
               });
}

}  // namespace

void InstallPedNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  DefineQuestions(table);
  DefineCreation(table);
  DefineOwnership(table);
}

}  // namespace sim
