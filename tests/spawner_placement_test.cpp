// Placing objects in the simulated world: where a picked object appears and where it is held
// for each view heading, frame after frame as the player and the view move, the rotate keys and
// their precedence over the confirm key, setting down and cancelling (by the menu key or the end of
// a run), mounted weapons taking the previous heading, delete-last, and the failures: an object the
// game does not create and models that are unusable or never finish loading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
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

constexpr const char* kSpawnFailedText = "Object could not be spawned";

EntityHandle Held() {
  return placementState.placingObject;
}

bool DrawnInLastFrame(Scenario& s, const std::string& text) {
  for (const sim::DrawnText& drawn : s.host.Screen().TextsInFrame(s.host.Frame())) {
    if (drawn.text == text) {
      return true;
    }
  }
  return false;
}

std::vector<std::uint64_t> TrailingArgs(const sim::RecordedCall& call, std::size_t from) {
  return std::vector<std::uint64_t>(call.args.begin() + static_cast<std::ptrdiff_t>(from),
                                    call.args.end());
}

SCENARIO_TEST(SpawnerPlacement, ObjectAppearsAheadOfThePlayerAndIsHeldFourMetresOutInTheView) {
  Scenario s;
  sim::World& world = s.host.GetWorld();
  world.player.position = {100.0f, 200.0f, 30.0f};
  world.player.heading = 90.0f;  // facing the world's -x; the player's left is -y
  s.Start();
  PickFromPage(s, 1, {4});
  ASSERT_NE(HeldObject(s), nullptr);
  EXPECT_EQ(HeldObject(s)->model, 0xBBFB0174u);
  ExpectNear(HeldObject(s)->position, 97.0f, 200.0f, 30.0f);  // 3 m ahead, at the player's height
  EXPECT_EQ(TrailingArgs(s.host.Calls().CallsTo(natives::kSpawnObject).back(), 4),
            (std::vector<std::uint64_t>{0, 1, 1, 0, 0}));

  // View headings 0, 90, 180, -90: offsets (0,4), (-4,0), (0,-4), (4,0) in the player's frame.
  const struct {
    float view;
    float x;
    float y;
  } cases[] = {{0.0f, 96.0f, 200.0f},
               {90.0f, 100.0f, 196.0f},
               {180.0f, 104.0f, 200.0f},
               {-90.0f, 100.0f, 204.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.view);
    world.viewHeading = c.view;
    s.RunFrame();
    ExpectNear(HeldObject(s)->position, c.x, c.y, 30.7f);
    EXPECT_TRUE(HeldObject(s)->pinned);
  }
  EXPECT_EQ(TrailingArgs(s.host.Calls().CallsTo(natives::kTeleportEntity).back(), 4),
            (std::vector<std::uint64_t>{1, 1, 1, 0}));
}

SCENARIO_TEST(SpawnerPlacement, HeldObjectFollowsThePlayerWhateverTheViewDidSinceTheFrameBefore) {
  Scenario s;
  sim::World& world = s.host.GetWorld();
  world.player.position = {100.0f, 200.0f, 30.0f};
  world.player.heading = 90.0f;  // facing the world's -x; the player's left is -y
  s.Start();
  PickFromPage(s, 1, {4});
  ASSERT_NE(HeldObject(s), nullptr);

  // The view stays at 0 while the player walks and then turns to face the world's -y.
  world.viewHeading = 0.0f;
  s.RunFrame();
  ExpectNear(HeldObject(s)->position, 96.0f, 200.0f, 30.7f);
  world.player.position = {110.0f, 210.0f, 35.0f};
  s.RunFrame();
  ExpectNear(HeldObject(s)->position, 106.0f, 210.0f, 35.7f);
  world.player.heading = 180.0f;
  s.RunFrame();
  ExpectNear(HeldObject(s)->position, 110.0f, 206.0f, 35.7f);

  // The view turns a quarter to the player's left, back, and there again.
  const struct {
    float view;
    float x;
    float y;
  } views[] = {{90.0f, 114.0f, 210.0f}, {0.0f, 110.0f, 206.0f}, {90.0f, 114.0f, 210.0f}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.view);
    world.viewHeading = v.view;
    s.RunFrame();
    ExpectNear(HeldObject(s)->position, v.x, v.y, 35.7f);
  }
}

