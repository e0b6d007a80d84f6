// A host that answers outside what the plug-in may assume of it: one that writes a handle
// variable back as a 64-bit word, which in a list of handles would land on the next one, and
// one whose nativeCall gives no result area at all. The plug-in's sweep and run end still delete
// every ped they hold, and a session whose natives come back null one at a time plays on.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <sys/mman.h>

#include "core/fault_injector.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
using namespace survival_test;

SCENARIO_TEST(HostAnswers, WideHandleWritesLeaveTheSweepsNextPed) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  std::vector<std::int32_t> strangers;
  for (int i = 0; i < 12; ++i) {
    sim::Ped ped;
    ped.group = 0x77;
    ped.position = StartingPosition();
    strangers.push_back(world.AddPed(ped));
  }
  sim::FaultInjector injector(s.host);
  injector.Arm(sim::FaultKind::kHandleWrittenWide, 1, true);
  StartRunAtStart(s);
  ASSERT_TRUE(RunUntil(
      s, [&] { return TicksInFrame(s, s.host.Frame()) == 1; }, 100));
  EXPECT_EQ(injector.Injected(), strangers.size());
  for (const std::int32_t stranger : strangers) {
    EXPECT_EQ(world.FindPed(stranger), nullptr) << "ped " << stranger << " outlived the sweep";
  }
}

SCENARIO_TEST(HostAnswers, WideHandleWritesLeaveTheNextEnemySlot) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  StartRunAtStart(s);
  ASSERT_TRUE(RunUntil(
      s, [&] { return LivingEnemies(world).size() == 10; }, 400));
  sim::FaultInjector injector(s.host);
  injector.Arm(sim::FaultKind::kHandleWrittenWide, 1, true);
  world.KillPlayer();
  ASSERT_TRUE(RunUntil(
      s, [] { return !runState.runActive; }, 10));
  EXPECT_EQ(injector.Injected(), 10u);
  EXPECT_TRUE(LivingEnemies(world).empty()) << "every enemy is deleted at the run's end";
}

// The call the next fresh process answers with no result area, and whether it came to it
// (written by the child into memory shared with the parent).
std::uint64_t nullAnswerAt = 0;
bool* nullAnswerReached = static_cast<bool*>(
    mmap(nullptr, sizeof(bool), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

// A session that opens and closes the spawner menu, starts a run and plays it, its Nth native
// call answered with no result area. The plug-in reads that answer as zero and must go on: it
// neither crashes (the fresh process reports a crash) nor stops calling the game. What the game
// then says of a zero passed on (a text handle 0 drawn) follows from the host's answer and is
// not held against the plug-in here.
void PlayWithNullAnswer() {
  Scenario s;
  StartQuiet(s);
  sim::FaultInjector injector(s.host);
  injector.Arm(sim::FaultKind::kNullResult, nullAnswerAt);
  const DWORD menuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
  s.host.TapKey(menuKey);
  s.RunFrames(3);
  s.host.TapKey(menuKey);
  s.RunFrames(3);
  StartRunAtStart(s);
  s.RunFrames(60);
  *nullAnswerReached = injector.Reached();
  const std::size_t callsBefore = s.host.Calls().Size();
  s.RunFrames(2);
  EXPECT_GT(s.host.Calls().Size(), callsBefore) << "the script went on after call " << nullAnswerAt;
  EXPECT_FALSE(s.host.ScriptStuck());
  s.host.ClearFaults();
}

TEST(HostAnswers, NullResultAtAnyCallLeavesTheSessionPlaying) {
  ASSERT_NE(nullAnswerReached, MAP_FAILED);
  std::uint64_t n = 1;
  for (;; n += n < 300 ? 1 : 17) {
    nullAnswerAt = n;
    *nullAnswerReached = false;
    holdout_test::RunInFreshProcess(&PlayWithNullAnswer);
    if (!*nullAnswerReached || HasFailure()) {
      break;
    }
  }
  EXPECT_GT(n, 300u) << "the session made fewer calls than the sweep expects";
}

}  // namespace
