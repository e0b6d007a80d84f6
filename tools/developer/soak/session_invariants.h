// What must hold after every frame of a session of the plug-in, whatever the game answered and
// whatever faults were injected: what the player is left with (player_outcomes.h: a finished
// run's summary in the log and the banner, the controls taken exactly while an object is held,
// every object the plug-in created held or set down); no living enemy outlasts its run; at most
// one spawner menu is on screen; the simulated host saw nothing the game would refuse and the
// script yielded; every log (the working folder's, the fallback, another working folder's) only
// ever grew at its end. Among what the game refuses: a native given
// a handle of the wrong kind, a ped of the player's group (or the player's own) deleted, an
// exception leaving the script function and a host function called after the process-exit
// detach began. The soak and the fault sweeps check these after each frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/sim_host.h"
#include "developer/soak/player_outcomes.h"

// The plug-in's phase at a frame boundary, as bits: 1 a run is active, 2 a menu is open, 4 an
// object is held; 0 idle. Fault injection strikes restarts and exits as it changes.
int PluginPhase();

class SessionInvariants {
 public:
  // Watches `host` and the log file at `log`, the fallback log the plug-in writes to when that
  // one's folder refuses it, and the log in a working folder other than the game's, where the
  // game may have been started (none when empty).
  SessionInvariants(sim::SimHost& host, const std::filesystem::path& log,
                    const std::filesystem::path& fallbackLog = {},
                    const std::filesystem::path& otherWorkingFolderLog = {});

  // Checks every invariant after the frame just run; returns what broke, one line each (empty
  // when all hold). Reads the frame's screen, so the host must keep it.
  std::vector<std::string> Check();
  // True while the player is still owed a finished run's summary in the banner; checking on
  // until it is not tells whether it ever shows.
  bool SummaryOwed() const { return outcomes_.SummaryOwed(); }

 private:
  // A log file and what was seen of it.
  struct WatchedLog {
    std::filesystem::path path;
    std::string seen;           // its contents at the last check
    std::size_t verified = 0;   // its size when it was last read whole
  };
  // Checks that `log` only grew at its end since the last check; returns what it gained.
  std::string_view LogAdded(WatchedLog& log, const std::string& frame,
                            std::vector<std::string>& broken);

  sim::SimHost& host_;
  std::vector<WatchedLog> logs_;
  std::size_t faultsSeen_ = 0;   // host faults already reported
  PlayerOutcomes outcomes_;
};
