// The run's lifecycle in the simulated game: where the activation key starts a run and where it
// brings the player instead, the start sound, the HUD over the whole run, the end on the
// player's death with its banner, log line and deleted enemies, and the Debug ending.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/screen.h"
#include "spawner/placement.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;
using namespace survival_test;
namespace natives = sim::natives;

std::uint64_t Word(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

SCENARIO_TEST(RunStart, KeyFarFromTheStartTeleportsThereAndTheNextPressStarts) {
  Scenario s;
  s.Start();
  sim::World& world = s.host.GetWorld();
  const sim::Vec3 start = StartingPosition();
  PressActivate(s);
  EXPECT_FALSE(runState.runActive);
  const std::vector<sim::RecordedCall> teleports = s.host.Calls().CallsTo(natives::kTeleportEntity);
  ASSERT_EQ(teleports.size(), 1u);
  EXPECT_EQ(teleports[0].args,
            (std::vector<std::uint64_t>{static_cast<std::uint64_t>(world.player.ped), Word(start.x),
                                        Word(start.y), Word(start.z), 0, 0, 0, 0}));
  EXPECT_EQ(world.player.position.x, start.x);
  EXPECT_EQ(world.player.position.y, start.y);
  EXPECT_TRUE(world.sounds.empty()) << "no run, no sound";

  PressActivate(s);
  EXPECT_TRUE(runState.runActive);
  EXPECT_EQ(s.host.Calls().Count(natives::kTeleportEntity), 1u);
}

SCENARIO_TEST(RunStart, ExactlyOneHundredAwayStartsAndOneStepFartherTeleports) {
  Scenario s;
  s.Start();
  sim::World& world = s.host.GetWorld();
  const sim::Vec3 start = StartingPosition();
  // 60 and 80 are exact in these binades, so the game's float distance is exactly 100.
  const sim::Vec3 edge{start.x + 60.0f, start.y + 80.0f, start.z};
  const float dx = edge.x - start.x;
  const float dy = edge.y - start.y;
  ASSERT_EQ(std::sqrt(dx * dx + dy * dy), 100.0f);

  world.player.position = edge;
  world.player.position.x = std::nextafter(edge.x, std::numeric_limits<float>::infinity());
  PressActivate(s);
  EXPECT_FALSE(runState.runActive) << "just beyond 100";
  EXPECT_EQ(world.player.position.x, start.x) << "teleported to the start";

  world.player.position = edge;
  PressActivate(s);
  EXPECT_TRUE(runState.runActive) << "at exactly 100";
}

SCENARIO_TEST(RunStart, DeadPlayerIsBroughtToTheStartButStartsNothing) {
  Scenario s;
  s.Start();
  sim::World& world = s.host.GetWorld();
  world.KillPlayer();
  PressActivate(s);
  EXPECT_EQ(world.player.position.y, StartingPosition().y) << "a dead ped is still teleported";
  PressActivate(s);
  EXPECT_FALSE(runState.runActive);
  EXPECT_TRUE(world.sounds.empty());
  EXPECT_EQ(s.host.Calls().Count(natives::kIsPedDead), 1u);
}

SCENARIO_TEST(RunStart, PlaysTheStartSoundAndStartsTheClocks) {
  Scenario s;
  s.Start();
  runState.killCount = 9;
  StartRunAtStart(s);
  ASSERT_TRUE(runState.runActive);
  const sim::World& world = s.host.GetWorld();
  ASSERT_EQ(world.sounds.size(), 2u);
  EXPECT_FALSE(world.sounds[0].played) << "prepared first";
  EXPECT_TRUE(world.sounds[1].played);
  for (const sim::SoundEvent& sound : world.sounds) {
    EXPECT_EQ(sound.frame, s.host.Frame());
    EXPECT_EQ(sound.name, "NAV_RIGHT");
    EXPECT_EQ(sound.set, "HUD_SHOP_SOUNDSET");
  }
  const std::vector<sim::RecordedCall> plays = s.host.Calls().CallsTo(natives::kPlaySound);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].args[2], 1u);
  EXPECT_EQ(plays[0].args[3], 0u);
  EXPECT_EQ(runState.killCount, 0);
  EXPECT_EQ(runState.startTick, s.host.TickCount());
  EXPECT_EQ(runState.startGameTime, s.host.GameTime());
}

// The timer's "no run" marker is a start tick of 0; a run that starts as the tick count passes
// 0 must still show its time.
SCENARIO_TEST(RunStart, RunStartedAtTickCountZeroStillShowsItsTime) {
  Scenario s;
  s.Start();
  s.host.GetWorld().hitDamage = 0;
  s.host.SetTickCount(0u - s.host.FrameDuration());
  StartRunAtStart(s);
  ASSERT_EQ(s.host.TickCount(), 0u);
  ASSERT_TRUE(runState.runActive);
  s.RunFrames(190);  // 3040 ms of game time
  EXPECT_EQ(CornerTexts(s, s.host.Frame()),
            std::vector<std::string>{"Kills: 0\nTime survived: 0:03"});
}

