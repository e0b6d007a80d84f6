// What the sweeps and the soak hold the plug-in to, read from the world, the screen and the log:
// a run's end that leaves no summary, an object deleted from the player's hands, an object left
// behind or vanished, and two menus at once are each reported; a summary replaced by a later
// banner or outrun by a leaping clock, an object the game takes away, and a new start of the
// script function are not.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "developer/soak/session_invariants.h"
#include "runtime/frame_steps.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival_steps.h"

namespace {

// A summary shows for 6 s: this many 16 ms frames outlast it.
constexpr std::uint32_t kPastTheSummary = 400;

// Runs `frames` frames and checks after each; returns every breach.
std::vector<std::string> Play(holdout_test::Scenario& s, SessionInvariants& invariants,
                              std::uint32_t frames) {
  std::vector<std::string> breaches;
  for (std::uint32_t i = 0; i < frames; ++i) {
    s.RunFrame();
    for (std::string& breach : invariants.Check()) {
      breaches.push_back(std::move(breach));
    }
    s.host.Screen().Clear();
  }
  return breaches;
}

// The breaches that mention `words`.
std::size_t Mentioning(const std::vector<std::string>& breaches, std::string_view words) {
  return static_cast<std::size_t>(
      std::count_if(breaches.begin(), breaches.end(), [words](const std::string& breach) {
        return breach.find(words) != std::string::npos;
      }));
}

std::string Joined(const std::vector<std::string>& breaches) {
  std::string all;
  for (const std::string& breach : breaches) {
    all += breach + "\n";
  }
  return all;
}

SCENARIO_TEST(PlayerOutcomes, ARunsEndMustLeaveItsSummaryInTheLogAndTheBanner) {
  holdout_test::Scenario s;
  survival_test::StartQuiet(s);
  SessionInvariants invariants(s.host, s.Directory() / "Holdout.log");
  survival_test::StartRunAtStart(s);
  ASSERT_TRUE(Play(s, invariants, 30).empty());

  s.host.GetWorld().KillPlayer();
  EXPECT_EQ(Joined(Play(s, invariants, kPastTheSummary)), "") << "a run ended as it should";
  ASSERT_FALSE(runState.runActive);

  // A run that stops with no summary, as an end that lost it would.
  s.host.GetWorld().player.dead = false;
  survival_test::StartRunAtStart(s);
  ASSERT_TRUE(Play(s, invariants, 30).empty());
  runState.runActive = false;
  std::vector<std::string> breaches = Play(s, invariants, 1);
  EXPECT_EQ(Mentioning(breaches, "the log gained no summary"), 1u) << Joined(breaches);
  breaches = Play(s, invariants, kPastTheSummary);
  EXPECT_EQ(Mentioning(breaches, "never showed in the banner"), 1u) << Joined(breaches);
}

SCENARIO_TEST(PlayerOutcomes, ASummaryReplacedOrOutrunByTheClockIsNoBreach) {
  holdout_test::Scenario s;
  survival_test::StartQuiet(s, "[Main]\nMaxEnemies=10\nDebug=1\n");
  SessionInvariants invariants(s.host, s.Directory() / "Holdout.log");

  // The activation key ends the run with Debug on, and F2 in the same frame replaces the
  // summary before the banner draws it.
  survival_test::StartRunAtStart(s);
  ASSERT_TRUE(Play(s, invariants, 30).empty());
  s.host.TapKey(survival_test::kActivateKey);
  s.host.TapKey(kPositionCaptureKey);
  EXPECT_EQ(Joined(Play(s, invariants, kPastTheSummary)), "");

  // The tick count leaps a day ahead in the frame after the end: the summary expired unseen.
  survival_test::StartRunAtStart(s);
  ASSERT_TRUE(Play(s, invariants, 30).empty());
  s.host.TapKey(survival_test::kActivateKey);
  ASSERT_TRUE(Play(s, invariants, 1).empty());
  s.host.SetTickCount(s.host.TickCount() + 24u * 60u * 60u * 1000u);
  EXPECT_EQ(Joined(Play(s, invariants, kPastTheSummary)), "");
}

// Spawner steps with the invariants checked after every frame; each returns the breaches.
struct CheckedSpawner {
  holdout_test::Scenario& s;
  SessionInvariants invariants{s.host, s.Directory() / "Holdout.log"};

