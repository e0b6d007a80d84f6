// Enemy slots in the simulated game: slots filled one per tick, what a new enemy is given, where
// it appears, when a kill is counted, the rotation carried into the next run, and spawns that
// fail, including a model that never finishes loading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "runtime/model_loading.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
using namespace survival_test;
namespace natives = sim::natives;

float FloatOf(std::uint64_t word) {
  const auto bits = static_cast<std::uint32_t>(word);
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::size_t CountIn(Scenario& s, std::uint32_t frame, std::uint64_t hash) {
  std::size_t count = 0;
  for (const std::uint64_t called : s.host.Calls().HashesInFrame(frame)) {
    count += called == hash ? 1 : 0;
  }
  return count;
}

SCENARIO_TEST(EnemySlots, FillOnePerTickThenALivingEnemyKeepsItsSlot) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  StartRunAtStart(s);
  for (int tick = 0; tick < 10; ++tick) {
    if (tick > 0) {
      s.RunFrame();  // catch-up: one tick per frame
    }
    EXPECT_EQ(CountIn(s, s.host.Frame(), natives::kCreatePed), 1u) << "tick " << tick;
    EXPECT_EQ(LivingEnemies(world).size(), static_cast<std::size_t>(tick + 1));
  }
  for (int tick = 10; tick < 30; ++tick) {
    s.RunFrame();
    EXPECT_EQ(CountIn(s, s.host.Frame(), natives::kCreatePed), 0u) << "tick " << tick;
    EXPECT_EQ(CountIn(s, s.host.Frame(), natives::kIsPedDead), 1u) << "tick " << tick;
  }
  EXPECT_EQ(LivingEnemies(world).size(), 10u) << "at most MaxEnemies at once";

  const std::int32_t player = world.player.ped;
  for (const std::int32_t handle : LivingEnemies(world)) {
    const sim::Ped& enemy = *world.FindPed(handle);
    EXPECT_EQ(enemy.model, EnemyModel());
    EXPECT_EQ(enemy.attackTarget, player);
    EXPECT_EQ(enemy.decorators, (std::map<std::string, std::int32_t>{{"honor_override", 0}}));
  }
  for (const sim::RecordedCall& call : s.host.Calls().CallsTo(natives::kTaskAttackPed)) {
    EXPECT_EQ(call.args[2], 0u);
    EXPECT_EQ(call.args[3], 16u);
  }
  for (const sim::RecordedCall& call : s.host.Calls().CallsTo(natives::kPrepareCreatedPed)) {
    EXPECT_EQ(call.args[1], 1u);
  }
  EXPECT_EQ(s.host.Calls().Count(natives::kPrepareCreatedPed), 10u);
}

SCENARIO_TEST(EnemySlots, SpawnPointFollowsTheTickCountsParity) {
  Scenario s;
  s.host.SetFrameDuration(17);  // odd, so the parity changes from frame to frame
  StartQuiet(s, "[Main]\nMaxEnemies=40\n");
  sim::World& world = s.host.GetWorld();
  std::map<std::uint32_t, std::uint32_t> tickOfFrame;
  StartRunAtStart(s);
  tickOfFrame[s.host.Frame()] = s.host.TickCount();
  for (int i = 0; i < 19; ++i) {
    s.RunFrame();
    tickOfFrame[s.host.Frame()] = s.host.TickCount();
  }
  world.safePositionsFound = false;
  for (int i = 0; i < 20; ++i) {
    s.RunFrame();
    tickOfFrame[s.host.Frame()] = s.host.TickCount();
  }
  const std::vector<sim::RecordedCall> creations = s.host.Calls().CallsTo(natives::kCreatePed);
  ASSERT_EQ(creations.size(), 40u);
  int fromEach[2] = {0, 0};
  for (std::size_t i = 0; i < creations.size(); ++i) {
    const sim::RecordedCall& call = creations[i];
    const std::uint32_t parity = tickOfFrame.at(call.frame) % 2;
    ++fromEach[parity];
    const Vector3& point = settings.EnemySpawnPositions[parity];
    // The first twenty spawns find a safe spot (the point snapped to whole metres), the rest
    // use the configured point as it is.
    const bool snapped = i < 20;
    EXPECT_EQ(FloatOf(call.args[1]), snapped ? std::round(point.x) : point.x) << "spawn " << i;
    EXPECT_EQ(FloatOf(call.args[2]), snapped ? std::round(point.y) : point.y) << "spawn " << i;
    EXPECT_EQ(FloatOf(call.args[3]), snapped ? std::round(point.z) : point.z) << "spawn " << i;
    const float heading = FloatOf(call.args[4]);
    EXPECT_TRUE(heading >= 0.0f && heading < 360.0f && heading == std::floor(heading)) << heading;
  }
  EXPECT_GT(fromEach[0], 5);
  EXPECT_GT(fromEach[1], 5);
  EXPECT_EQ(settings.EnemySpawnPositions[0].x, 2663.5693f) << "the spawn works on a copy";
}

