// Countdown fault injection into the simulated game. Armed with a kind of fault and a count N,
// the injector lets the first N-1 events of that kind pass and makes the Nth go wrong (and every
// later one, when persistent): a creation that creates nothing, a model that is unavailable,
// invalid or never loads, a ped list filled to its capacity, a rotation whose heading is NaN or
// huge, the player dying just before a run tick asks, the tick count jumping or wrapping.
// Sweeping N from 1 until the fault is no longer reached drives every failure path a session
// can meet. The injector wraps the natives' handlers and the host's hooks; it lives as long as
// the host it was made for, and only one injector serves a host.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sim {

class SimHost;

enum class FaultKind {
  kCreationFails,     // CreatePed, SpawnObject, SpawnVehicle answer 0 and create nothing
  kModelUnavailable,  // IsModelAvailable answers 0
  kModelInvalid,      // IsModelValid answers 0
  kModelNeverLoads,   // HasModelLoaded answers 0 (persistent: the model never loads)
  kPedListFull,       // worldGetAllPeds finds the world crowded to the list's capacity
  kRotationNaN,       // GetRotation's heading is NaN
  kRotationHuge,      // GetRotation's heading is 1e30
  kPlayerDies,        // the player dies just before IsPlayerDead answers
  kTickJump,          // the tick count leaps a day ahead at a frame
  kTickWrap,          // the tick count is set 1 s short of its wrap at a frame
};

// Every kind, for sweeps.
constexpr std::array<FaultKind, 10> kAllFaultKinds = {
    FaultKind::kCreationFails,   FaultKind::kModelUnavailable, FaultKind::kModelInvalid,
    FaultKind::kModelNeverLoads, FaultKind::kPedListFull,      FaultKind::kRotationNaN,
    FaultKind::kRotationHuge,    FaultKind::kPlayerDies,       FaultKind::kTickJump,
    FaultKind::kTickWrap};

// The kind's name, for messages ("creation-fails", ...).
std::string_view FaultKindName(FaultKind kind);

class FaultInjector {
 public:
  // Installs itself in `host`'s natives and hooks; nothing is armed yet.
  explicit FaultInjector(SimHost& host);
  FaultInjector(const FaultInjector&) = delete;
  FaultInjector& operator=(const FaultInjector&) = delete;

  // Makes the Nth event of `kind` from now go wrong (n from 1), and every later one when
  // `persistent`. Replaces whatever was armed before.
  void Arm(FaultKind kind, std::uint64_t n, bool persistent = false);
  // Nothing goes wrong any more.
  void Disarm() { armed_ = false; }
  // True once the armed fault has been injected at least once.
  bool Reached() const { return injected_ > 0; }
  // How often the armed fault has been injected.
  std::uint64_t Injected() const { return injected_; }

 private:
  // True when this event of `kind` is to go wrong; counts it either way.
  bool Strikes(FaultKind kind);
  void WrapNatives();

  SimHost& host_;
  bool armed_ = false;
  FaultKind kind_ = FaultKind::kCreationFails;
  std::uint64_t countdown_ = 0;  // events of the kind still to pass before the fault
  bool persistent_ = false;
  std::uint64_t injected_ = 0;
};

}  // namespace sim
