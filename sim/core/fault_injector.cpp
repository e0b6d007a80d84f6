// The injector's wrappers: each native of a kind gets a handler that asks the countdown first and
// then either plays the fault or hands the call to the game's own handler.
#include "core/fault_injector.h"

#include <cstring>
#include <limits>
#include <utility>

#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

constexpr std::uint32_t kDayMs = 24u * 60u * 60u * 1000u;
constexpr std::uint32_t kOneSecondShortOfWrap = 0xFFFFFFFFu - 999u;
// The model of the bystanders a crowded world is filled with.
constexpr std::string_view kBystanderModel = "bystander";

// Overwrites the z component of a Vector3 result (the float in the low half of word 2).
void SetResultZ(const NativeCall& call, float z) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &z, sizeof bits);
  call.result[2] = bits;
}

}  // namespace

std::string_view FaultKindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::kCreationFails:
      return "creation-fails";
    case FaultKind::kModelUnavailable:
      return "model-unavailable";
    case FaultKind::kModelInvalid:
      return "model-invalid";
    case FaultKind::kModelNeverLoads:
      return "model-never-loads";
    case FaultKind::kPedListFull:
      return "ped-list-full";
    case FaultKind::kRotationNaN:
      return "rotation-nan";
    case FaultKind::kRotationHuge:
      return "rotation-huge";
    case FaultKind::kPlayerDies:
      return "player-dies";
    case FaultKind::kTickJump:
      return "tick-jump";
    case FaultKind::kTickWrap:
      return "tick-wrap";
  }
  return "unknown";
}

FaultInjector::FaultInjector(SimHost& host) : host_(host) {
  WrapNatives();
  host_.SetPedListHook([this](int capacity) {
    if (!Strikes(FaultKind::kPedListFull)) {
      return;
    }
    World& world = host_.GetWorld();
    const Vec3 around = world.player.position;
    while (static_cast<int>(world.peds.size()) + 1 < capacity) {
      Ped bystander;
      bystander.model = World::NameHash(kBystanderModel);
      bystander.position = {around.x + 30.0f, around.y + 30.0f, around.z};
      world.AddPed(bystander);
    }
  });
  // A rotation's heading goes wrong after the game answered, outside its contract.
  host_.SetAnswerHook([this](std::uint64_t hash, const NativeCall& call) {
    if (hash != natives::kGetRotation) {
      return;
    }
    if (Strikes(FaultKind::kRotationNaN)) {
      SetResultZ(call, std::numeric_limits<float>::quiet_NaN());
    }
    if (Strikes(FaultKind::kRotationHuge)) {
      SetResultZ(call, 1e30f);
    }
  });
  host_.SetFrameHook([this] {
    if (Strikes(FaultKind::kTickJump)) {
      host_.SetTickCount(host_.TickCount() + kDayMs);
    }
    if (Strikes(FaultKind::kTickWrap)) {
      host_.SetTickCount(kOneSecondShortOfWrap);
    }
  });
}

void FaultInjector::Arm(FaultKind kind, std::uint64_t n, bool persistent) {
  armed_ = true;
  kind_ = kind;
  countdown_ = n == 0 ? 1 : n;
  persistent_ = persistent;
  injected_ = 0;
}

bool FaultInjector::Strikes(FaultKind kind) {
  if (!armed_ || kind != kind_) {
    return false;
  }
  if (countdown_ > 1) {
    --countdown_;
    return false;
  }
  if (countdown_ == 1 || persistent_) {
    countdown_ = 0;
    ++injected_;
    return true;
  }
  return false;
}

void FaultInjector::WrapNatives() {
  NativeTable& table = host_.Natives();
  // Answers 0 (the result area starts zeroed) instead of asking the game.
  const auto answerZero = [&table, this](std::uint64_t hash, FaultKind kind) {
    NativeHandler game = table.Override(hash, nullptr);
    table.Override(hash, [this, kind, game](const NativeCall& call) {
      if (!Strikes(kind) && game) {
        game(call);
      }
    });
  };
  answerZero(natives::kCreatePed, FaultKind::kCreationFails);
  answerZero(natives::kSpawnObject, FaultKind::kCreationFails);
  answerZero(natives::kSpawnVehicle, FaultKind::kCreationFails);
  answerZero(natives::kIsModelAvailable, FaultKind::kModelUnavailable);
  answerZero(natives::kIsModelValid, FaultKind::kModelInvalid);
  answerZero(natives::kHasModelLoaded, FaultKind::kModelNeverLoads);

  NativeHandler playerDead = table.Override(natives::kIsPlayerDead, nullptr);
  table.Override(natives::kIsPlayerDead, [this, playerDead](const NativeCall& call) {
    if (Strikes(FaultKind::kPlayerDies)) {
      host_.GetWorld().KillPlayer();
    }
    if (playerDead) {
      playerDead(call);
    }
  });
}

}  // namespace sim
