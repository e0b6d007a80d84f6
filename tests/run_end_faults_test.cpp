// A run's end under a failing heap: the allocation that fails is swept over every allocation the
// end of a run makes, N = 1, 2, 3 ... until the end no longer reaches the Nth. Whichever fails,
// the player sees the run end: the HUD goes, the enemies are gone and the banner shows the
// summary. The log holds the summary too, unless the failed allocation was the log's own write,
// which may drop its line.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/fault_injector.h"
#include "settings/log.h"
#include "support/allocation_counter.h"
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
  std::uint64_t logWriteAllocations;      // what the log's own write allocates
  std::array<CaseOutcome, kMostCases> outcomes;
};
SweepRecord* record = static_cast<SweepRecord*>(mmap(
    nullptr, sizeof(SweepRecord), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

// The allocations of one summary line's write to a log not written before in the process.
void MeasureLogWrite() {
  holdout_test::Scenario s;
  std::string line = kLogLine;
  const std::uint64_t before = holdout_test::AllocationCount();
  WriteLog(std::move(line));
  record->logWriteAllocations = holdout_test::AllocationCount() - before;
}

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

TEST(RunEndUnderFailingAllocations, SummaryIsAlwaysShownAndLoggedUnlessTheLogWriteFailed) {
  ASSERT_NE(record, MAP_FAILED);
  holdout_test::RunInFreshProcess(&MeasureLogWrite);
  ASSERT_GT(record->logWriteAllocations, 0u) << "the sweep would not reach the log's write";

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
  ASSERT_GT(allocations, record->logWriteAllocations) << "the summary is built on the heap";
  // The log's write is the end's last: its allocations are the last ones swept.
  const std::uint64_t firstOfTheLog = allocations - record->logWriteAllocations + 1;
  for (std::uint64_t i = 1; i < firstOfTheLog; ++i) {
    EXPECT_TRUE(record->outcomes[i].logHeld) << "allocation " << i << " of " << allocations;
  }
}

}  // namespace