SCENARIO_TEST(SpawnerPlacement, RotateKeysTurnTheObjectOutrankingConfirmWhichSetsItDown) {
  Scenario s;
  s.host.GetWorld().player.heading = -45.7f;
  s.Start();
  PickFromPage(s, 2, {1});
  const EntityHandle object = Held();
  ASSERT_NE(object, 0);
  EXPECT_EQ(placementState.placingHeading, -45) << "the player's heading, truncated toward zero";
  EXPECT_FALSE(s.host.GetWorld().player.controlsEnabled);

  s.host.PressKey(kRotateKey);
  s.RunFrames(5);
  EXPECT_EQ(placementState.placingHeading, -55) << "Q: -2 per frame";
  s.host.PressKey(kReverseKey);
  s.RunFrames(3);
  EXPECT_EQ(placementState.placingHeading, -49) << "Shift with Q: +2 per frame";
  s.host.ReleaseKey(kReverseKey);
  s.host.PressKey(kConfirmKey);
  s.RunFrames(20);
  EXPECT_EQ(placementState.placingHeading, -89) << "Q with E keeps turning, never confirms";
  ASSERT_EQ(Held(), object);
  ExpectNear(HeldObject(s)->rotation, 0.0f, 0.0f, -89.0f);

  s.host.ReleaseKey(kRotateKey);
  s.host.ReleaseKey(kConfirmKey);
  s.host.PressKey(kReverseKey);
  s.RunFrames(3);
  EXPECT_EQ(placementState.placingHeading, -89) << "Shift alone neither turns";
  EXPECT_EQ(Held(), object) << "nor confirms";
  const sim::Vec3 heldAt = HeldObject(s)->position;
  s.host.PressKey(kConfirmKey);
  s.RunFrame();
  EXPECT_EQ(Held(), 0) << "and Shift does not hold the confirm key back";
  EXPECT_EQ(placementState.lastSpawnedObject, object);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  const sim::WorldObject& placed = s.host.GetWorld().objects.at(object);
  EXPECT_TRUE(placed.pinned);
  ExpectNear(placed.position, heldAt.x, heldAt.y, heldAt.z);
  EXPECT_LT(s.host.Calls().CallsTo(natives::kTeleportEntity).back().frame, s.host.Frame())
      << "the confirming frame moves nothing";
  s.RunFrame();
  EXPECT_EQ(s.host.Calls().CallsInFrame(s.host.Frame()).size(), 4u) << "only the frame calls";
}

SCENARIO_TEST(SpawnerPlacement, MenuKeyAndTheEndOfARunRemoveTheHeldObjectAndFreeThePlayer) {
  Scenario s;
  s.host.GetWorld().player.position = {2726.1582f, -1067.7278f, 47.4046f};
  s.Start();
  PickFromPage(s, 2, {6});
  const EntityHandle cancelled = Held();
  ASSERT_NE(cancelled, 0);
  s.RunFrame();
  TapMenuKey(s);
  EXPECT_EQ(s.host.GetWorld().objects.count(cancelled), 0u);
  EXPECT_EQ(placementState.placingObject, 0);
  EXPECT_EQ(placementState.lastSpawnedObject, 0);
  const std::vector<sim::RecordedCall> enables = s.host.Calls().CallsTo(natives::kSetPlayerEnabled);
  ASSERT_EQ(enables.size(), 2u);
  EXPECT_EQ(enables[0].args, (std::vector<std::uint64_t>{1, 0}));
  EXPECT_EQ(enables[1].args, (std::vector<std::uint64_t>{1, 1}));

  s.host.TapKey(holdout_test::DefaultKey(&Settings::ActivateMod));  // a run starts
  s.RunFrame();
  ASSERT_TRUE(runState.runActive);
  PickFromPage(s, 1, {3});
  const EntityHandle held = Held();
  ASSERT_NE(held, 0);
  s.host.GetWorld().KillPlayer();
  for (int frame = 0; frame < 20 && runState.runActive; ++frame) {
    s.RunFrame();
  }
  ASSERT_FALSE(runState.runActive);
  EXPECT_EQ(s.host.GetWorld().objects.count(held), 0u);
  EXPECT_EQ(placementState.placingObject, 0);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
}

