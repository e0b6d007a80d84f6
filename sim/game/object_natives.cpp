// Natives that create, turn, pin and remove objects and vehicles, the entity frame questions
// (offset positions and rotations), the camera's relative view heading and the player's
// controls. Entities face along their own y axis; a heading turns them counter-clockwise seen
// from above, so heading 90 faces the world's -x. RemoveObject removes the object whose handle
// sits at the address it is given and writes 0 there, as it takes the address for that purpose;
// a repeated removal passes a handle of an object that is gone, which does nothing. The host
// has checked each call against its contract first: the frame questions ask about an entity
// the world handed out, and only the player's controls are switched. Creating an entity of a model
// that has not loaded is a fault; a released model is unloaded at once, so the next request loads
// it anew. An entity the world handed out may have left it since: questions about it then answer
// zero and changes to it do nothing, as in the game.
#include <cmath>
#include <numbers>
#include <string>

#include "core/sim_host.h"
#include "game/assets.h"
#include "game/game_natives.h"

namespace sim {

namespace {

using contract::Fixed;
using contract::FixedFloat;
using contract::Float;
using contract::Handle;
using contract::HandleAddress;
using contract::IntIn;
using contract::ModelHash;
using contract::TextOf;

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
  WorldObject object;
  object.model = model;
  object.isVehicle = isVehicle;
  object.position = position;
  object.rotation = Vec3{0.0f, 0.0f, heading};
  return world.AddObject(object);
}

void DefineFrameQuestions(NativeTable& table) {
  table.Define(
      natives::kGetOffsetPosition, "GetOffsetPosition",
      {Handle("entity", kAnyEntity, Presence::kOnceExisting), Float("x"), Float("y"), Float("z")},
      ResultKind::kVector, [](const NativeCall& call) {
        const World::EntityFrame frame = call.host.GetWorld().FrameOf(call.Int(0));
        if (frame.position == nullptr) {
          return;
        }
        const Vec3 p = OffsetInFrame(frame, Vec3{call.Float(1), call.Float(2), call.Float(3)});
        call.ReturnVector(p.x, p.y, p.z);
      });
  table.Define(natives::kGetRotation, "GetRotation",
               {Handle("entity", kAnyEntity, Presence::kOnceExisting), Fixed("flag", 1)},
               ResultKind::kVector, [](const NativeCall& call) {
                 const Vec3 rotation = call.host.GetWorld().FrameOf(call.Int(0)).rotation;
                 call.ReturnVector(rotation.x, rotation.y, rotation.z);
               });
  table.Define(natives::kGetRelativeViewHeading, "GetRelativeViewHeading", {}, ResultKind::kFloat,
               [](const NativeCall& call) { call.ReturnFloat(call.host.GetWorld().viewHeading); });
}

void DefinePlayerControls(NativeTable& table) {
  table.Define(natives::kSetPlayerEnabled, "SetPlayerEnabled",
               {Handle("player", kPlayerEntity), IntIn("enabled", 0, 1)}, ResultKind::kNone,
               [](const NativeCall& call) {
                 call.host.GetWorld().player.controlsEnabled = call.Int(1) != 0;
               });
}

void DefineCreation(NativeTable& table) {
  table.Define(natives::kSpawnObject, "SpawnObject",
               {ModelHash("model", assets::StaticObjectModels()), Float("x"), Float("y"),
                Float("z"), Fixed("flag 1", 0), Fixed("flag 2", 1), Fixed("flag 3", 1),
                Fixed("flag 4", 0), Fixed("flag 5", 0)},
               ResultKind::kInteger, [](const NativeCall& call) {
                 if (call.host.GetWorld().objectSpawnsFail) {
                   return;
                 }
                 call.ReturnInt(AddObject(call, "SpawnObject", false,
                                          Vec3{call.Float(1), call.Float(2), call.Float(3)}, 0.0f));
               });
  // A mounted weapon is created at the world origin, heading 0, and moved from there.
  table.Define(
      natives::kSpawnVehicle, "SpawnVehicle",
      {ModelHash("model", assets::WeaponModels()), FixedFloat("x", 0.0f), FixedFloat("y", 0.0f),
       FixedFloat("z", 0.0f), FixedFloat("heading", 0.0f), Fixed("flag 1", 0), Fixed("flag 2", 0),
       Fixed("flag 3", 1), Fixed("flag 4", 0)},
      ResultKind::kInteger, [](const NativeCall& call) {
        call.ReturnInt(AddObject(call, "SpawnVehicle", true,
                                 Vec3{call.Float(1), call.Float(2), call.Float(3)}, call.Float(4)));
      });
  // Set with whatever SpawnVehicle answered, 0 included.
  table.Define(natives::kSetBoolDecorator, "SetBoolDecorator",
               {Handle("vehicle", kVehicleEntity, Presence::kExistingOrZero),
                TextOf("decorator", {assets::kWeaponDecorator}), Fixed("value", 1)},
               ResultKind::kNone, [](const NativeCall& call) {
                 if (WorldObject* object = ObjectOf(call.host.GetWorld(), call.Int(0))) {
                   object->decorators[call.Text(1)] = call.Int(2) != 0 ? 1 : 0;
                 }
               });
  table.Define(natives::kReleaseModel, "ReleaseModel", {ModelHash("model", assets::WeaponModels())},
               ResultKind::kNone, [](const NativeCall& call) {
                 Model& model = call.host.GetWorld().ModelFor(call.Uint(0));
                 model.requested = false;
                 model.loaded = false;
               });
}

void DefineHandling(NativeTable& table) {
  table.Define(natives::kPinEntity, "PinEntity",
               {Handle("entity", kAnyEntity, Presence::kOnceExisting), Fixed("flag", 1)},
               ResultKind::kNone, [](const NativeCall& call) {
                 if (WorldObject* object = ObjectOf(call.host.GetWorld(), call.Int(0))) {
                   object->pinned = call.Int(1) != 0;
                 }
               });
  table.Define(natives::kSetObjectRotation, "SetObjectRotation",
               {Handle("entity", kAnyEntity, Presence::kOnceExisting), FixedFloat("x", 0.0f),
                FixedFloat("y", 0.0f), Float("heading"), Fixed("flag 1", 1), Fixed("flag 2", 1)},
               ResultKind::kNone, [](const NativeCall& call) {
                 if (WorldObject* object = ObjectOf(call.host.GetWorld(), call.Int(0))) {
                   object->rotation = Vec3{call.Float(1), call.Float(2), call.Float(3)};
                 }
               });
  table.Define(natives::kRemoveObject, "RemoveObject",
               {HandleAddress("object", kObjectEntity | kVehicleEntity, Presence::kOnceExisting)},
               ResultKind::kNone, [](const NativeCall& call) {
                 std::int32_t* handle = call.Address<std::int32_t>(0);
                 call.host.GetWorld().RemoveObject(*handle);
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
