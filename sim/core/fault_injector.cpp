// The injector's wrappers: each native of a kind gets a handler that asks the countdown first and
// then either plays the fault or hands the call to the game's own handler.
#include "core/fault_injector.h"

#include <array>
#include <atomic>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

namespace {

constexpr std::uint32_t kDayMs = 24u * 60u * 60u * 1000u;
constexpr std::uint32_t kOneSecondShortOfWrap = 0xFFFFFFFFu - 999u;
// The model of the bystanders a crowded world is filled with.
constexpr std::string_view kBystanderModel = "bystander";
// The model of the enemies the plug-in sends against the player.
constexpr std::string_view kEnemyModel = "A_M_M_RANCHER_01";

// The injector armed with a kind that strikes outside the host's hooks (the plug-in's heap, a
// Win32 function), if any: the allocation and Win32 functions reach it here.
std::atomic<FaultInjector*> outsideInjector{nullptr};

// The strikes of each kind so far, by the kind's value.
std::array<std::atomic<std::uint64_t>, kFaultRows.size()> strikesByKind{};

// A new ped under the handle `handle`, whose old ped has just left: a stranger, or one of the
// player's group.
void HandleComesBack(World& world, std::int32_t handle, bool ofPlayersGroup) {
  Ped newcomer;
  newcomer.model = World::NameHash(kBystanderModel);
  newcomer.position = world.player.position;
  newcomer.group = ofPlayersGroup ? world.player.group : 0;
  world.peds[handle] = newcomer;
}

// Adds bystanders around the player until the world holds `count` peds, the player's own included.
void CrowdWorld(World& world, int count) {
  const Vec3 around = world.player.position;
  while (static_cast<int>(world.peds.size()) + 1 < count) {
    Ped bystander;
    bystander.model = World::NameHash(kBystanderModel);
    bystander.position = {around.x + 30.0f, around.y + 30.0f, around.z};
    world.AddPed(bystander);
  }
}

// Overwrites the z component of a Vector3 result (the float in the low half of word 2).
void SetResultZ(const NativeCall& call, float z) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &z, sizeof bits);
  call.result[2] = bits;
}

}  // namespace