SCENARIO_TEST(SpawnerPlacement, WeaponTakesThePreviousHeadingAndDeleteReachesOnlyTheLastConfirmed) {
  Scenario s;
  s.host.GetWorld().player.heading = 90.0f;
  s.Start();
  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.Calls().Count(natives::kRemoveObject), 0u) << "nothing confirmed yet";
  PickFromPage(s, 2, {1});
  const EntityHandle cover = Held();
  s.host.PressKey(kRotateKey);
  s.RunFrames(5);
  s.host.ReleaseKey(kRotateKey);
  Confirm(s);
  ASSERT_EQ(placementState.lastSpawnedObject, cover);

  PickFromPage(s, 3, {3});
  const EntityHandle weapon = Held();
  ASSERT_NE(weapon, 0);
  const std::uint32_t model = sim::World::NameHash("hotchkiss_cannon");
  const sim::WorldObject& created = s.host.GetWorld().objects.at(weapon);
  EXPECT_TRUE(created.isVehicle);
  EXPECT_EQ(created.model, model);
  EXPECT_EQ(created.decorators.at("wagon_block_honor"), 1);
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kSpawnVehicle).back().args,
            (std::vector<std::uint64_t>{model, 0, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(s.host.Calls().CallsTo(natives::kReleaseModel).back().args,
            std::vector<std::uint64_t>{model});
  EXPECT_FALSE(s.host.GetWorld().player.controlsEnabled);
  s.RunFrame();
  ExpectNear(s.host.GetWorld().objects.at(weapon).rotation, 0.0f, 0.0f, 80.0f);
  ExpectNear(s.host.GetWorld().objects.at(weapon).position, 2696.0f, -1200.0f, 48.7f);

  Confirm(s);
  ASSERT_EQ(placementState.lastSpawnedObject, weapon);
  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.GetWorld().objects.count(weapon), 0u);
  EXPECT_EQ(placementState.lastSpawnedObject, 0) << "the game's 0 came back to the variable";
  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.GetWorld().objects.count(cover), 1u) << "out of the delete row's reach";
}

// The game clears the last confirmed object away and hands its freed handle value to the next
// object created. Rows 1 and 7 picked in one frame then hold a new object under the handle the
// delete row remembers: the held object stays, and the player keeps holding it.
SCENARIO_TEST(SpawnerPlacement, DeleteRowLeavesTheHeldObjectAloneWhenItsHandleIsTheLastConfirmed) {
  Scenario s;
  s.host.GetWorld().churn.handlesReused = true;
  s.Start();
  PickFromPage(s, 1, {1});
  const EntityHandle first = Held();
  Confirm(s);
  ASSERT_EQ(placementState.lastSpawnedObject, first);
  s.host.GetWorld().RemoveObject(first);

  PickFromPage(s, 1, {1, 7});
  ASSERT_EQ(placementState.placingObject, first) << "the freed handle came back";
  EXPECT_EQ(s.host.Calls().Count(natives::kRemoveObject), 0u);
  ASSERT_NE(HeldObject(s), nullptr);
  EXPECT_FALSE(s.host.GetWorld().player.controlsEnabled);
  s.RunFrame();
  EXPECT_NE(HeldObject(s), nullptr);
  Confirm(s);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  EXPECT_EQ(s.host.GetWorld().objects.count(first), 1u);

  PickFromPage(s, 1, {7});
  EXPECT_EQ(s.host.GetWorld().objects.count(first), 0u) << "once set down, it is the row's";
}

SCENARIO_TEST(SpawnerPlacement, ObjectTheGameDoesNotCreateLeavesThePlayerFreeAndSaysSo) {
  Scenario s;
  s.host.GetWorld().objectSpawnsFail = true;
  s.Start();
  PickFromPage(s, 1, {1});
  const std::uint32_t shownAt = s.host.TickCount();
  EXPECT_EQ(placementState.placingObject, 0);
  EXPECT_EQ(s.host.Calls().Count(natives::kSetPlayerEnabled), 0u);
  s.RunFrame();
  EXPECT_TRUE(DrawnInLastFrame(s, kSpawnFailedText));
  while (s.host.TickCount() + s.host.FrameDuration() - shownAt < 2500) {
    s.RunFrame();
  }
  EXPECT_TRUE(DrawnInLastFrame(s, kSpawnFailedText));
  s.RunFrame();
  EXPECT_FALSE(DrawnInLastFrame(s, kSpawnFailedText)) << "shown for 2500 ms";

  s.host.GetWorld().objectSpawnsFail = false;
  PickFromPage(s, 1, {1});
  EXPECT_NE(placementState.placingObject, 0) << "the next pick works";
}

