// Placing objects in the simulated world: where a picked object appears and where it is held
// for each view heading, turning it with the rotate keys and their precedence over the confirm
// key, setting it down, cancelling it (by the menu key or by the end of a run), mounted weapons
// taking the previous heading, delete-last, and the failures: an object the game does not
// create and models that are unusable or never finish loading.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "game/game_natives.h"
#include "runtime/model_loading.h"
#include "spawner/placement.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"

namespace {

using holdout_test::Scenario;
using namespace spawner_test;
namespace natives = sim::natives;

constexpr std::uint32_t SmallExplosive = 0x8B664AFD;   // explosives row 1
constexpr std::uint32_t ExplosiveBarrel = 0xBBFB0174;  // explosives row 4
constexpr const char* SpawnFailedText = "Object could not be spawned";

std::int32_t HeldHandle() {
  return static_cast<std::int32_t>(placementState.placingObject);
}

// True when `text` was drawn in the last frame.
bool DrawnInLastFrame(Scenario& s, const std::string& text) {
  for (const sim::DrawnText& drawn : s.host.Screen().TextsInFrame(s.host.Frame())) {
    if (drawn.text == text) {
      return true;
    }
  }
  return false;
}

SCENARIO_TEST(SpawnerPlacement, ObjectAppearsAheadOfThePlayerAndIsHeldFourMetresOutInTheView) {
  Scenario s;
  sim::World& world = s.host.GetWorld();
  world.player.position = {100.0f, 200.0f, 30.0f};
  world.player.heading = 90.0f;  // facing the world's -x
  s.Start();
  PickFromPage(s, 1, {4});
  const sim::WorldObject* held = HeldObject(s);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->model, ExplosiveBarrel);
  EXPECT_FALSE(held->isVehicle);
  ExpectNear(held->position, 97.0f, 200.0f, 30.0f);  // 3 m ahead at the player's height
  const sim::RecordedCall spawn = s.host.Calls().CallsTo(natives::kSpawnObject).back();
  EXPECT_EQ(std::vector<std::uint64_t>(spawn.args.begin() + 4, spawn.args.end()),
            (std::vector<std::uint64_t>{0, 1, 1, 0, 0}));

  // The view heading is relative to the player: offsets (0,4), (-4,0), (0,-4) in the player's
  // frame, which faces -x here, so forward is -x and the player's left is -y.
  struct Case {
    float viewHeading;
    float x;
    float y;
  };
  for (const Case c : {Case{0.0f, 96.0f, 200.0f}, Case{90.0f, 100.0f, 196.0f},
                       Case{180.0f, 104.0f, 200.0f}, Case{-90.0f, 100.0f, 204.0f}}) {
    SCOPED_TRACE(c.viewHeading);
    world.viewHeading = c.viewHeading;
    s.RunFrame();
    ASSERT_NE(HeldObject(s), nullptr);
    ExpectNear(HeldObject(s)->position, c.x, c.y, 30.7f);
    EXPECT_TRUE(HeldObject(s)->pinned);
  }
  const sim::RecordedCall teleport = s.host.Calls().CallsTo(natives::kTeleportEntity).back();
  EXPECT_EQ(teleport.args[0], static_cast<std::uint64_t>(HeldHandle()));
  EXPECT_EQ(std::vector<std::uint64_t>(teleport.args.begin() + 4, teleport.args.end()),
            (std::vector<std::uint64_t>{1, 1, 1, 0}));
}

SCENARIO_TEST(SpawnerPlacement, RotateKeysTurnTheObjectAndOutrankTheConfirmKey) {
  Scenario s;
  s.host.GetWorld().player.heading = -45.7f;
  s.Start();
  PickFromPage(s, 2, {1});
  ASSERT_NE(HeldHandle(), 0);
  EXPECT_EQ(placementState.placingHeading, -45) << "the player's heading, truncated toward zero";
  s.RunFrame();
  ExpectNear(HeldObject(s)->rotation, 0.0f, 0.0f, -45.0f);

  s.host.PressKey(RotateKey);
  s.RunFrames(5);
  EXPECT_EQ(placementState.placingHeading, -55) << "Q turns by -2 per frame";
  s.host.PressKey(ReverseKey);
  s.RunFrames(3);
  EXPECT_EQ(placementState.placingHeading, -49) << "Shift with Q turns by +2 per frame";
  s.host.ReleaseKey(ReverseKey);
  s.host.PressKey(ConfirmKey);
  s.RunFrames(20);
  EXPECT_EQ(placementState.placingHeading, -89) << "Q with E keeps turning";
  ASSERT_NE(HeldHandle(), 0) << "Q with E never confirms";
  ExpectNear(HeldObject(s)->rotation, 0.0f, 0.0f, -89.0f);

  s.host.ReleaseKey(RotateKey);
  s.host.ReleaseKey(ConfirmKey);
  s.host.PressKey(ReverseKey);
  s.RunFrames(3);
  EXPECT_EQ(placementState.placingHeading, -89) << "Shift alone does not turn";
  EXPECT_NE(HeldHandle(), 0) << "Shift alone does not confirm";
  s.host.PressKey(ConfirmKey);
  s.RunFrame();
  EXPECT_EQ(HeldHandle(), 0) << "Shift does not hold back the confirm key";
}

