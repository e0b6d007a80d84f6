// The sweep at the start of a run in the simulated game: foreign peds deleted one per frame
// before the run's first tick, the player's group spared, only the first 512 listed peds seen,
// the slot table emptied, the player's own ped kept whatever group the game reports for it, and
// only the handles the host wrote acted on, whatever count it answers.
#include <gtest/gtest.h>

#include "core/fault_injector.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
using namespace survival_test;
namespace natives = sim::natives;

// Adds `count` peds of `group` around the starting position; returns their handles.
std::vector<std::int32_t> AddPeds(sim::World& world, int count, std::int32_t group) {
  std::vector<std::int32_t> handles;
  for (int i = 0; i < count; ++i) {
    sim::Ped ped;
    ped.group = group;
    ped.position = StartingPosition();
    ped.position.x += static_cast<float>(i);
    handles.push_back(world.AddPed(ped));
  }
  return handles;
}

SCENARIO_TEST(Sweep, DeletesForeignPedsOnePerFrameBeforeTheFirstTick) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  const std::vector<std::int32_t> foreign = AddPeds(world, 40, 0x77);
  const std::vector<std::int32_t> friends = AddPeds(world, 5, world.player.group);
  for (int slot = 0; slot < 10; ++slot) {
    runState.enemySlots[slot] = 0x7000 + slot;  // stale handles from some earlier run
  }
  StartRunAtStart(s);
  const std::uint32_t startFrame = s.host.Frame();
  ASSERT_TRUE(runState.runActive);
  ASSERT_TRUE(RunUntil(
      s, [&] { return TicksInFrame(s, s.host.Frame()) == 1; }, 100));
  EXPECT_EQ(s.host.Frame(), startFrame + 40) << "one frame per deleted ped";

  const std::vector<sim::RecordedCall> deletions = s.host.Calls().CallsTo(natives::kDeletePed);
  ASSERT_EQ(deletions.size(), 40u);
  for (std::size_t i = 0; i < deletions.size(); ++i) {
    EXPECT_EQ(deletions[i].frame, startFrame + i);
    EXPECT_TRUE(CornerTexts(s, startFrame + static_cast<std::uint32_t>(i)).empty())
        << "no HUD while the sweep holds the script";
  }
  const std::vector<sim::RecordedCall> claims =
      s.host.Calls().CallsTo(natives::kClaimEntityForScript);
  ASSERT_EQ(claims.size(), 40u);
  EXPECT_EQ(claims[0].args,
            (std::vector<std::uint64_t>{static_cast<std::uint64_t>(foreign[0]), 1, 1}));
  for (const std::int32_t handle : foreign) {
    EXPECT_EQ(world.FindPed(handle), nullptr);
  }
  for (const std::int32_t handle : friends) {
    EXPECT_NE(world.FindPed(handle), nullptr) << "the player's group stays";
  }
  EXPECT_NE(runState.enemySlots[0], 0) << "the first tick filled slot 0";
  for (int slot = 1; slot < 10; ++slot) {
    EXPECT_EQ(runState.enemySlots[slot], 0) << "slot " << slot << " was emptied";
  }
}

SCENARIO_TEST(Sweep, AWorldOfFriendsYieldsNoFrame) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  AddPeds(world, 3, world.player.group);
  StartRunAtStart(s);
  EXPECT_EQ(TicksInFrame(s, s.host.Frame()), 1u) << "the first tick in the start frame";
  EXPECT_EQ(s.host.Calls().Count(natives::kDeletePed), 0u);
  EXPECT_EQ(world.peds.size(), 4u) << "three friends and the first enemy";
}

SCENARIO_TEST(Sweep, SeesOnlyTheFirst512ListedPeds) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  const std::vector<std::int32_t> foreign = AddPeds(world, 600, 0x77);
  StartRunAtStart(s);
  ASSERT_TRUE(RunUntil(
      s, [&] { return TicksInFrame(s, s.host.Frame()) == 1; }, 1000));
  // The player's ped is the first of the 512 the game lists.
  EXPECT_EQ(s.host.Calls().Count(natives::kDeletePed), 511u);
  for (std::size_t i = 0; i < foreign.size(); ++i) {
    EXPECT_EQ(world.FindPed(foreign[i]) != nullptr, i >= 511) << "ped " << i;
  }
}

SCENARIO_TEST(Sweep, NeverTouchesThePlayersOwnPed) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  world.player.pedGroup = 0x99;  // the game reports a group of its own for the player's ped
  AddPeds(world, 2, 0x77);
  StartRunAtStart(s);
  s.RunFrames(5);
  EXPECT_EQ(s.host.Calls().Count(natives::kDeletePed), 2u);
  for (const sim::RecordedCall& claim : s.host.Calls().CallsTo(natives::kClaimEntityForScript)) {
    EXPECT_NE(claim.args[0], static_cast<std::uint64_t>(world.player.ped));
  }
  EXPECT_TRUE(runState.runActive);
  EXPECT_TRUE(s.host.Faults().empty());
}

// Starts a run among 40 foreign peds while the host answers the sweep's ped list with `fault`;
// returns how many peds the sweep deleted before the run's first tick.
std::size_t DeletionsWithPedListFault(Scenario& s, sim::FaultKind fault) {
  StartQuiet(s);
  sim::FaultInjector injector(s.host);
  injector.Arm(fault, 1);
  AddPeds(s.host.GetWorld(), 40, 0x77);
  StartRunAtStart(s);
  EXPECT_TRUE(RunUntil(
      s, [&] { return TicksInFrame(s, s.host.Frame()) == 1; }, 1000))
      << "the run starts";
  EXPECT_TRUE(injector.Reached());
  EXPECT_TRUE(s.host.Faults().empty()) << "no handle the host never wrote is passed to the game";
  return s.host.Calls().Count(natives::kDeletePed);
}

SCENARIO_TEST(Sweep, AHostAnsweringNoPedsLeavesEveryPed) {
  Scenario s;
  EXPECT_EQ(DeletionsWithPedListFault(s, sim::FaultKind::kPedListEmpty), 0u);
  EXPECT_EQ(s.host.GetWorld().peds.size(), 41u) << "the 40 peds and the first enemy";
}

SCENARIO_TEST(Sweep, AHostAnsweringANegativeCountLeavesEveryPed) {
  Scenario s;
  EXPECT_EQ(DeletionsWithPedListFault(s, sim::FaultKind::kPedCountNegative), 0u);
  EXPECT_EQ(s.host.GetWorld().peds.size(), 41u) << "the 40 peds and the first enemy";
}

SCENARIO_TEST(Sweep, AHostCountingMorePedsThanTheListHoldsIsReadToTheListsEnd) {
  Scenario s;
  // The player's ped is the first of the 512 the host writes.
  EXPECT_EQ(DeletionsWithPedListFault(s, sim::FaultKind::kPedCountOverCapacity), 511u);
}

}  // namespace
