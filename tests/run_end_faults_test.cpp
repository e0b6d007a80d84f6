// A run's end under a failing heap: the allocation that fails is swept over every allocation the
// end of a run makes, N = 1, 2, 3 ... until the end no longer reaches the Nth. Whichever fails,
// the player sees the run end: the HUD goes, the enemies are gone and the banner shows the
// summary, and the log holds the summary: its write allocates nothing of the plug-in's.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/fault_injector.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival_steps.h"

namespace {

using namespace survival_test;

constexpr const char* kBanner = "You survived for 1:05 and got 0 kill(s)\n(10 max enemies)";
constexpr const char* kLogLine = "You survived for 1:05 and got 0 kill(s) (10 max enemies)";

// What one case of the sweep saw, written by its child process into memory shared with the
// parent.
struct CaseOutcome {
  bool reached;    // the run's end made at least n allocations
  bool logHeld;    // the log holds the summary line, once
};
constexpr std::size_t kMostCases = 256;
struct SweepRecord {
  std::uint64_t n;                        // the allocation to fail, from the end's first
  std::array<CaseOutcome, kMostCases> outcomes;
};
SweepRecord* record = static_cast<SweepRecord*>(mmap(
    nullptr, sizeof(SweepRecord), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

// A run of 1:05 whose player dies; the nth allocation from the death on fails.
void EndRunWithFailingAllocation() {
  holdout_test::Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  StartRunAtStart(s);
  s.RunFrames(30);
  ASSERT_TRUE(runState.runActive);
  s.host.SetGameTime(runState.startGameTime + 65400 - s.host.FrameDuration());
  world.KillPlayer();
  sim::FaultInjector injector(s.host);
  injector.Arm(sim::FaultKind::kAllocationFails, record->n);
  // A failure while the summary is built leaves the run to end at the next tick.
  for (int frame = 0; frame < 3; ++frame) {
    s.RunFrame();
  }
  CaseOutcome& outcome = record->outcomes[record->n];
  outcome.reached = injector.Reached();
  outcome.logHeld = s.ReadLog() == std::string(kLogLine) + "\n";

  const std::string name = "allocation " + std::to_string(record->n) + " failing";
  EXPECT_TRUE(CornerTexts(s, s.host.Frame()).empty()) << name << ": the HUD is gone";
  EXPECT_EQ(BannerTexts(s, s.host.Frame()), std::vector<std::string>{kBanner}) << name;
  EXPECT_TRUE(LivingEnemies(world).empty()) << name;
  EXPECT_TRUE(world.player.controlsEnabled) << name;
}

TEST(RunEndUnderFailingAllocations, SummaryIsAlwaysShownAndLogged) {
  ASSERT_NE(record, MAP_FAILED);
  std::uint64_t n = 1;
  for (; n < kMostCases; ++n) {
    record->n = n;
    record->outcomes[n] = CaseOutcome{false, false};
    holdout_test::RunInFreshProcess(&EndRunWithFailingAllocation);
    if (!record->outcomes[n].reached || HasFailure()) {
      break;
    }
  }
  ASSERT_LT(n, kMostCases);
  const std::uint64_t allocations = n - 1;
  ASSERT_GT(allocations, 0u) << "the summary is built on the heap";
  for (std::uint64_t i = 1; i <= allocations; ++i) {
    EXPECT_TRUE(record->outcomes[i].logHeld) << "allocation " << i << " of " << allocations;
  }
}

}  // namespace
