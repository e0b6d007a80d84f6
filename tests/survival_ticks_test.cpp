// The run-tick schedule as a run sees it: one tick per frame while the deadline catches up with
// the tick count, then one every 100 ms; again after idle time between runs; and on through the
// tick count's 49.7-day wrap, wherever the tick count stands when the run starts.
#include <gtest/gtest.h>

#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
using namespace survival_test;

// A scenario whose enemies load at once and never wound the player, so nothing but the
// schedule decides when ticks come.
void PrepareQuietWorld(Scenario& s) {
  sim::World& world = s.host.GetWorld();
  world.ModelNamed(kEnemyModelName).loadFrames = 0;
  world.hitDamage = 0;
}

// Runs `frames` frames and expects one tick in each.
void ExpectTickInEveryFrame(Scenario& s, std::uint32_t frames) {
  for (std::uint32_t i = 0; i < frames; ++i) {
    s.RunFrame();
    ASSERT_EQ(TicksInFrame(s, s.host.Frame()), 1u)
        << "frame " << s.host.Frame() << ", tick count " << s.host.TickCount();
  }
}

// Counts the frames that each have a tick, starting with the last frame run, running frames
// until one has none: the catch-up after a run's start.
std::uint32_t CatchUpFrames(Scenario& s) {
  std::uint32_t frames = 0;
  while (TicksInFrame(s, s.host.Frame()) == 1 && frames < 100000) {
    ++frames;
    s.RunFrame();
  }
  return frames;
}

// Runs frames for `durationMs` and expects a tick every 100 ms: never two in a frame, 96 or
// 112 ms (six or seven 16 ms frames) apart, and no time lost over the whole stretch.
void ExpectSteadyTicks(Scenario& s, std::uint32_t durationMs) {
  const std::uint32_t began = s.host.TickCount();
  std::uint32_t lastTick = 0;
  std::uint32_t ticks = 0;
  while (s.host.TickCount() - began < durationMs) {
    s.RunFrame();
    const std::size_t inFrame = TicksInFrame(s, s.host.Frame());
    ASSERT_LE(inFrame, 1u) << "tick count " << s.host.TickCount();
    if (inFrame == 0) {
      continue;
    }
    if (ticks > 0) {
      const std::uint32_t gap = s.host.TickCount() - lastTick;
      EXPECT_TRUE(gap == 96 || gap == 112) << gap << " ms at tick count " << s.host.TickCount();
    }
    lastTick = s.host.TickCount();
    ++ticks;
  }
  EXPECT_NEAR(ticks, durationMs / 100, 1);
}

SCENARIO_TEST(RunTicks, CatchUpOnePerFrameThenEveryHundredMilliseconds) {
  Scenario s;
  s.host.SetTickCount(10000);
  s.Start();
  PrepareQuietWorld(s);
  StartRunAtStart(s);
  ASSERT_TRUE(runState.runActive);
  ASSERT_EQ(s.host.TickCount(), 10032u);
  // The deadline starts at 0 and gains 84 ms per frame on the tick count: ticks 0..119 come
  // in consecutive frames, starting with the frame in which the run starts.
  EXPECT_EQ(CatchUpFrames(s), 120u);
  ExpectSteadyTicks(s, 10000);
}

SCENARIO_TEST(RunTicks, SecondRunCatchesUpOverTheIdleTimeBetweenRuns) {
  Scenario s;
  s.host.SetTickCount(1000);
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  PrepareQuietWorld(s);
  StartRunAtStart(s);
  EXPECT_NEAR(CatchUpFrames(s), 1032 / 84, 1);
  ExpectSteadyTicks(s, 2000);
  PressActivate(s);  // Debug: the key ends the run
  ASSERT_FALSE(runState.runActive);
  s.RunFrames(625);  // 10 s without a run
  StartRunAtStart(s);
  EXPECT_NEAR(CatchUpFrames(s), 10000 / 84, 2);
  ExpectSteadyTicks(s, 3000);
}

// A first run once the machine has been up for more than 24.8 days: the deadline of 0 lies
// more than 2^31 ms behind the tick count, and ticks must still come at once.
SCENARIO_TEST(RunTicks, FirstRunPastHalfTheTickRangeCatchesUpAtOnce) {
  Scenario s;
  s.host.SetTickCount(3000000000u);
  s.Start();
  PrepareQuietWorld(s);
  StartRunAtStart(s);
  EXPECT_EQ(TicksInFrame(s, s.host.Frame()), 1u);
  ExpectTickInEveryFrame(s, 300);
}

SCENARIO_TEST(RunTicks, CatchUpGoesOnThroughTheWrap) {
  Scenario s;
  s.Start();
  PrepareQuietWorld(s);
  s.host.SetTickCount(0u - 1000);
  StartRunAtStart(s);
  ExpectTickInEveryFrame(s, 200);  // the tick count wraps after about 62 frames
  EXPECT_LT(s.host.TickCount(), 10000u);
}

// A deadline ahead of the tick count across the wrap: 0 is 50 ms ahead of 2^32 - 50.
SCENARIO_TEST(RunTicks, SteadyTicksGoOnThroughTheWrap) {
  Scenario s;
  s.Start();
  PrepareQuietWorld(s);
  s.host.SetTickCount(0u - 50 - s.host.FrameDuration());
  StartRunAtStart(s);
  ASSERT_TRUE(runState.runActive);
  EXPECT_EQ(TicksInFrame(s, s.host.Frame()), 0u) << "the deadline is still ahead";
  ASSERT_TRUE(RunUntil(
      s, [&] { return TicksInFrame(s, s.host.Frame()) == 1; }, 10));
  EXPECT_LT(s.host.TickCount(), 16u) << "the first tick comes right after the wrap";
  ExpectSteadyTicks(s, 5000);
}

}  // namespace