SCENARIO_TEST(SpawnerPlacement, ConfirmSetsTheObjectDownPinnedAndGivesTheControlsBack) {
  Scenario s;
  s.Start();
  PickFromPage(s, 1, {2});
  const std::int32_t object = HeldHandle();
  ASSERT_NE(object, 0);
  EXPECT_FALSE(s.host.GetWorld().player.controlsEnabled);
  s.RunFrame();
  const sim::Vec3 heldAt = HeldObject(s)->position;

  s.host.PressKey(ConfirmKey);
  s.RunFrame();
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_EQ(placementState.lastSpawnedObject, static_cast<std::uint32_t>(object));
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  const sim::WorldObject& placed = s.host.GetWorld().objects.at(object);
  EXPECT_TRUE(placed.pinned);
  ExpectNear(placed.position, heldAt.x, heldAt.y, heldAt.z);
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kTeleportEntity).back().frame, s.host.Frame() - 1)
      << "the confirming frame moves nothing";
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kSetObjectRotation).back().frame, s.host.Frame() - 1);
  s.RunFrame();
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kGetRelativeViewHeading).back().frame,
            s.host.Frame() - 2)
      << "with nothing held the update returns at once";
}

SCENARIO_TEST(SpawnerPlacement, CancelRemovesTheHeldObjectAndGivesTheControlsBack) {
  Scenario s;
  s.Start();
  PickFromPage(s, 2, {6});
  const std::int32_t object = HeldHandle();
  ASSERT_NE(object, 0);
  s.RunFrame();
  TapMenuKey(s);
  EXPECT_EQ(s.host.GetWorld().objects.count(object), 0u);
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_EQ(placementState.lastSpawnedObject, 0u);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  const std::vector<sim::RecordedCall> removes = s.host.Calls().CallsTo(natives::kRemoveObject);
  ASSERT_EQ(removes.size(), 1u);
  EXPECT_EQ(removes[0].args[0], reinterpret_cast<std::uintptr_t>(&placementState.placingObject));
  const std::vector<sim::RecordedCall> enables = s.host.Calls().CallsTo(natives::kSetPlayerEnabled);
  ASSERT_EQ(enables.size(), 2u);
  EXPECT_EQ(enables[0].args, (std::vector<std::uint64_t>{1, 0}));
  EXPECT_EQ(enables[1].args, (std::vector<std::uint64_t>{1, 1}));
}

SCENARIO_TEST(SpawnerPlacement, RunEndingWhileAnObjectIsHeldRemovesItAndGivesTheControlsBack) {
  Scenario s;
  s.host.GetWorld().player.position = {2726.1582f, -1067.7278f, 47.4046f};
  s.Start();
  s.host.TapKey(0x72);  // F3 at the starting position
  s.RunFrame();
  ASSERT_TRUE(runState.runActive);
  PickFromPage(s, 1, {3});
  const std::int32_t object = HeldHandle();
  ASSERT_NE(object, 0);
  s.host.GetWorld().KillPlayer();
  for (int frame = 0; frame < 20 && runState.runActive; ++frame) {
    s.RunFrame();
  }
  ASSERT_FALSE(runState.runActive);
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_EQ(s.host.GetWorld().objects.count(object), 0u);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
}

SCENARIO_TEST(SpawnerPlacement, MountedWeaponStartsAtTheOriginAndTakesThePreviousHeading) {
  Scenario s;
  s.host.GetWorld().player.heading = 90.0f;
  s.Start();
  PickFromPage(s, 2, {1});
  s.host.PressKey(RotateKey);
  s.RunFrames(5);
  s.host.ReleaseKey(RotateKey);
  s.host.PressKey(ConfirmKey);
  s.RunFrame();
  s.host.ReleaseKey(ConfirmKey);
  ASSERT_EQ(placementState.placingObject, 0u);
  ASSERT_EQ(placementState.placingHeading, 80);

  PickFromPage(s, 3, {3});
  const std::int32_t weapon = HeldHandle();
  ASSERT_NE(weapon, 0);
  const std::uint32_t model = sim::World::NameHash("hotchkiss_cannon");
  const sim::WorldObject& created = s.host.GetWorld().objects.at(weapon);
  EXPECT_TRUE(created.isVehicle);
  EXPECT_EQ(created.model, model);
  EXPECT_EQ(created.decorators.at("wagon_block_honor"), 1);
  ExpectNear(created.position, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kSpawnVehicle).back().args,
            (std::vector<std::uint64_t>{model, 0, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kReleaseModel).back().args,
            std::vector<std::uint64_t>{model});
  EXPECT_FALSE(s.host.GetWorld().player.controlsEnabled);
  EXPECT_EQ(placementState.placingHeading, 80);
  s.RunFrame();
  ExpectNear(s.host.GetWorld().objects.at(weapon).rotation, 0.0f, 0.0f, 80.0f);
  ExpectNear(s.host.GetWorld().objects.at(weapon).position, 2696.0f, -1200.0f, 48.7f);

  s.host.PressKey(ConfirmKey);
  s.RunFrame();
  s.host.ReleaseKey(ConfirmKey);
  EXPECT_EQ(placementState.lastSpawnedObject, static_cast<std::uint32_t>(weapon));
  PickFromPage(s, 3, {3});
  EXPECT_NE(HeldHandle(), weapon) << "the same row makes a second weapon";
  EXPECT_EQ(s.host.GetWorld().objects.count(weapon), 1u) << "the first stays in the world";
}

