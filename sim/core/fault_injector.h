// Countdown fault injection into the simulated game, its host and its system. Armed with a kind
// of fault (a row of core/fault_table.h) and a count N, the injector lets the first N-1 events
// of that kind pass and makes the Nth go wrong (and every later one, when persistent): a native
// answering wrongly, a host function answering outside what the plug-in may assume, a Win32
// function failing, an allocation of the plug-in's failing, the player switching windows while
// holding a key, the world going its own way between frames.
// Sweeping N from 1 until the fault is no longer reached drives every failure path a session
// can meet. The injector wraps the natives' handlers and the host's hooks; it lives as long as
// the host it was made for, and only one injector serves a host.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/fault_table.h"

namespace sim {

class SimHost;

// Frames the game's window stays without the focus after a kFocusLost, about a second.
constexpr std::uint32_t kFocusAwayFrames = 60;

// True when this allocation is to fail: the plug-in's own code allocates on the frame thread
// and an injector armed with kAllocationFails strikes. The allocation functions ask it.
bool AllocationFails();
// Allocations made so far by this process, all threads, and those of them that failed as
// AllocationFails said: counted by the allocation functions of the programs that run the
// plug-in (core/allocation_failures.cpp).
std::uint64_t AllocationsMade();
std::uint64_t AllocationsFailed();

// How often faults of `kind` struck so far in this process, whichever injector armed them: what
// the player may be left without (a log line no folder took) is told by it.
std::uint64_t StrikesOf(FaultKind kind);

// True when this call of a simulated Win32 function is to fail as the row of `kind` says: an
// injector armed with `kind` strikes. The Win32 functions (sim/win32/) ask it.
bool Win32CallFails(FaultKind kind);

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
