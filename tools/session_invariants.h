// What must hold after every frame of a session of the plug-in, whatever the game answered and
// whatever faults were injected: the player's controls are taken exactly while an object is
// held; no living enemy outlasts its run; at most one spawner menu is on screen; the simulated
// host saw nothing the game would refuse and the script yielded; the log only ever grew at its
// end. The soak and the fault sweeps check these after each frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/sim_host.h"

class SessionInvariants {
 public:
  // Watches `host` and the log file at `log`.
  SessionInvariants(sim::SimHost& host, std::filesystem::path log);

  // Checks every invariant after the frame just run; returns what broke, one line each (empty
  // when all hold). Reads the frame's screen, so the host must keep it.
  std::vector<std::string> Check();

 private:
  sim::SimHost& host_;
  std::filesystem::path log_;
  std::string logSeen_;          // the log's contents at the last check
  std::size_t logVerified_ = 0;  // the log's size when it was last read whole
  std::size_t faultsSeen_ = 0;   // host faults already reported
};
