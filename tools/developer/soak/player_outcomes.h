// What the player is left with after each frame of a session, read from the simulated world, the
// screen and the log; the plug-in's records only name what it holds and remembers.
// - A run that ended adds its summary to the log (or the fallback log), unless an allocation
//   failed in that frame (a dropped log line is allowed: the log's own write may be what failed)
//   or no folder took the log's file (the banner's summary is then all the player has), and
//   the banner draws
//   that summary in a later frame, unless a banner text shown after the run's end replaced it
//   before it was drawn, or the tick count leapt past its showing.
// - The player's controls are taken exactly while the plug-in holds an object, and the object
//   held is in the world unless the game took it away on its own.
// - Every object the plug-in created is held, is the last one it set down, or was set down
//   earlier: an object let go without being set down is gone from the world, and none vanishes
//   but the held one as its placement ends, the last one set down as the delete row removes it,
//   or one the game took away.
// - A position F2 captured is in a log (in the working folder, wherever that is, or the fallback)
//   when the banner says "Position saved!"; where no log took it, the banner says it was not
//   saved.
// A new start of the script function, or the process's end, leaves the run, the banner and the
// objects from before out of the reckoning: the plug-in's set-up forgets them by design.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/sim_host.h"

class PlayerOutcomes {
 public:
  // Watches `host` from its state now on; objects that exist already are left out.
  explicit PlayerOutcomes(sim::SimHost& host);

  // Checks the frame just run, given what the log gained in it; adds what broke to `broken`,
  // each line starting with `frame`.
  void Check(std::string_view logAdded, const std::string& frame,
             std::vector<std::string>& broken);
  // True while a run's summary has still to show in the banner.
  bool SummaryOwed() const { return summary_.has_value(); }

 private:
  // What changed since the last check, beyond the plug-in's records.
  struct FrameFacts {
    bool forgetting;          // a new start or the process's end in this frame or the last
    bool allocationFailed;    // an allocation failed on command
    bool logsRefused;         // every folder refused the log's file on command
    std::uint64_t objectsTaken;  // objects the game took away on its own
    bool clockLeapt;          // the tick count moved otherwise than by one frame
  };
  // The summary of the run that ended last, until the banner drew it or it can no longer show.
  struct PendingSummary {
    std::uint32_t endedAt;   // the tick count of the frame the run ended in
    std::uint32_t frame;     // that frame
    std::string logLine;     // the summary the log gained then; empty when it was dropped
    bool clockLeapt = false; // the tick count leapt since
  };

  FrameFacts TakeFrameFacts();
  void CheckSummary(std::string_view logAdded, const FrameFacts& facts, const std::string& frame,
                    std::vector<std::string>& broken);
  // A capture's banner against what the logs gained.
  void CheckCapture(std::string_view logAdded, const std::string& frame,
                    std::vector<std::string>& broken);
  void CheckObjects(FrameFacts& facts, const std::string& frame,
                    std::vector<std::string>& broken);
  // The serial of the plug-in's object under `handle` in the world now; 0 when there is none.
  std::uint64_t SerialInWorld(std::int32_t handle) const;
  // Reports each of `objects` that is neither the one `held`, nor the `last` one set down, nor
  // set down earlier (by their serials), keeps those not set down in notSetDown_, and takes
  // `held` and `last` as the roles of the next check.
  void CheckEachIsAccountedFor(const std::map<std::int32_t, std::uint64_t>& objects,
                               std::uint64_t held, std::uint64_t last, const std::string& frame,
                               std::vector<std::string>& broken);
  void CheckControls(const FrameFacts& facts, const std::string& frame,
                     std::vector<std::string>& broken);

  sim::SimHost& host_;
  std::uint64_t scriptStarts_;
  bool startedLastFrame_ = false;
  std::uint64_t allocationFailures_;
  std::uint64_t logRefusals_;
  std::uint64_t objectsTaken_;
  std::uint32_t lastTick_;
  bool runWasActive_;
  std::optional<PendingSummary> summary_;
  std::uint32_t bannerShownAt_ = 0;  // the banner's showing at the last check
  std::string bannerText_;
  std::uint64_t forgottenUpTo_;                   // objects up to this serial are left out
  std::map<std::int32_t, std::uint64_t> objects_;  // the plug-in's objects at the last check
  // Of them, those not yet set down: the only ones that can break the rule while no object
  // comes or goes, so that a frame of a long session costs as much as one of a short session.
  std::map<std::int32_t, std::uint64_t> notSetDown_;
  std::uint64_t objectsComeAndGone_ = 0;          // the world's creations and removals then
  std::set<std::uint64_t> setDown_;               // serials seen as the last one set down
  std::uint64_t heldSerial_ = 0;                  // the object held at the last check
  std::uint64_t lastSerial_ = 0;                  // the last one set down at the last check
  std::int32_t heldHandle_ = 0;                   // the handle held at the last check
  // The held object left the world during this placement and that was accounted for: the game
  // took it away, or its absence was reported once.
  bool heldGoneTold_ = false;
};
