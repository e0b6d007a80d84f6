// Typed wrappers of the natives shared by several parts of the plug-in.
#include "runtime/natives.h"

namespace {
constexpr NativeHash kGetPlayer = 0x217E9DC48139933D;
constexpr NativeHash kGetPlayerPed = 0x096275889B8E0EE0;
constexpr NativeHash kGetEntityCoords = 0xA86D5F069399F44D;
constexpr NativeHash kTeleportEntity = 0x06843DA7060A026B;
constexpr NativeHash kGetNameHash = 0xFD340785ADF8CFB7;
constexpr NativeHash kIsModelAvailable = 0xD6F3B6D7716CFF8E;
constexpr NativeHash kIsModelValid = 0x392C8D8E07B70EFC;
constexpr NativeHash kRequestModel = 0xFA28FE3A6246FC30;
constexpr NativeHash kHasModelLoaded = 0x1283B8B89DD5D1B6;
constexpr NativeHash kIsPedDead = 0x3317DEDB88C95038;
constexpr NativeHash kDeletePed = 0xCC0EF140F99365C5;
constexpr NativeHash kGetGameTimeMs = 0x4F67E8ECA7D3F667;
}  // namespace

std::int32_t GetPlayer() {
  return native::Invoke<std::int32_t>(kGetPlayer);
}

EntityHandle GetPlayerPed() {
  return native::Invoke<EntityHandle>(kGetPlayerPed);
}

Vector3 GetEntityCoords(EntityHandle entity) {
  return native::Invoke<Vector3>(kGetEntityCoords, entity, 1, 1);
}

void TeleportEntity(EntityHandle entity, float x, float y, float z, std::int32_t flag1,
                    std::int32_t flag2, std::int32_t flag3, std::int32_t flag4) {
  native::Invoke(kTeleportEntity, entity, x, y, z, flag1, flag2, flag3, flag4);
}

std::uint32_t GetNameHash(const char* name) {
  return native::Invoke<std::uint32_t>(kGetNameHash, name);
}

bool IsModelAvailable(std::uint32_t model) {
  return native::Invoke<bool>(kIsModelAvailable, model);
}

bool IsModelValid(std::uint32_t model) {
  return native::Invoke<bool>(kIsModelValid, model);
}

void RequestModel(std::uint32_t model) {
  native::Invoke(kRequestModel, model, 0);
}

bool HasModelLoaded(std::uint32_t model) {
  return native::Invoke<bool>(kHasModelLoaded, model);
}

bool IsPedDead(EntityHandle ped) {
  return native::Invoke<bool>(kIsPedDead, ped, 1);
}

void DeletePed(EntityHandle* ped) {
  native::Invoke(kDeletePed, ped);
}

std::uint32_t GetGameTimeMs() {
  return native::Invoke<std::uint32_t>(kGetGameTimeMs);
}
