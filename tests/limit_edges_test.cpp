// The plug-in's size and distance limits, each met on both sides: the start radius (a float
// step inside, on, a float step outside), the enemy limit as a run uses it (the clamps at 10 and
// 512 fill exactly that many slots and then revisit the first), and the menu row limit (eleven
// rows drawn, however many the menu holds).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "game/game_natives.h"
#include "runtime/script.h"
#include "spawner/catalogues.h"
#include "spawner/menu.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
namespace natives = sim::natives;

// ---- The start radius

SCENARIO_TEST(StartRadiusEdges, AStepInsideOrOnTheRadiusStartsAndAStepOutsideTeleports) {
  Scenario s;
  // A starting position on whole coordinates, so that the distances below are exact floats.
  survival_test::StartQuiet(s, "[Main]\nDebug=1\n[Positions]\nPlayerStartingPosition={0,0,5}\n");
  sim::World& world = s.host.GetWorld();
  const float infinity = std::numeric_limits<float>::infinity();
  const struct {
    float distance;
    bool starts;
  } cases[] = {
      {std::nextafter(100.0f, 0.0f), true},
      {100.0f, true},
      {std::nextafter(100.0f, infinity), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << c.distance << " from the start");
    ASSERT_EQ(std::sqrt(c.distance * c.distance), c.distance) << "the game's distance is exact";
    world.player.position = {c.distance, 0.0f, 5.0f};
    survival_test::PressActivate(s);
    EXPECT_EQ(runState.runActive, c.starts);
    EXPECT_EQ(world.player.position.x, c.starts ? c.distance : 0.0f)
        << "teleported to the start only from outside";
    if (runState.runActive) {
      survival_test::PressActivate(s);  // Debug: ends the run
    }
  }
}

// ---- The enemy limit in a run

struct EnemyLimitCase {
  const char* setting;
  std::size_t slots;
};

const EnemyLimitCase kEnemyLimits[] = {{"9", 10}, {"10", 10}, {"512", 512}, {"513", 512}};

// The case the fresh process runs; set before each is forked.
const EnemyLimitCase* enemyLimit = nullptr;

void RunFillsExactlyTheLimit() {
  SCOPED_TRACE(testing::Message() << "MaxEnemies=" << enemyLimit->setting);
  Scenario s;
  survival_test::StartQuiet(s, std::string("[Main]\nMaxEnemies=") + enemyLimit->setting + "\n");
  sim::World& world = s.host.GetWorld();
  survival_test::StartRunAtStart(s);
  // One tick per frame while the run catches up with the tick count.
  s.RunFrames(static_cast<std::uint32_t>(enemyLimit->slots) - 1);
  ASSERT_EQ(runState.slotCursor, enemyLimit->slots);
  EXPECT_EQ(survival_test::LivingEnemies(world).size(), enemyLimit->slots);
  for (std::size_t slot = 0; slot < enemyLimit->slots; ++slot) {
    ASSERT_NE(runState.enemySlots[slot], 0) << "slot " << slot;
  }

  // The next tick revisits the first slot, whose enemy lives: nothing is spawned.
  s.RunFrame();
  ASSERT_EQ(survival_test::TicksInFrame(s, s.host.Frame()), 1u);
  EXPECT_EQ(s.host.Calls().Count(natives::kCreatePed), enemyLimit->slots);
  const std::int32_t first = runState.enemySlots[0];
  world.FindPed(first)->dead = true;
  s.RunFrames(static_cast<std::uint32_t>(enemyLimit->slots));
  EXPECT_EQ(runState.killCount, 1) << "the first slot's death is counted on its next visit";
  EXPECT_NE(runState.enemySlots[0], first);
}

TEST(EnemyLimitEdges, ARunFillsExactlyTheClampedLimitThenRevisitsTheFirstSlot) {
  for (const EnemyLimitCase& limit : kEnemyLimits) {
    enemyLimit = &limit;
    holdout_test::RunInFreshProcess(&RunFillsExactlyTheLimit);
  }
}

// ---- The menu row limit

SCENARIO_TEST(MenuRowEdges, AMenuDrawsAtMostElevenRows) {
  Scenario s;
  s.Start();
  Menu& explosives = *frameLoop.menus[0];
  const struct {
    std::size_t rows;
    std::size_t drawn;
  } cases[] = {{10, 10}, {11, 11}, {12, 11}};
  for (const auto& c : cases) {
    while (explosives.items.size() < c.rows) {
      AddItem(explosives, new MenuItemDefault("ROW " + std::to_string(explosives.items.size())));
    }
    spawner_test::TapMenuKey(s);
    const std::vector<sim::DrawnText> texts = s.host.Screen().TextsInFrame(s.host.Frame());
    EXPECT_EQ(texts.size(), c.drawn + 1) << c.rows << " rows under the title";
    spawner_test::TapMenuKey(s, static_cast<int>(kSpawnerMenus.size()));  // closed again
  }
}

}  // namespace