SCENARIO_TEST(SpawnerPlacement, DeleteRowRemovesOnlyTheLastConfirmedObject) {
  Scenario s;
  s.Start();
  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.Calls().Count(natives::kRemoveObject), 0u) << "nothing confirmed yet";
  PlaceAndConfirm(s, 2, 4);
  const auto first = static_cast<std::int32_t>(placementState.lastSpawnedObject);
  PlaceAndConfirm(s, 3, 1);
  const auto second = static_cast<std::int32_t>(placementState.lastSpawnedObject);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, first);

  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.GetWorld().objects.count(second), 0u);
  EXPECT_EQ(s.host.GetWorld().objects.count(first), 1u);
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kRemoveObject).back().args[0],
            reinterpret_cast<std::uintptr_t>(&placementState.lastSpawnedObject));
  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.GetWorld().objects.count(first), 1u) << "out of the menu's reach";
  ExpectControlsMatchPlacement(s);
}

SCENARIO_TEST(SpawnerPlacement, ObjectTheGameDoesNotCreateLeavesThePlayerFreeAndSaysSo) {
  Scenario s;
  s.host.GetWorld().objectSpawnsFail = true;
  s.Start();
  PickFromPage(s, 1, {1});
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  EXPECT_EQ(s.host.Calls().Count(natives::kSetPlayerEnabled), 0u);
  const std::uint32_t shownAt = s.host.TickCount();
  s.RunFrame();
  EXPECT_TRUE(DrawnInLastFrame(s, SpawnFailedText));
  EXPECT_TRUE(s.host.Screen().BoxesInFrame(s.host.Frame()).empty()) << "the menu closed";
  while (s.host.TickCount() - shownAt + s.host.FrameDuration() < 2500) {
    s.RunFrame();
  }
  EXPECT_TRUE(DrawnInLastFrame(s, SpawnFailedText));
  s.RunFrame();
  EXPECT_FALSE(DrawnInLastFrame(s, SpawnFailedText)) << "shown for 2500 ms";

  s.host.GetWorld().objectSpawnsFail = false;
  PickFromPage(s, 1, {1});
  EXPECT_NE(placementState.placingObject, 0u) << "the next pick works";
  ExpectControlsMatchPlacement(s);
}

SCENARIO_TEST(SpawnerPlacement, UnusableModelsSayNothingForWeaponsAndTheBannerForObjects) {
  Scenario s;
  s.host.GetWorld().ModelFor(SmallExplosive).valid = false;
  s.host.GetWorld().ModelNamed("gatling_gun").available = false;
  s.Start();
  PickFromPage(s, 1, {1});
  s.RunFrame();
  EXPECT_TRUE(DrawnInLastFrame(s, SpawnFailedText));
  PickFromPage(s, 3, {1});
  s.RunFrame();
  EXPECT_EQ(s.host.Screen().TextsInFrame(s.host.Frame()).size(), 1u) << "only the old banner";
  EXPECT_EQ(s.host.Calls().Count(natives::kRequestModel), 0u);
  EXPECT_TRUE(s.host.GetWorld().objects.empty());
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
}

SCENARIO_TEST(SpawnerPlacement, ModelThatNeverLoadsIsGivenUpAfterTenSeconds) {
  Scenario s;
  s.host.GetWorld().ModelFor(SmallExplosive).loadFrames = -1;
  s.host.GetWorld().ModelNamed("breach_cannon").loadFrames = -1;
  s.Start();

  TapMenuKey(s);
  s.host.TapKey(SelectKey(1));
  const std::uint32_t picked = s.host.TickCount() + s.host.FrameDuration();
  s.RunFrame();
  FinishModelWaits(s);
  const std::uint32_t waited = s.host.TickCount() - picked;
  EXPECT_GE(waited, ModelLoadTimeoutMs);
  EXPECT_LT(waited, ModelLoadTimeoutMs + 3 * s.host.FrameDuration());
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_TRUE(DrawnInLastFrame(s, SpawnFailedText));
  s.RunFrames(160);  // past the banner

  PickFromPage(s, 3, {4});
  s.RunFrame();
  EXPECT_TRUE(s.host.Screen().TextsInFrame(s.host.Frame()).empty()) << "no banner for a weapon";
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnVehicle), 0u);
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnObject), 0u);
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  // The frame loop is back: the menu key works again.
  TapMenuKey(s);
  EXPECT_FALSE(s.host.Screen().BoxesInFrame(s.host.Frame()).empty());
}

}  // namespace
