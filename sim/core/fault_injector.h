// Countdown fault injection into the simulated game. Armed with a kind of fault and a count N,
// the injector lets the first N-1 events of that kind pass and makes the Nth go wrong (and every
// later one, when persistent): a creation that creates nothing, a model that is unavailable,
// invalid or never loads, a ped list filled to its capacity, a ped count of 0, negative or beyond
// the list's capacity, a rotation whose heading is NaN or
// huge, the player dying just before a run tick asks, the tick count jumping or wrapping. Then
// what a live game and host do on their own: a ped the sweep listed leaving the world or its
// handle coming back as a new ped, a stranger or one of the player's group; an enemy leaving or
// cleared away; the held object leaving; the host starting the script function again; an
// allocation of the plug-in's code failing; the process exiting. And what a host built by
// others may answer: no result area at all, or a handle variable written back as 64 bits. And
// the player switching windows while holding a key.
// Sweeping N from 1 until the fault is no longer reached drives every failure path a session
// can meet. The injector wraps the natives' handlers and the host's hooks; it lives as long as
// the host it was made for, and only one injector serves a host.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace sim {

class SimHost;

enum class FaultKind {
  kCreationFails,     // CreatePed, SpawnObject, SpawnVehicle answer 0 and create nothing
  kModelUnavailable,  // IsModelAvailable answers 0
  kModelInvalid,      // IsModelValid answers 0
  kModelNeverLoads,   // HasModelLoaded answers 0 (persistent: the model never loads)
  kPedListFull,       // worldGetAllPeds finds the world crowded to the list's capacity
  kPedListEmpty,      // worldGetAllPeds answers 0 and writes nothing
  kPedCountNegative,  // worldGetAllPeds answers -1, as for an error, and writes nothing
  // The world holds more peds than the list's capacity: worldGetAllPeds fills the list and
  // answers how many there are.
  kPedCountOverCapacity,
  kRotationNaN,       // GetRotation's heading is NaN
  kRotationHuge,      // GetRotation's heading is 1e30
  kPlayerDies,        // the player dies just before IsPlayerDead answers
  kTickJump,          // the tick count leaps a day ahead at a frame
  kTickWrap,          // the tick count is set 1 s short of its wrap at a frame
  // At a frame while a ped the sweep listed (outside the player's group) is still about, the
  // last such ped ...
  kSweepPedVanishes,    // ... leaves the world
  kSweepPedReplaced,    // ... leaves, and its handle at once names a new stranger
  kSweepPedJoinsGroup,  // ... leaves, and its handle at once names a new ped of the player's group
  // At a frame while a living enemy is about, the first one ...
  kEnemyVanishes,       // ... leaves the world
  kEnemyCleanedUp,      // ... dies and is cleared away, its handle at once naming a ped of the
                        // player's group
  kHeldObjectVanishes,  // at a frame while the player is held still, the last object created leaves
  // At a frame whose plug-in state differs from the last frame's (every frame without a probe):
  kScriptRestart,    // the host starts the script function again
  kProcessExit,      // the process exits
  kAllocationFails,  // an allocation of the plug-in's own code throws std::bad_alloc
  // What the host answers:
  kNullResult,         // a native call is not run and nativeCall answers a null result area
  kHandleWrittenWide,  // a native given a handle variable's address writes it back as 64 bits
  // What the player does:
  kFocusLost,  // at a frame while a key is down, the game's window loses the keyboard focus for
               // kFocusAwayFrames frames (the player switching windows): no key-up comes for
               // the keys down, nor any message meanwhile
};

// Frames the game's window stays without the focus after a kFocusLost, about a second.
constexpr std::uint32_t kFocusAwayFrames = 60;

// The kinds of the game answering badly, and of the player switching windows, which a calm
// world also meets.
constexpr std::array<FaultKind, 14> kGameFaultKinds = {
    FaultKind::kCreationFails,   FaultKind::kModelUnavailable, FaultKind::kModelInvalid,
    FaultKind::kModelNeverLoads, FaultKind::kPedListFull,      FaultKind::kRotationNaN,
    FaultKind::kRotationHuge,    FaultKind::kPlayerDies,       FaultKind::kTickJump,
    FaultKind::kTickWrap,        FaultKind::kPedListEmpty,     FaultKind::kPedCountNegative,
    FaultKind::kPedCountOverCapacity, FaultKind::kFocusLost};
// The kinds of a live game and host going their own way.
constexpr std::array<FaultKind, 9> kChurnFaultKinds = {
    FaultKind::kSweepPedVanishes, FaultKind::kSweepPedReplaced, FaultKind::kSweepPedJoinsGroup,
    FaultKind::kEnemyVanishes,    FaultKind::kEnemyCleanedUp,   FaultKind::kHeldObjectVanishes,
    FaultKind::kScriptRestart,    FaultKind::kProcessExit,      FaultKind::kAllocationFails};

// True when this allocation is to fail: the plug-in's own code allocates on the frame thread
// and an injector armed with kAllocationFails strikes. The allocation functions ask it.
bool AllocationFails();
// Allocations made so far by this process, all threads, and those of them that failed as
// AllocationFails said: counted by the allocation functions of the programs that run the
// plug-in (core/allocation_failures.cpp).
std::uint64_t AllocationsMade();
std::uint64_t AllocationsFailed();

// The kind's name, for messages ("creation-fails", ...).
std::string_view FaultKindName(FaultKind kind);

class FaultInjector {
 public:
  // Installs itself in `host`'s natives and hooks; nothing is armed yet.
  explicit FaultInjector(SimHost& host);
  FaultInjector(const FaultInjector&) = delete;
  FaultInjector& operator=(const FaultInjector&) = delete;

  ~FaultInjector();

  // Tells the plug-in's state (any number standing for idle, a run, a menu, a placement, or a
  // mix) at a frame boundary; restarts and exits strike as it changes. Without one, every frame
  // is such an event.
  void SetStateProbe(std::function<int()> probe) { probe_ = std::move(probe); }

  // Makes the Nth event of `kind` from now go wrong (n from 1), and every later one when
  // `persistent`. Replaces whatever was armed before.
  void Arm(FaultKind kind, std::uint64_t n, bool persistent = false);
  // Nothing goes wrong any more.
  void Disarm();
  // True once the armed fault has been injected at least once.
  bool Reached() const { return injected_ > 0; }
  // How often the armed fault has been injected.
  std::uint64_t Injected() const { return injected_; }

  // True when this event of `kind` is to go wrong; counts it either way.
  bool Strikes(FaultKind kind);

 private:
  void WrapNatives();
  // The frame's faults of a live world: a listed ped, an enemy or the held object going.
  void StrikeWorld();
  void StrikeSweepPed();
  void StrikeEnemy();
  void StrikeFocus();
  // True at a frame whose probed state differs from the last frame's.
  bool StateChanged();

  SimHost& host_;
  bool armed_ = false;
  FaultKind kind_ = FaultKind::kCreationFails;
  std::uint64_t countdown_ = 0;  // events of the kind still to pass before the fault
  bool persistent_ = false;
  std::uint64_t injected_ = 0;
  std::function<int()> probe_;
  int lastState_ = -1;
  std::vector<std::int32_t> listed_;  // the sweep's last list, while a sweep kind is armed
  std::uint32_t focusReturnsAt_ = 0;  // the frame the window gets the focus back; 0: it has it
};

}  // namespace sim