FaultInjector::FaultInjector(SimHost& host) : host_(host) {
  WrapNatives();
  host_.SetPedListHook([this](int* peds, int capacity) -> std::optional<int> {
    World& world = host_.GetWorld();
    if (armed_ && (kind_ == FaultKind::kSweepPedVanishes || kind_ == FaultKind::kSweepPedReplaced ||
                   kind_ == FaultKind::kSweepPedJoinsGroup)) {
      listed_.resize(static_cast<std::size_t>(capacity));
      listed_.resize(static_cast<std::size_t>(world.ListPeds(listed_.data(), capacity)));
    }
    if (Strikes(FaultKind::kPedListFull)) {
      CrowdWorld(world, capacity);
    }
    if (Strikes(FaultKind::kPedListEmpty)) {
      return 0;
    }
    if (Strikes(FaultKind::kPedCountNegative)) {
      return -1;
    }
    if (Strikes(FaultKind::kPedCountOverCapacity)) {
      CrowdWorld(world, capacity + 1);
      world.ListPeds(peds, capacity);
      return static_cast<int>(world.peds.size()) + 1;
    }
    return std::nullopt;
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
  host_.SetWithholdHook([this](std::uint64_t) { return Strikes(FaultKind::kNullResult); });
  host_.SetFrameHook([this] {
    if (Strikes(FaultKind::kTickJump)) {
      host_.SetTickCount(host_.TickCount() + kDayMs);
    }
    if (Strikes(FaultKind::kTickWrap)) {
      host_.SetTickCount(kOneSecondShortOfWrap);
    }
    StrikeWorld();
    StrikeFocus();
    if (StateChanged()) {
      if (Strikes(FaultKind::kScriptRestart)) {
        host_.RestartScript();
      }
      if (Strikes(FaultKind::kProcessExit)) {
        host_.ExitProcess();
      }
    }
  });
}

FaultInjector::~FaultInjector() {
  Disarm();
  if (focusReturnsAt_ != 0) {
    host_.SetWindowFocused(true);
  }
}

// The window away from the focus gets it back in time, armed or not; while a key is down, it
// may lose it.
void FaultInjector::StrikeFocus() {
  if (focusReturnsAt_ != 0 && host_.Frame() >= focusReturnsAt_) {
    host_.SetWindowFocused(true);
    focusReturnsAt_ = 0;
  }
  if (focusReturnsAt_ == 0 && armed_ && kind_ == FaultKind::kFocusLost && host_.AnyKeyDown() &&
      Strikes(FaultKind::kFocusLost)) {
    host_.SetWindowFocused(false);
    focusReturnsAt_ = host_.Frame() + kFocusAwayFrames;
  }
}

void FaultInjector::Disarm() {
  armed_ = false;
  FaultInjector* self = this;
  outsideInjector.compare_exchange_strong(self, nullptr);
}

bool FaultInjector::StateChanged() {
  if (!probe_) {
    return true;
  }
  const int state = probe_();
  const bool changed = state != lastState_;
  lastState_ = state;
  return changed;
}

void FaultInjector::StrikeWorld() {
  if (!armed_) {
    return;
  }
  switch (kind_) {
    case FaultKind::kSweepPedVanishes:
    case FaultKind::kSweepPedReplaced:
    case FaultKind::kSweepPedJoinsGroup:
      StrikeSweepPed();
      return;
    case FaultKind::kEnemyVanishes:
    case FaultKind::kEnemyCleanedUp:
      StrikeEnemy();
      return;
    case FaultKind::kHeldObjectVanishes: {
      World& world = host_.GetWorld();
      if (!world.player.controlsEnabled && world.objects.count(world.lastObjectHandle) != 0 &&
          Strikes(kind_)) {
        world.ObjectLeaves(world.lastObjectHandle);
      }
      return;
    }
    default:
      return;
  }
}

// The last listed ped the sweep has still to delete goes: it is as far from its turn as can be.
void FaultInjector::StrikeSweepPed() {
  World& world = host_.GetWorld();
  while (!listed_.empty()) {
    const std::int32_t handle = listed_.back();
    const Ped* ped = world.FindPed(handle);
    if (ped == nullptr || ped->group == world.player.group) {
      listed_.pop_back();
      continue;
    }
    if (!Strikes(kind_)) {
      return;
    }
    listed_.pop_back();
    world.RemovePed(handle);
    if (kind_ != FaultKind::kSweepPedVanishes) {
      HandleComesBack(world, handle, kind_ == FaultKind::kSweepPedJoinsGroup);
    }
    return;
  }
}

void FaultInjector::StrikeEnemy() {
  World& world = host_.GetWorld();
  const std::uint32_t enemyModel = World::NameHash(kEnemyModel);
  for (const auto& [handle, ped] : world.peds) {
    if (ped.model != enemyModel || ped.dead || !ped.heldByScript) {
      continue;
    }
    if (Strikes(kind_)) {
      const std::int32_t gone = handle;
      world.RemovePed(gone);
      if (kind_ == FaultKind::kEnemyCleanedUp) {
        HandleComesBack(world, gone, true);
      }
    }
    return;
  }
}

bool AllocationFails() {
  FaultInjector* injector = outsideInjector.load(std::memory_order_relaxed);
  return injector != nullptr && SimHost::InPluginCode() &&
         injector->Strikes(FaultKind::kAllocationFails);
}

std::uint64_t StrikesOf(FaultKind kind) {
  return strikesByKind[static_cast<std::size_t>(kind)].load(std::memory_order_relaxed);
}

bool Win32CallFails(FaultKind kind) {
  FaultInjector* injector = outsideInjector.load(std::memory_order_relaxed);
  return injector != nullptr && injector->Strikes(kind);
}

void FaultInjector::Arm(FaultKind kind, std::uint64_t n, bool persistent) {
  Disarm();
  const FaultSite site = RowOf(kind).site;
  if (site == FaultSite::kHeap || site == FaultSite::kWin32) {
    outsideInjector.store(this);
  }
  listed_.clear();
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
    strikesByKind[static_cast<std::size_t>(kind)].fetch_add(1, std::memory_order_relaxed);
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

  // The handle variable is written back as a 64-bit word after the game's own handler ran.
  for (const std::uint64_t hash :
       {natives::kDeletePed, natives::kReleasePed, natives::kRemoveObject}) {
    NativeHandler game = table.Override(hash, nullptr);
    table.Override(hash, [this, game](const NativeCall& call) {
      if (game) {
        game(call);
      }
      if (Strikes(FaultKind::kHandleWrittenWide)) {
        const std::int64_t wide = *call.Address<std::int32_t>(0);
        std::memcpy(call.Address<void>(0), &wide, sizeof wide);
      }
    });
  }

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
