// The player's outcomes, checked frame by frame: the summary follows a run's end from the log to
// the banner's next drawing; the plug-in's objects are followed by the world's serial numbers,
// so that an object deleted and another created under its handle are told apart. Only the
// plug-in creates objects in the simulated game, so every object that appears is its own.
#include "developer/soak/player_outcomes.h"

#include <algorithm>

#include "core/fault_injector.h"
#include "observers/plugin_view.h"

namespace {

constexpr std::string_view kSummaryStart = "You survived for ";
// What the banner says when F2 captured the player's position into a log.
constexpr std::string_view kPositionSaved = "Position saved!";
constexpr std::string_view kPositionNotSaved = "Position not saved";
// The banner shows a run's summary for 6 s, centred in the middle of the screen.
constexpr std::uint32_t kSummaryShownMs = 6000;
constexpr float kBannerX = 0.5f;
constexpr float kBannerY = 0.5f;

// The last line of `text` that is a run's summary, without its line end; empty when none is.
std::string SummaryLine(std::string_view text) {
  std::string found;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (line.starts_with(kSummaryStart)) {
      found = line;
    }
  }
  return found;
}

// The banner's two lines as the log writes them, on one.
std::string OnOneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

// True when tick count `later` is not before `earlier`, across the wrap.
bool NotBefore(std::uint32_t later, std::uint32_t earlier) {
  return static_cast<std::int32_t>(later - earlier) >= 0;
}

}  // namespace

PlayerOutcomes::PlayerOutcomes(sim::SimHost& host)
    : host_(host),
      scriptStarts_(host.ScriptStarts()),
      allocationFailures_(sim::AllocationsFailed()),
      logRefusals_(sim::StrikesOf(sim::FaultKind::kEveryFolderRefusesWrites)),
      objectsTaken_(host.GetWorld().objectsLeftOnTheirOwn),
      lastTick_(host.TickCount()),
      runWasActive_(ObservePlugin().run.runActive),
      forgottenUpTo_(host.GetWorld().objectsCreated) {}

void PlayerOutcomes::Check(std::string_view logAdded, const std::string& frame,
                           std::vector<std::string>& broken) {
  FrameFacts facts = TakeFrameFacts();
  CheckSummary(logAdded, facts, frame, broken);
  CheckCapture(logAdded, frame, broken);
  CheckObjects(facts, frame, broken);
  CheckControls(facts, frame, broken);
}

PlayerOutcomes::FrameFacts PlayerOutcomes::TakeFrameFacts() {
  // The set-up of a new start runs in the frame after it at the latest, so the records may
  // still change by it in the next check.
  const bool started = host_.ScriptStarts() != scriptStarts_ || host_.ProcessExited();
  FrameFacts facts{.forgetting = started || startedLastFrame_,
                   .allocationFailed = sim::AllocationsFailed() != allocationFailures_,
                   .logsRefused = sim::StrikesOf(sim::FaultKind::kEveryFolderRefusesWrites) !=
                                  logRefusals_,
                   .objectsTaken = host_.GetWorld().objectsLeftOnTheirOwn - objectsTaken_,
                   .clockLeapt = host_.TickCount() - lastTick_ != host_.FrameDuration()};
  startedLastFrame_ = started;
  scriptStarts_ = host_.ScriptStarts();
  allocationFailures_ = sim::AllocationsFailed();
  logRefusals_ = sim::StrikesOf(sim::FaultKind::kEveryFolderRefusesWrites);
  objectsTaken_ = host_.GetWorld().objectsLeftOnTheirOwn;
  lastTick_ = host_.TickCount();
  return facts;
}

void PlayerOutcomes::CheckSummary(std::string_view logAdded, const FrameFacts& facts,
                                  const std::string& frame, std::vector<std::string>& broken) {
  const PluginView& plugin = ObservePlugin();
  const std::uint32_t now = host_.TickCount();
  if (summary_ && facts.forgetting) {
    summary_.reset();
  }
  if (summary_) {
    summary_->clockLeapt = summary_->clockLeapt || facts.clockLeapt;
    for (const sim::DrawnText& text : host_.Screen().TextsInFrame(host_.Frame())) {
      if (text.x != kBannerX || text.y != kBannerY) {
        continue;
      }
      const bool summary = text.text.starts_with(kSummaryStart);
      if (summary && !summary_->logLine.empty() && OnOneLine(text.text) != summary_->logLine) {
        broken.push_back(frame + "the banner's summary '" + text.text + "' is not the log's '" +
                         summary_->logLine + "'");
      }
      const bool replaced = !summary && plugin.banner != nullptr &&
                            NotBefore(plugin.banner->shownAt, summary_->endedAt);
      if (!summary && !replaced) {
        broken.push_back(frame + "the banner shows '" + text.text + "' from before the run's end" +
                         " in frame " + std::to_string(summary_->frame) +
                         ", not its summary");
      }
      summary_.reset();
      break;
    }
  }
  const bool running = plugin.run.runActive;
  const bool ended = runWasActive_ && !running && !facts.forgetting;
  // Its time is up, or another run ended: a new run starts only in a frame that drew the banner
  // first, so a summary still owed then was never drawn.
  if (summary_ && (now - summary_->endedAt >= kSummaryShownMs || ended)) {
    if (!summary_->clockLeapt) {
      broken.push_back(frame + "the summary of the run that ended in frame " +
                       std::to_string(summary_->frame) + " never showed in the banner");
    }
    summary_.reset();
  }
  if (ended) {
    std::string logged = SummaryLine(logAdded);
    if (logged.empty() && !facts.allocationFailed && !facts.logsRefused) {
      broken.push_back(frame + "a run ended and the log gained no summary");
    }
    summary_ = PendingSummary{.endedAt = now, .frame = host_.Frame(), .logLine = std::move(logged)};
  }
  runWasActive_ = running;
}

