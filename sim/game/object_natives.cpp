// Natives that create, turn, pin and remove objects and vehicles, the entity frame questions
// (offset positions and rotations), the camera's relative view heading and the player's
// controls. Entities face along their own y axis; a heading turns them counter-clockwise seen
// from above, so heading 90 faces the world's -x. RemoveObject removes the object whose handle
// sits at the address it is given and writes 0 there, as it takes the address for that purpose.
// Asking for the frame of an entity that does not exist, or switching the controls of anyone
// but the player, is a fault: the plug-in only ever asks about the player. Moving, turning or
// removing an object that no longer exists does nothing, as the world may remove objects itself.
// Creating an entity of a model that has not loaded is a fault; a released model is unloaded at
// once, so the next request loads it anew.
#include <cmath>
#include <numbers>
#include <string>

#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

WorldObject* ObjectOf(World& world, std::int32_t entity) {
  const auto object = world.objects.find(entity);
  return object == world.objects.end() ? nullptr : &object->second;
}

// The world position of `offset` in the frame of an entity at `frame`.
Vec3 OffsetInFrame(const World::EntityFrame& frame, const Vec3& offset) {
  const double heading = frame.rotation.z * std::numbers::pi / 180.0;
  const double forwardX = -std::sin(heading);
  const double forwardY = std::cos(heading);
  const double rightX = forwardY;
  const double rightY = -forwardX;
  return Vec3{static_cast<float>(frame.position->x + rightX * offset.x + forwardX * offset.y),
              static_cast<float>(frame.position->y + rightY * offset.x + forwardY * offset.y),
              frame.position->z + offset.z};
}

// Creates the object or vehicle; a model that has not been loaded is a fault and creates nothing.
std::int32_t AddObject(const NativeCall& call, const char* native, bool isVehicle,
                       const Vec3& position, float heading) {
  World& world = call.host.GetWorld();
  const std::uint32_t model = call.Uint(0);
  if (!world.ModelFor(model).loaded) {
    call.host.Fault(std::string(native) + " with model " + std::to_string(model) +
                    ", which is not loaded");
    return 0;
  }
  const std::int32_t handle = world.nextObjectHandle++;
  WorldObject& object = world.objects[handle];
  object.model = model;
  object.isVehicle = isVehicle;
  object.position = position;
  object.rotation = Vec3{0.0f, 0.0f, heading};
  return handle;
}

void DefineFrameQuestions(NativeTable& table) {
  table.Define(natives::kGetOffsetPosition, "GetOffsetPosition", 4, [](const NativeCall& call) {
    const World::EntityFrame frame = call.host.GetWorld().FrameOf(call.Int(0));
    if (frame.position == nullptr) {
      call.host.Fault("GetOffsetPosition of entity " + std::to_string(call.Int(0)) +
                      ", which does not exist");
      return;
    }
    const Vec3 p = OffsetInFrame(frame, Vec3{call.Float(1), call.Float(2), call.Float(3)});
    call.ReturnVector(p.x, p.y, p.z);
  });
  table.Define(natives::kGetRotation, "GetRotation", 2, [](const NativeCall& call) {
    const World::EntityFrame frame = call.host.GetWorld().FrameOf(call.Int(0));
    if (frame.position == nullptr) {
      call.host.Fault("GetRotation of entity " + std::to_string(call.Int(0)) +
                      ", which does not exist");
      return;
    }
    call.ReturnVector(frame.rotation.x, frame.rotation.y, frame.rotation.z);
  });
  table.Define(natives::kGetRelativeViewHeading, "GetRelativeViewHeading", 0,
               [](const NativeCall& call) { call.ReturnFloat(call.host.GetWorld().viewHeading); });
}

void DefinePlayerControls(NativeTable& table) {
  table.Define(natives::kSetPlayerEnabled, "SetPlayerEnabled", 2, [](const NativeCall& call) {
    Player& player = call.host.GetWorld().player;
    if (call.Int(0) != player.handle) {
      call.host.Fault("SetPlayerEnabled with " + std::to_string(call.Int(0)) +
                      ", which is not the player handle");
      return;
    }
    player.controlsEnabled = call.Int(1) != 0;
  });
}

void DefineCreation(NativeTable& table) {
  table.Define(natives::kSpawnObject, "SpawnObject", 9, [](const NativeCall& call) {
    if (call.host.GetWorld().objectSpawnsFail) {
      return;
    }
    call.ReturnInt(AddObject(call, "SpawnObject", false,
                             Vec3{call.Float(1), call.Float(2), call.Float(3)}, 0.0f));
  });
  table.Define(natives::kSpawnVehicle, "SpawnVehicle", 9, [](const NativeCall& call) {
    call.ReturnInt(AddObject(call, "SpawnVehicle", true,
                             Vec3{call.Float(1), call.Float(2), call.Float(3)}, call.Float(4)));
  });
  table.Define(natives::kSetBoolDecorator, "SetBoolDecorator", 3, [](const NativeCall& call) {
    const char* name = call.Text(1);
    if (name == nullptr) {
      call.host.Fault("SetBoolDecorator without a decorator name");
      return;
    }
    if (WorldObject* object = ObjectOf(call.host.GetWorld(), call.Int(0))) {
      object->decorators[name] = call.Int(2) != 0 ? 1 : 0;
    }
  });
  table.Define(natives::kReleaseModel, "ReleaseModel", 1, [](const NativeCall& call) {
    Model& model = call.host.GetWorld().ModelFor(call.Uint(0));
    model.requested = false;
    model.loaded = false;
  });
}

void DefineHandling(NativeTable& table) {
  table.Define(natives::kPinEntity, "PinEntity", 2, [](const NativeCall& call) {
    if (WorldObject* object = ObjectOf(call.host.GetWorld(), call.Int(0))) {
      object->pinned = call.Int(1) != 0;
    }
  });
  table.Define(natives::kSetObjectRotation, "SetObjectRotation", 6, [](const NativeCall& call) {
    if (WorldObject* object = ObjectOf(call.host.GetWorld(), call.Int(0))) {
      object->rotation = Vec3{call.Float(1), call.Float(2), call.Float(3)};
    }
  });
  table.Define(natives::kRemoveObject, "RemoveObject", 1, [](const NativeCall& call) {
    std::int32_t* handle = call.Address<std::int32_t>(0);
    if (handle == nullptr) {
      call.host.Fault("RemoveObject with a null handle address");
      return;
    }
    call.host.GetWorld().objects.erase(*handle);
    *handle = 0;
  });
}

}  // namespace

void InstallObjectNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  DefineFrameQuestions(table);
  DefinePlayerControls(table);
  DefineCreation(table);
  DefineHandling(table);
}

}  // namespace sim
