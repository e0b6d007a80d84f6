// One long run: a simulated hour with 512 enemies dying at random. Every death must be counted
// exactly once by its slot's next visit or, if the run ends first, the dead enemy deleted with
// the others; after the run no enemy of it is left alive or held in the world, and the enemies'
// random headings have reached every ten degrees of the circle. The frames last one run tick
// each (100 ms), so the hour's 36000 run ticks, which visit the slots, take 36000 frames rather
// than the 225000 of 16 ms frames in which the world would move its 512 peds for nothing.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
using namespace survival_test;
namespace natives = sim::natives;

constexpr std::uint32_t kFrameMs = 100;  // one run tick's length
constexpr std::uint32_t kHourOfFrames = 3600 * 1000 / kFrameMs;

// Wraps the native `hash` so that every handle whose address it gets is counted in `seen`
// before the game acts.
void CountHandlesPassedTo(Scenario& s, std::uint64_t hash, std::map<std::int32_t, int>& seen) {
  sim::NativeHandler game = s.host.Natives().Override(hash, nullptr);
  s.host.Natives().Override(hash, [game, &seen](const sim::NativeCall& call) {
    ++seen[*call.Address<std::int32_t>(0)];
    game(call);
  });
}

SCENARIO_TEST(LongRun, AnHourOfFiveHundredTwelveEnemiesCountsEveryDeathOnce) {
  Scenario s;
  s.WriteIni("[Main]\nMaxEnemies=512\n");
  s.Start();
  sim::World& world = s.host.GetWorld();
  world.hitDamage = 0;
  s.host.Calls().SetEnabled(false);
  std::map<std::int32_t, int> released;
  std::map<std::int32_t, int> deleted;
  CountHandlesPassedTo(s, natives::kReleasePed, released);
  CountHandlesPassedTo(s, natives::kDeletePed, deleted);

  StartRunAtStart(s);
  ASSERT_TRUE(runState.runActive);
  s.host.SetFrameDuration(kFrameMs);
  std::mt19937 random(20240601);
  std::set<std::int32_t> killed;
  for (std::uint32_t frame = 0; frame < kHourOfFrames; ++frame) {
    if (random() % 4 != 0) {  // about 27000 deaths asked for in the hour
      const EntityHandle enemy = runState.enemySlots[random() % 512];
      if (enemy != 0 && !world.IsPedDead(enemy)) {
        world.KillPed(enemy);
        killed.insert(enemy);
      }
    }
    s.RunFrame();
    if (frame % 4096 == 0) {
      s.host.Screen().Clear();
    }
  }
  ASSERT_TRUE(runState.runActive) << "nobody wounds the player";
  world.KillPlayer();
  ASSERT_TRUE(RunUntil(
      s, [] { return !runState.runActive; }, 10));

  EXPECT_GT(killed.size(), 10000u);
  EXPECT_EQ(runState.killCount, static_cast<std::int32_t>(released.size()));
  for (const auto& [handle, times] : released) {
    EXPECT_EQ(times, 1) << "ped " << handle << " released more than once";
    EXPECT_EQ(killed.count(handle), 1u) << "ped " << handle << " counted but never killed";
  }
  std::size_t uncounted = 0;
  for (const std::int32_t handle : killed) {
    const bool counted = released.count(handle) == 1;
    const bool deletedAtEnd = deleted.count(handle) == 1;
    EXPECT_NE(counted, deletedAtEnd) << "ped " << handle;
    uncounted += deletedAtEnd ? 1 : 0;
  }
  EXPECT_LT(uncounted, 512u) << "only deaths since their slot's last visit go uncounted";
  EXPECT_EQ(deleted.size(), 512u) << "the end deletes every slot's enemy";
  for (const auto& [handle, ped] : world.peds) {
    EXPECT_TRUE(ped.dead) << "ped " << handle << " of the run is still alive";
    EXPECT_FALSE(ped.heldByScript) << "ped " << handle << " is still held";
  }
  EXPECT_NE(s.ReadLog().find(" kill(s) (512 max enemies)\n"), std::string::npos);

  constexpr std::size_t kHeadingArgument = 4;
  const auto headings = world.randomValues.find({natives::kCreatePed, kHeadingArgument});
  ASSERT_NE(headings, world.randomValues.end());
  EXPECT_GT(headings->second.Samples(), 10000u);
  EXPECT_TRUE(headings->second.Covered())
      << "no heading in " << ::testing::PrintToString(headings->second.Gaps());
}

}  // namespace
