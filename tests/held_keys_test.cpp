// What the placement keys do on the keyboard as Windows reports it. Only the key pressed last
// auto-repeats, and a key counts as held for 5 s after its last press or repeat: so of two keys
// held together, the one pressed first counts as held for 5 s after the second went down, and
// then no longer, though the player still holds it. A window that loses the focus gets no key-up:
// a key held then counts as held for 5 s after its last message, and then no longer. This is
// the key table's behaviour, which the player's guide describes.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/fault_injector.h"
#include "spawner/placement.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;
using namespace spawner_test;

// Frames of 16 ms within the 5-second held window after a message: frame k after the message
// runs 16k ms later, so frames 1..312 see the key held and frame 313 no longer.
constexpr int kFramesHeld = 312;

// Runs `frames` frames, each after the keyboard's auto-repeat of both keys; the repeat goes
// to the key pressed last only.
void HoldBoth(Scenario& s, DWORD first, DWORD second, int frames) {
  for (int i = 0; i < frames; ++i) {
    EXPECT_FALSE(s.host.RepeatKey(first)) << "the key pressed first repeats no more";
    EXPECT_TRUE(s.host.RepeatKey(second));
    s.RunFrame();
  }
}

// Picks the first cover object, which the player then holds, at heading 0.
std::int32_t HoldCover(Scenario& s) {
  s.Start();
  PickFromPage(s, 2, {1});
  EXPECT_NE(placementState.placingObject, 0);
  return placementState.placingHeading;
}

SCENARIO_TEST(HeldPlacementKeys, ShiftHeldThenQTurnsBackwardFor5SecondsThenForward) {
  Scenario s;
  const std::int32_t start = HoldCover(s);
  s.host.PressKey(kReverseKey);
  s.host.PressKey(kRotateKey);
  HoldBoth(s, kReverseKey, kRotateKey, kFramesHeld);
  EXPECT_EQ(placementState.placingHeading, start + 2 * kFramesHeld) << "Shift with Q: +2";
  HoldBoth(s, kReverseKey, kRotateKey, 10);
  EXPECT_EQ(placementState.placingHeading, start + 2 * kFramesHeld - 2 * 10)
      << "Shift's last message is 5 s old: Q alone, -2 a frame, with both keys still down";
}

SCENARIO_TEST(HeldPlacementKeys, QHeldThenShiftTurnsBackwardFor5SecondsThenStops) {
  Scenario s;
  const std::int32_t start = HoldCover(s);
  s.host.PressKey(kRotateKey);
  s.RunFrame();
  s.host.PressKey(kReverseKey);
  HoldBoth(s, kRotateKey, kReverseKey, kFramesHeld - 1);
  EXPECT_EQ(placementState.placingHeading, start - 2 + 2 * (kFramesHeld - 1));
  HoldBoth(s, kRotateKey, kReverseKey, 10);
  EXPECT_EQ(placementState.placingHeading, start - 2 + 2 * (kFramesHeld - 1))
      << "Q's last message is 5 s old: Shift alone turns nothing";
  EXPECT_NE(placementState.placingObject, 0) << "and the object is still held";
}

SCENARIO_TEST(HeldPlacementKeys, AfterFocusLossAKeyCountsAsHeldFor5SecondsAfterItsLastMessage) {
  Scenario s;
  const std::int32_t start = HoldCover(s);
  s.host.PressKey(kRotateKey);
  s.host.SetWindowFocused(false);  // the player switches windows with Q down ...
  s.host.ReleaseKey(kRotateKey);   // ... and lets it go there: no key-up comes
  s.RunFrames(kFramesHeld);
  EXPECT_EQ(placementState.placingHeading, start - 2 * kFramesHeld) << "still turning";
  s.RunFrames(10);
  EXPECT_EQ(placementState.placingHeading, start - 2 * kFramesHeld) << "then no longer";

  // Back in the game, E sets the object down as ever.
  s.host.SetWindowFocused(true);
  Confirm(s);
  EXPECT_EQ(placementState.placingObject, 0);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
}

SCENARIO_TEST(HeldPlacementKeys, FocusLostFaultTakesTheFocusWhileAKeyIsDownAndGivesItBack) {
  Scenario s;
  sim::FaultInjector injector(s.host);
  const std::int32_t start = HoldCover(s);
  injector.Arm(sim::FaultKind::kFocusLost, 1);
  s.RunFrames(5);
  EXPECT_FALSE(injector.Reached()) << "no key down, no focus lost";
  s.host.PressKey(kRotateKey);
  s.RunFrame();
  ASSERT_TRUE(injector.Reached());
  EXPECT_FALSE(s.host.WindowFocused());
  s.host.ReleaseKey(kRotateKey);
  s.RunFrames(sim::kFocusAwayFrames - 1);
  EXPECT_FALSE(s.host.WindowFocused());
  s.RunFrame();
  EXPECT_TRUE(s.host.WindowFocused()) << "back after kFocusAwayFrames frames";
  EXPECT_EQ(placementState.placingHeading, start - 2 * (1 + sim::kFocusAwayFrames))
      << "Q, let go while away, kept turning the object";
  EXPECT_EQ(injector.Injected(), 1u);
}

}  // namespace