SCENARIO_TEST(SpawnerPlacement, UnusableOrNeverLoadingModelsShowTheBannerForObjectsOnly) {
  Scenario s;
  sim::World& world = s.host.GetWorld();
  world.ModelFor(0x8B664AFD).valid = false;           // explosives row 1
  world.ModelFor(0xF6B3A3D6).loadFrames = -1;         // explosives row 2
  world.ModelNamed("gatling_gun").available = false;  // weapons row 1
  world.ModelNamed("breach_cannon").loadFrames = -1;  // weapons row 4
  s.Start();
  PickFromPage(s, 1, {1});
  s.RunFrame();
  EXPECT_TRUE(DrawnInLastFrame(s, kSpawnFailedText));
  EXPECT_EQ(s.host.Calls().Count(natives::kRequestModel), 0u);

  TapMenuKey(s);
  s.host.TapKey(SelectKey(2));
  const std::uint32_t picked = s.host.TickCount() + s.host.FrameDuration();
  s.RunFrame();
  FinishModelWaits(s);
  const std::uint32_t waited = s.host.TickCount() - picked;
  EXPECT_GE(waited, kModelLoadTimeoutMs);
  EXPECT_LT(waited, kModelLoadTimeoutMs + 3 * s.host.FrameDuration());
  EXPECT_TRUE(DrawnInLastFrame(s, kSpawnFailedText));
  s.RunFrames(160);  // past the banner

  PickFromPage(s, 3, {1});
  PickFromPage(s, 3, {4});
  s.RunFrame();
  EXPECT_TRUE(s.host.Screen().TextsInFrame(s.host.Frame()).empty()) << "no banner for weapons";
  EXPECT_TRUE(world.objects.empty());
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnVehicle), 0u);
  EXPECT_TRUE(world.player.controlsEnabled);
  TapMenuKey(s);
  EXPECT_FALSE(s.host.Screen().BoxesInFrame(s.host.Frame()).empty()) << "the loop runs on";
}

// Headings no whole number of degrees holds still give one, defined and without overflow: NaN
// and infinities read as 0, a heading beyond 2^31 is taken modulo a turn, and turning past the
// 32-bit range wraps around it. Ordinary headings keep their truncated value.
SCENARIO_TEST(SpawnerPlacement, AnyHeadingTheGameReportsBecomesWholeDegrees) {
  Scenario s;
  s.Start();
  const struct {
    float reported;
    std::int32_t held;
  } cases[] = {
      {std::numeric_limits<float>::quiet_NaN(), 0},
      {std::numeric_limits<float>::infinity(), 0},
      {-std::numeric_limits<float>::infinity(), 0},
      {1e30f, static_cast<std::int32_t>(std::fmod(1e30f, 360.0f))},
      {-3e9f, static_cast<std::int32_t>(std::fmod(-3e9f, 360.0f))},
      {-725.7f, -725},
      {2147483008.0f, 2147483008},
  };
  for (const auto& c : cases) {
    // The game answers the player's rotation with the case's heading.
    s.host.SetAnswerHook([&c](std::uint64_t hash, const sim::NativeCall& call) {
      if (hash == sim::natives::kGetRotation) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &c.reported, sizeof bits);
        call.result[2] = bits;
      }
    });
    PickFromPage(s, 2, {1});
    ASSERT_NE(Held(), 0);
    EXPECT_EQ(placementState.placingHeading, c.held) << c.reported;
    if (c.held == 2147483008) {
      // Shift, then Q, which alone repeats from then on: 400 frames of 10 ms keep Shift's one
      // message within its 5-second held window.
      s.host.SetFrameDuration(10);
      s.host.PressKey(kReverseKey);
      s.host.PressKey(kRotateKey);
      for (int frame = 0; frame < 400; ++frame) {  // +2 a frame, past the largest 32-bit value
        s.host.RepeatKey(kRotateKey);
        s.RunFrame();
      }
      s.host.ReleaseKey(kReverseKey);
      s.host.ReleaseKey(kRotateKey);
      EXPECT_EQ(placementState.placingHeading, -2147483488) << "wrapped around the 32-bit range";
    }
    TapMenuKey(s);  // cancelled
    ASSERT_EQ(Held(), 0);
  }
}

}  // namespace