  std::vector<std::string> Frames(std::uint32_t count) { return Play(s, invariants, count); }
  std::vector<std::string> Tap(DWORD key, std::uint32_t frames) {
    s.host.TapKey(key);
    return Frames(frames);
  }
  // Opens the explosives and picks row 1: the object is held once its model has loaded.
  std::vector<std::string> HoldNew() {
    std::vector<std::string> breaches = Tap(spawner_test::kMenuKey, 1);
    for (std::string& breach : Tap(spawner_test::SelectKey(1), 5)) {
      breaches.push_back(std::move(breach));
    }
    return breaches;
  }
  std::vector<std::string> Confirm() {
    s.host.PressKey(spawner_test::kConfirmKey);
    std::vector<std::string> breaches = Frames(1);
    s.host.ReleaseKey(spawner_test::kConfirmKey);
    return breaches;
  }
};

SCENARIO_TEST(PlayerOutcomes, AnObjectIsHeldSetDownOrGone) {
  holdout_test::Scenario s;
  s.Start();
  sim::World& world = s.host.GetWorld();
  CheckedSpawner spawner{s};

  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  const std::int32_t first = placementState.placingObject;
  ASSERT_NE(first, 0);
  ASSERT_EQ(Joined(spawner.Confirm()), "");
  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  ASSERT_EQ(Joined(spawner.Confirm()), "") << "two objects set down";

  world.RemoveObject(first);
  std::vector<std::string> breaches = spawner.Frames(1);
  EXPECT_EQ(Mentioning(breaches, "vanished, set down earlier"), 1u) << Joined(breaches);

  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  world.ObjectLeaves(placementState.placingObject);
  EXPECT_EQ(Joined(spawner.Frames(5)), "") << "the game took the held object away";
  ASSERT_EQ(Joined(spawner.Tap(spawner_test::kMenuKey, 1)), "") << "a cancel";

  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  world.RemoveObject(placementState.placingObject);
  breaches = spawner.Frames(5);
  EXPECT_EQ(Mentioning(breaches, "deleted while the player still holds it"), 1u)
      << Joined(breaches);
  EXPECT_EQ(breaches.size(), 1u) << "told once:\n" << Joined(breaches);
  spawner.Tap(spawner_test::kMenuKey, 1);

  // An object made and deleted between two checks, its handle held on to.
  const std::int32_t unseen = world.AddObject(sim::WorldObject{});
  world.RemoveObject(unseen);
  placementState.placingObject = unseen;
  world.player.controlsEnabled = false;
  breaches = spawner.Frames(5);
  EXPECT_EQ(Mentioning(breaches, "held still with object " + std::to_string(unseen) +
                                     ", which is not in the world"),
            1u)
      << Joined(breaches);
  EXPECT_EQ(breaches.size(), 1u) << "told once:\n" << Joined(breaches);
  spawner.Tap(spawner_test::kMenuKey, 1);

  // The plug-in lets go of an object without setting it down or deleting it.
  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  const std::int32_t dropped = placementState.placingObject;
  placementState.placingObject = 0;
  world.player.controlsEnabled = true;
  breaches = spawner.Frames(1);
  EXPECT_EQ(Mentioning(breaches, "object " + std::to_string(dropped) + " is left in the world"),
            1u)
      << Joined(breaches);
  // While no object comes or goes only the objects not set down are looked at again; the one
  // left behind is still among them, frame after frame.
  breaches = spawner.Frames(3);
  EXPECT_EQ(Mentioning(breaches, "object " + std::to_string(dropped) + " is left in the world"),
            3u)
      << Joined(breaches);
}

// The run's end cancels the held object and, in the same frame, the menu key and row 1 begin a
// new placement, the game handing the new object the freed handle: a new placement, no breach.
SCENARIO_TEST(PlayerOutcomes, ACancelAndANewPlacementUnderTheFreedHandleInOneFrameIsNoBreach) {
  holdout_test::Scenario s;
  survival_test::StartQuiet(s);
  s.host.GetWorld().churn.handlesReused = true;
  CheckedSpawner spawner{s};
  survival_test::StartRunAtStart(s);
  ASSERT_EQ(Joined(spawner.Frames(30)), "");
  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  const std::int32_t held = placementState.placingObject;
  ASSERT_NE(held, 0);

  s.host.GetWorld().KillPlayer();
  std::vector<std::string> breaches;
  while (runState.runActive) {
    s.host.TapKey(spawner_test::kMenuKey);
    s.host.TapKey(spawner_test::SelectKey(1));
    for (std::string& breach : spawner.Frames(1)) {
      breaches.push_back(std::move(breach));
    }
  }
  ASSERT_EQ(placementState.placingObject, held) << "the new object has the freed handle";
  EXPECT_EQ(Joined(breaches), "");
}

SCENARIO_TEST(PlayerOutcomes, ANewStartForgetsTheObjectsBeforeIt) {
  holdout_test::Scenario s;
  s.Start();
  CheckedSpawner spawner{s};
  ASSERT_EQ(Joined(spawner.HoldNew()), "");
  ASSERT_NE(placementState.placingObject, 0);
  s.host.RestartScript();
  EXPECT_EQ(Joined(spawner.Frames(5)), "") << "the held object is left where it was";
  EXPECT_EQ(Joined(spawner.HoldNew()), "");
  EXPECT_NE(placementState.placingObject, 0);
  EXPECT_EQ(Joined(spawner.Tap(spawner_test::kMenuKey, 1)), "") << "a cancel after the start";
}

SCENARIO_TEST(PlayerOutcomes, TwoMenusOnScreenAreOneTooMany) {
  holdout_test::Scenario s;
  s.Start();
  SessionInvariants invariants(s.host, s.Directory() / "Holdout.log");
  spawner_test::TapMenuKey(s);
  ASSERT_TRUE(invariants.Check().empty()) << "one menu";
  sim::ScreenRecorder& screen = s.host.Screen();
  screen.DrawTextAt(screen.MakeLiteralText("COVER"), 0.8f, 0.1f);
  EXPECT_EQ(Mentioning(invariants.Check(), "2 menus on screen"), 1u);
}

}  // namespace