SCENARIO_TEST(EnemySlots, KillCountsWhenTheRotationReachesTheDeadEnemysSlot) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  StartRunAtStart(s);
  s.RunFrames(9);
  ASSERT_EQ(LivingEnemies(world).size(), 10u);
  ASSERT_EQ(runState.slotCursor % 10, 0u) << "the next tick visits slot 0";
  // Slot 3 has just been visited: its enemy dies now and is seen only at the next visit.
  s.RunFrames(4);
  const EntityHandle victim = runState.enemySlots[3];
  world.KillPed(victim);
  for (int tick = 0; tick < 9; ++tick) {
    s.RunFrame();
    EXPECT_EQ(runState.killCount, 0) << "tick " << tick << " after the death";
    EXPECT_EQ(CornerTexts(s, s.host.Frame()).at(0).rfind("Kills: 0\n", 0), 0u);
  }
  EXPECT_EQ(runState.enemySlots[3], victim);
  s.RunFrame();
  EXPECT_EQ(runState.killCount, 1);
  EXPECT_NE(runState.enemySlots[3], victim) << "refilled";
  EXPECT_NE(runState.enemySlots[3], 0);
  EXPECT_TRUE(world.FindPed(victim)->released) << "the script let the dead enemy go";
  EXPECT_EQ(LivingEnemies(world).size(), 10u);
  s.RunFrame();
  EXPECT_EQ(CornerTexts(s, s.host.Frame()).at(0).rfind("Kills: 1\n", 0), 0u);

  // Whatever kills an enemy, and whenever, its death counts once.
  world.KillPed(runState.enemySlots[5]);
  world.KillPed(runState.enemySlots[6]);
  s.RunFrames(20);
  EXPECT_EQ(runState.killCount, 3);
}

SCENARIO_TEST(EnemySlots, RotationCarriesOnIntoTheNextRun) {
  Scenario s;
  StartQuiet(s, "[Main]\nMaxEnemies=10\nDebug=1\n");
  sim::World& world = s.host.GetWorld();
  StartRunAtStart(s);
  s.RunFrames(6);  // seven ticks: slots 0..6
  PressActivate(s);
  ASSERT_FALSE(runState.runActive);
  EXPECT_EQ(runState.slotCursor, 7u);
  EXPECT_TRUE(LivingEnemies(world).empty());

  StartRunAtStart(s);
  ASSERT_TRUE(runState.runActive);
  int filled = -1;
  for (int slot = 0; slot < 10; ++slot) {
    if (runState.enemySlots[slot] != 0) {
      EXPECT_EQ(filled, -1) << "one slot after the first tick";
      filled = slot;
    }
  }
  EXPECT_EQ(filled, 7);
}

SCENARIO_TEST(EnemySpawns, ModelThatNeverLoadsGivesUpAfterTenSecondsAndIsTriedAgain) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  world.ModelNamed(kEnemyModelName).loadFrames = -1;
  StartRunAtStart(s);
  const std::uint32_t waitBegan = s.host.TickCount();
  // The script is held in the wait: no HUD, one load test per frame.
  ASSERT_TRUE(RunUntil(
      s, [&] { return !CornerTexts(s, s.host.Frame()).empty(); }, 2 * kModelLoadTimeoutMs / 16));
  const std::uint32_t waited = s.host.TickCount() - waitBegan;
  EXPECT_GE(waited, kModelLoadTimeoutMs);
  EXPECT_LE(waited, kModelLoadTimeoutMs + 2 * s.host.FrameDuration());
  EXPECT_EQ(runState.enemySlots[0], 0) << "the slot stays empty";
  EXPECT_EQ(s.host.Calls().Count(natives::kCreatePed), 0u);
  EXPECT_TRUE(s.host.Faults().empty());

  // Once the game can load the model, the slot is filled on a later visit.
  world.ModelNamed(kEnemyModelName).loaded = true;
  ASSERT_TRUE(RunUntil(
      s, [&] { return runState.slotCursor % 10 == 1; }, 20));
  ASSERT_TRUE(RunUntil(
      s, [&] { return runState.enemySlots[0] != 0; }, 20));
  EXPECT_EQ(LivingEnemies(world).size(), 10u);
}

SCENARIO_TEST(EnemySpawns, UnusableModelOrRefusedCreationLeavesTheSlotEmpty) {
  Scenario s;
  StartQuiet(s);
  sim::World& world = s.host.GetWorld();
  world.ModelNamed(kEnemyModelName).valid = false;
  StartRunAtStart(s);
  s.RunFrames(9);
  EXPECT_EQ(s.host.Calls().Count(natives::kRequestModel), 0u)
      << "an invalid model is not asked for";
  EXPECT_EQ(s.host.Calls().Count(natives::kCreatePed), 0u);
  EXPECT_EQ(CountIn(s, s.host.Frame(), natives::kRunTickCallA), 1u) << "no wait: a tick a frame";

  world.ModelNamed(kEnemyModelName).valid = true;
  world.pedCreationFails = true;
  s.RunFrames(10);
  EXPECT_EQ(s.host.Calls().Count(natives::kCreatePed), 10u);
  const std::vector<sim::RecordedCall> prepared =
      s.host.Calls().CallsTo(natives::kPrepareCreatedPed);
  ASSERT_EQ(prepared.size(), 10u);
  EXPECT_EQ(prepared[0].args, (std::vector<std::uint64_t>{0, 1})) << "prepared with handle 0";
  EXPECT_EQ(s.host.Calls().Count(natives::kSetDecoratorInt), 0u);
  EXPECT_EQ(s.host.Calls().Count(natives::kTaskAttackPed), 0u);
  for (int slot = 0; slot < 10; ++slot) {
    EXPECT_EQ(runState.enemySlots[slot], 0) << "slot " << slot;
  }
}

}  // namespace
