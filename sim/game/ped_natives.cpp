// Natives about peds: creating them, giving them orders and decorators, asking whether they are
// dead and in which group, finding a safe spot for one, and letting go of or deleting them.
// Only peds the script holds (it created or claimed them) can be deleted; the game refuses the
// others silently. Deleting the player's ped, or releasing a ped the script does not hold, is a
// fault: the plug-in has no business doing either. DeletePed and ReleasePed take the address of
// the handle variable and write 0 there when they act.
#include <cmath>
#include <cstring>

#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

// The handle variable whose address is argument `i`; a fault when the address is null.
std::int32_t* HandleAt(const NativeCall& call, std::size_t i, const char* native) {
  std::int32_t* handle = call.Address<std::int32_t>(i);
  if (handle == nullptr) {
    call.host.Fault(std::string(native) + " with a null handle address");
  }
  return handle;
}

// Writes `position` into the plug-in's Vector3 at `out`: floats at bytes 0, 8 and 16.
void WriteVector(void* out, const Vec3& position) {
  unsigned char* bytes = static_cast<unsigned char*>(out);
  std::memcpy(bytes + 0, &position.x, sizeof(float));
  std::memcpy(bytes + 8, &position.y, sizeof(float));
  std::memcpy(bytes + 16, &position.z, sizeof(float));
}

std::string HandleText(std::int32_t handle) {
  return std::to_string(handle);
}

void DefineQuestions(NativeTable& table) {
  table.Define(natives::kIsPedDead, "IsPedDead", 2, [](const NativeCall& call) {
    call.ReturnInt(call.host.GetWorld().IsPedDead(call.Int(0)) ? 1 : 0);
  });
  table.Define(natives::kGetPedGroup, "GetPedGroup", 1, [](const NativeCall& call) {
    World& world = call.host.GetWorld();
    if (call.Int(0) == world.player.ped) {
      call.ReturnInt(world.player.pedGroup);
    } else if (const Ped* ped = world.FindPed(call.Int(0))) {
      call.ReturnInt(ped->group);
    }
  });
  // A safe spot is the point snapped to whole metres.
  table.Define(natives::kFindSafePedPosition, "FindSafePedPosition", 6, [](const NativeCall& call) {
    void* out = call.Address<void>(4);
    if (out == nullptr) {
      call.host.Fault("FindSafePedPosition with a null output address");
      return;
    }
    if (!call.host.GetWorld().safePositionsFound) {
      return;
    }
    WriteVector(
        out, Vec3{std::round(call.Float(0)), std::round(call.Float(1)), std::round(call.Float(2))});
    call.ReturnInt(1);
  });
}

void DefineCreation(NativeTable& table) {
  table.Define(natives::kCreatePed, "CreatePed", 9, [](const NativeCall& call) {
    World& world = call.host.GetWorld();
    const std::uint32_t model = call.Uint(0);
    if (!world.ModelFor(model).loaded) {
      call.host.Fault("CreatePed with model " + std::to_string(model) + ", which is not loaded");
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
  table.Define(natives::kPrepareCreatedPed, "PrepareCreatedPed", 2, nullptr);
  table.Define(natives::kSetDecoratorInt, "SetDecoratorInt", 3, [](const NativeCall& call) {
    const char* name = call.Text(1);
    if (name == nullptr) {
      call.host.Fault("SetDecoratorInt without a decorator name");
      return;
    }
    if (Ped* ped = call.host.GetWorld().FindPed(call.Int(0))) {
      ped->decorators[name] = call.Int(2);
    }
  });
  table.Define(natives::kTaskAttackPed, "TaskAttackPed", 4, [](const NativeCall& call) {
    if (Ped* ped = call.host.GetWorld().FindPed(call.Int(0))) {
      ped->attackTarget = call.Int(1);
    }
  });
}

void DefineOwnership(NativeTable& table) {
  table.Define(natives::kClaimEntityForScript, "ClaimEntityForScript", 3,
               [](const NativeCall& call) {
                 if (Ped* ped = call.host.GetWorld().FindPed(call.Int(0))) {
                   ped->heldByScript = true;
                   ped->released = false;
                 }
               });
  table.Define(natives::kReleasePed, "ReleasePed", 1, [](const NativeCall& call) {
    std::int32_t* handle = HandleAt(call, 0, "ReleasePed");
    if (handle == nullptr) {
      return;
    }
    Ped* ped = call.host.GetWorld().FindPed(*handle);
    if (ped == nullptr || !ped->heldByScript) {
      call.host.Fault("ReleasePed of ped " + HandleText(*handle) +
                      ", which the script does not hold");
      return;
    }
    ped->heldByScript = false;
    ped->released = true;
    *handle = 0;
  });
  table.Define(natives::kDeletePed, "DeletePed", 1, [](const NativeCall& call) {
    std::int32_t* handle = HandleAt(call, 0, "DeletePed");
    if (handle == nullptr) {
      return;
    }
    World& world = call.host.GetWorld();
    if (*handle == world.player.ped) {
      call.host.Fault("DeletePed of the player's own ped");
      return;
    }
    const Ped* ped = world.FindPed(*handle);
    if (ped == nullptr || !ped->heldByScript) {
      return;
    }
    world.peds.erase(*handle);
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