// A whole run with the default limit of 70: seven kills, the player dies after 2:05, and the
// end shows and logs the summary, deletes the run's enemies and leaves the HUD.
SCENARIO_TEST(RunEnd, PlayersDeathEndsTheRunWithSummaryAndDeletesEveryEnemy) {
  Scenario s;
  s.Start();
  sim::World& world = s.host.GetWorld();
  world.hitDamage = 0;
  world.ModelNamed(kEnemyModelName).loadFrames = 0;  // no model wait holds the HUD back
  StartRunAtStart(s);
  const std::uint32_t startFrame = s.host.Frame();
  ASSERT_TRUE(runState.runActive);
  ASSERT_TRUE(RunUntil(
      s, [&] { return LivingEnemies(world).size() == 70; }, 400));
  const std::vector<std::int32_t> enemies = LivingEnemies(world);
  for (int i = 0; i < 7; ++i) {
    world.KillPed(enemies[static_cast<std::size_t>(i) * 9]);
  }
  ASSERT_TRUE(RunUntil(
      s, [&] { return runState.killCount == 7; }, 200));
  ASSERT_TRUE(RunUntil(
      s, [&] { return LivingEnemies(world).size() == 70; }, 200));
  // One more enemy dies after its slot's last visit: deleted at the end, never counted.
  world.KillPed(runState.enemySlots[(runState.slotCursor + 69) % 70]);

  s.host.SetGameTime(runState.startGameTime + 125400 - s.host.FrameDuration());
  world.KillPlayer();
  s.RunFrame();
  const std::uint32_t endFrame = s.host.Frame();
  EXPECT_FALSE(runState.runActive);
  EXPECT_EQ(CornerTexts(s, endFrame), std::vector<std::string>{"Kills: 7\nTime survived: 2:05"})
      << "the HUD shows in the frame in which the run ends";
  EXPECT_EQ(TicksInFrame(s, endFrame), 1u) << "the ending tick still resets the player";

  for (std::uint32_t frame = startFrame; frame <= endFrame; ++frame) {
    const std::vector<std::string> hud = CornerTexts(s, frame);
    ASSERT_EQ(hud.size(), frame == startFrame ? 0u : 1u) << "frame " << frame;
    if (!hud.empty()) {
      EXPECT_EQ(hud[0].rfind("Kills: ", 0), 0u) << hud[0];
    }
  }

  EXPECT_EQ(s.ReadLog(), "You survived for 2:05 and got 7 kill(s) (70 max enemies)\n");
  EXPECT_EQ(runState.killCount, 7) << "kept after the run";
  EXPECT_TRUE(LivingEnemies(world).empty());
  for (const auto& [handle, ped] : world.peds) {
    EXPECT_TRUE(ped.dead && ped.released) << "only the counted corpses stay: " << handle;
  }

  const std::uint32_t shownAt = s.host.TickCount();
  const std::string banner = "You survived for 2:05 and got 7 kill(s)\n(70 max enemies)";
  while (s.host.TickCount() - shownAt < 6100) {
    s.RunFrame();
    const bool due = s.host.TickCount() - shownAt < 6000;
    EXPECT_EQ(BannerTexts(s, s.host.Frame()),
              due ? std::vector<std::string>{banner} : std::vector<std::string>{})
        << s.host.TickCount() - shownAt << " ms after the end";
    EXPECT_TRUE(CornerTexts(s, s.host.Frame()).empty()) << "no HUD after the run";
  }
}

SCENARIO_TEST(RunEnd, EnemiesLeftAloneEndTheRunByThemselves) {
  Scenario s;
  s.WriteIni("[Main]\nMaxEnemies=10\n");
  s.Start();
  StartRunAtStart(s);
  ASSERT_TRUE(runState.runActive);
  ASSERT_TRUE(RunUntil(
      s, [] { return !runState.runActive; }, 2 * 60 * 1000 / 16));
  EXPECT_TRUE(s.host.GetWorld().player.dead);
  EXPECT_NE(s.ReadLog().find(" kill(s) (10 max enemies)\n"), std::string::npos);
}

SCENARIO_TEST(RunEnd, WithoutDebugTheKeyDuringARunDoesNothing) {
  Scenario s;
  s.WriteIni("[Main]\nMaxEnemies=10\n");
  s.Start();
  s.host.GetWorld().hitDamage = 0;
  StartRunAtStart(s);
  s.RunFrames(20);
  PressActivate(s);
  EXPECT_TRUE(runState.runActive);
  EXPECT_EQ(s.ReadLog(), "");
  EXPECT_EQ(LivingEnemies(s.host.GetWorld()).size(), 10u);
}

SCENARIO_TEST(RunEnd, WithDebugTheKeyEndsTheRunAndCancelsAPlacement) {
  Scenario s;
  s.WriteIni("[Main]\nMaxEnemies=10\nDebug=1\n");
  s.Start();
  sim::World& world = s.host.GetWorld();
  world.hitDamage = 0;
  StartRunAtStart(s);
  s.RunFrames(200);                                                 // 3.2 s
  s.host.TapKey(holdout_test::DefaultKey(&Settings::SpawnerMenu));  // EXPLOSIVES
  s.RunFrame();
  s.host.TapKey(holdout_test::DefaultSelectKey(1));  // its first row
  ASSERT_TRUE(RunUntil(
      s, [] { return placementState.placingObject != 0; }, 10));
  const EntityHandle held = placementState.placingObject;

  PressActivate(s);
  EXPECT_FALSE(runState.runActive);
  EXPECT_EQ(placementState.placingObject, 0);
  EXPECT_EQ(world.objects.count(held), 0u) << "the held object is deleted";
  EXPECT_TRUE(LivingEnemies(world).empty());
  EXPECT_EQ(s.ReadLog(), "You survived for 0:03 and got 0 kill(s) (10 max enemies)\n");
  EXPECT_EQ(notification->text, "You survived for 0:03 and got 0 kill(s)\n(10 max enemies)");
}

}  // namespace