void PlayerOutcomes::CheckCapture(std::string_view logAdded, const std::string& frame,
                                  std::vector<std::string>& broken) {
  const Notification* banner = ObservePlugin().banner;
  if (banner == nullptr) {
    return;
  }
  const bool shownNow = banner->shownAt != bannerShownAt_ || banner->text != bannerText_;
  bannerShownAt_ = banner->shownAt;
  bannerText_ = banner->text;
  const bool logged = logAdded.find('{') != std::string_view::npos;
  if (shownNow && banner->text == kPositionSaved && !logged) {
    broken.push_back(frame + "the banner says the position was saved, but no log gained it");
  }
  if (shownNow && banner->text.starts_with(kPositionNotSaved) && logged) {
    broken.push_back(frame + "the banner says the position was not saved, but a log gained it");
  }
}

void PlayerOutcomes::CheckObjects(FrameFacts& facts, const std::string& frame,
                                  std::vector<std::string>& broken) {
  const sim::World& world = host_.GetWorld();
  const PlacementState& placement = ObservePlugin().placement;
  const std::uint64_t comeAndGone = world.objectsCreated + world.objectsRemoved;
  if (facts.forgetting) {
    forgottenUpTo_ = world.objectsCreated;
    objects_.clear();
    notSetDown_.clear();
    objectsComeAndGone_ = comeAndGone;
    setDown_.clear();
    heldSerial_ = 0;
    lastSerial_ = 0;
    return;
  }
  const std::uint64_t held = SerialInWorld(placement.placingObject);
  const std::uint64_t last = SerialInWorld(placement.lastSpawnedObject);
  if (comeAndGone == objectsComeAndGone_) {
    // No object came or went: none vanished, and only those not set down can be unaccounted for.
    CheckEachIsAccountedFor(std::map(notSetDown_), held, last, frame, broken);
    return;
  }

  std::map<std::int32_t, std::uint64_t> present;
  for (const auto& [handle, object] : world.objects) {
    if (object.serial > forgottenUpTo_) {
      present.emplace(handle, object.serial);
    }
  }
  for (const auto& [handle, serial] : objects_) {
    if (SerialInWorld(handle) == serial) {
      continue;
    }
    const bool wasSetDown = setDown_.erase(serial) != 0;
    if (facts.objectsTaken > 0) {
      --facts.objectsTaken;
      heldGoneTold_ = heldGoneTold_ || serial == heldSerial_;
      continue;
    }
    if (serial == heldSerial_) {
      // Still held under its handle while no object has it: deleted from the player's hands. A
      // newer object under the handle, held, is a new placement begun in the same frame as the
      // old one ended, the game handing the new object the freed handle.
      if (placement.placingObject == handle && SerialInWorld(handle) == 0) {
        broken.push_back(frame + "object " + std::to_string(handle) +
                         " was deleted while the player still holds it");
        heldGoneTold_ = true;
      }
      continue;  // otherwise its placement ended: cancelled
    }
    if (serial == lastSerial_) {
      if (placement.lastSpawnedObject == handle) {
        broken.push_back(frame + "object " + std::to_string(handle) +
                         " vanished while remembered as the last one set down");
      }
      continue;  // otherwise the delete row removed it
    }
    broken.push_back(frame + "object " + std::to_string(handle) + " vanished" +
                     (wasSetDown ? ", set down earlier" : ", never held or set down"));
  }
  CheckEachIsAccountedFor(present, held, last, frame, broken);
  objects_ = std::move(present);
  objectsComeAndGone_ = comeAndGone;
}

std::uint64_t PlayerOutcomes::SerialInWorld(std::int32_t handle) const {
  const sim::World& world = host_.GetWorld();
  const auto found = world.objects.find(handle);
  return found == world.objects.end() || found->second.serial <= forgottenUpTo_
             ? 0
             : found->second.serial;
}

void PlayerOutcomes::CheckEachIsAccountedFor(const std::map<std::int32_t, std::uint64_t>& objects,
                                             std::uint64_t held, std::uint64_t last,
                                             const std::string& frame,
                                             std::vector<std::string>& broken) {
  notSetDown_.clear();
  for (const auto& [handle, serial] : objects) {
    if (serial != held && serial != last && setDown_.count(serial) == 0) {
      broken.push_back(frame + "object " + std::to_string(handle) +
                       " is left in the world, neither held nor set down");
    }
    if (serial != last && setDown_.count(serial) == 0) {
      notSetDown_.emplace(handle, serial);
    }
  }
  if (last != 0) {
    setDown_.insert(last);
  }
  heldSerial_ = held;
  lastSerial_ = last;
}

void PlayerOutcomes::CheckControls(const FrameFacts& facts, const std::string& frame,
                                   std::vector<std::string>& broken) {
  const sim::World& world = host_.GetWorld();
  const std::int32_t held = ObservePlugin().placement.placingObject;
  if (world.player.controlsEnabled == (held != 0)) {
    broken.push_back(frame + (held != 0 ? "an object is held but the player's controls are on"
                                        : "nothing is held but the player's controls are off"));
  }
  if (held != heldHandle_ || facts.forgetting) {
    heldGoneTold_ = false;
    heldHandle_ = held;
  }
  if (held != 0 && !facts.forgetting && !heldGoneTold_ && world.objects.count(held) == 0) {
    broken.push_back(frame + "the player is held still with object " + std::to_string(held) +
                     ", which is not in the world");
    heldGoneTold_ = true;
  }
}
