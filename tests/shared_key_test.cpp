// Two actions on one key: a press triggers the action check-ini says it triggers, and the other
// action does nothing, or only when check-ini says it does.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "player/check_ini.h"
#include "runtime/frame_steps.h"
#include "settings/settings.h"
#include "spawner_steps.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

constexpr DWORD kSharedKey = 0x70;  // F1, bound to nothing by default

// True when check-ini, reading `ini`, says these words of a shared key.
bool CheckIniSays(const std::string& ini, const std::string& words) {
  const IniExplanation explanation = ExplainIni(ini);
  return std::any_of(explanation.problems.begin(), explanation.problems.end(),
                     [&words](const Problem& problem) {
                       return problem.sentence.find(words) != std::string::npos;
                     });
}

bool Drawn(Scenario& s, const std::string& text) {
  const auto texts = s.host.Screen().TextsInFrame(s.host.Frame());
  return std::any_of(texts.begin(), texts.end(),
                     [&](const sim::DrawnText& drawn) { return drawn.text == text; });
}

SCENARIO_TEST(SharedKey, TheActivationKeyWinsOverTheMenuKey) {
  const std::string f1 = std::to_string(kSharedKey);
  const std::string ini = "[KeyBinds]\nActivateMod=" + f1 + "\nSpawnerMenu=" + f1 + "\n";
  ASSERT_TRUE(CheckIniSays(ini,
                           "pressing F1 (112) triggers ActivateMod; SpawnerMenu, bound to "
                           "the same key, never fires"));
  Scenario s;
  s.WriteIni(ini);
  s.Start();
  s.host.GetWorld().player.position = {0.0f, 0.0f, 0.0f};
  s.host.TapKey(kSharedKey);
  s.RunFrame();
  const Vector3& start = settings.PlayerStartingPosition;
  EXPECT_EQ(s.host.GetWorld().player.position.x, start.x) << "the activation key moved the player";
  s.RunFrame();
  EXPECT_FALSE(Drawn(s, "EXPLOSIVES")) << "the menu key saw no release";
}

SCENARIO_TEST(SharedKey, TheMenuKeyWinsOverASelectKey) {
  const std::string f1 = std::to_string(kSharedKey);
  const std::string ini = "[KeyBinds]\nSpawnerMenu=" + f1 + "\nMenuSelectOne=" + f1 + "\n";
  ASSERT_TRUE(CheckIniSays(ini,
                           "pressing F1 (112) triggers SpawnerMenu; MenuSelectOne, bound to "
                           "the same key, never fires"));
  Scenario s;
  s.WriteIni(ini);
  s.Start();
  s.host.TapKey(kSharedKey);
  s.RunFrame();
  s.host.TapKey(kSharedKey);
  s.RunFrame();
  EXPECT_TRUE(Drawn(s, "COVER")) << "the second release stepped the menu instead of picking row 1";
}

SCENARIO_TEST(SharedKey, ASelectKeyWinsOverThePositionCapture) {
  const std::string ini =
      "[Main]\nDebug=1\n[KeyBinds]\nMenuSelectNine=" + std::to_string(kPositionCaptureKey) + "\n";
  ASSERT_TRUE(CheckIniSays(ini,
                           "pressing F2 (113) triggers MenuSelectNine while a menu is open; "
                           "position capture (F2) only while no menu is open"));
  const DWORD menuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
  Scenario s;
  s.WriteIni(ini);
  s.Start();
  s.host.TapKey(menuKey);  // opens EXPLOSIVES, which has fewer than nine rows
  s.RunFrame();
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  EXPECT_EQ(s.ReadLog(), "") << "the select key took the release, so no position was captured";
  s.host.TapKey(menuKey);
  s.RunFrame();
  s.host.TapKey(menuKey);
  s.RunFrame();
  s.host.TapKey(menuKey);
  s.RunFrame();  // all menus closed: no select key is tested
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  EXPECT_NE(s.ReadLog(), "") << "with no menu open, the capture gets the release";
}

// Turning outranks setting down: with both on one key, holding it turns the object and never
// sets it down, as check-ini says.
SCENARIO_TEST(SharedKey, TheRotateKeyWinsOverTheConfirmKey) {
  const DWORD e = holdout_test::DefaultKey(&Settings::ConfirmObject);
  const std::string ini = "[KeyBinds]\nRotateObject=" + std::to_string(e) + "\n";
  ASSERT_TRUE(CheckIniSays(ini,
                           "holding E (69) while placing an object triggers RotateObject; "
                           "ConfirmObject, bound to the same key, never fires"));
  Scenario s;
  s.WriteIni(ini);
  s.Start();
  spawner_test::PickFromPage(s, 2, {1});
  const EntityHandle object = placementState.placingObject;
  ASSERT_NE(object, 0);
  const std::int32_t heading = placementState.placingHeading;
  s.host.PressKey(e);
  s.RunFrames(10);
  EXPECT_EQ(placementState.placingObject, object) << "never set down";
  EXPECT_EQ(placementState.placingHeading, heading - 20) << "turned by -2 a frame";
}

// Starts the plug-in with `ini` and places COVER's first row, opening the menus with
// `menuKey`; the object being placed.
EntityHandle StartPlacingWith(Scenario& s, const std::string& ini, DWORD menuKey) {
  s.WriteIni(ini);
  s.Start();
  for (int page = 1; page <= 2; ++page) {  // to COVER, whose rows are placed
    s.host.TapKey(menuKey);
    s.RunFrame();
  }
  s.host.TapKey(spawner_test::SelectKey(1));
  s.RunFrame();
  spawner_test::FinishModelWaits(s);
  return placementState.placingObject;
}

// The menu key on the rotate key: holding it turns the object, but its release, which the menu
// key's step sees before the placement's in that frame, cancels the placement and removes the
// object, as check-ini says.
SCENARIO_TEST(SharedKey, TheMenuKeyOnTheRotateKeyCancelsWhatItTurned) {
  const DWORD q = holdout_test::DefaultKey(&Settings::RotateObject);
  const std::string ini = "[KeyBinds]\nSpawnerMenu=" + std::to_string(q) + "\n";
  ASSERT_TRUE(CheckIniSays(ini,
                           "pressing Q (81) triggers SpawnerMenu; holding it while placing an "
                           "object also triggers RotateObject, but letting go of Q triggers "
                           "SpawnerMenu, which cancels the placement and removes the object: an "
                           "object can never be turned with Q and kept"));
  Scenario s;
  const EntityHandle object = StartPlacingWith(s, ini, q);
  ASSERT_NE(object, 0) << "Q opened the menu and row 1 started a placement";
  const std::int32_t heading = placementState.placingHeading;
  s.host.PressKey(q);
  s.RunFrames(10);
  EXPECT_NE(placementState.placingHeading, heading) << "holding Q turned the object";
  s.host.ReleaseKey(q);
  s.RunFrame();
  EXPECT_EQ(placementState.placingObject, 0) << "letting go cancelled the placement";
  EXPECT_EQ(s.host.GetWorld().objects.count(object), 0u) << "and removed the object";
}

// The menu key on the confirm key: holding it sets the object down in the first frame, and its
// release, with no placement left to cancel, opens the menu, as check-ini says.
SCENARIO_TEST(SharedKey, TheMenuKeyOnTheConfirmKeySetsDownThenOpensTheMenu) {
  const DWORD e = holdout_test::DefaultKey(&Settings::ConfirmObject);
  const std::string ini = "[KeyBinds]\nSpawnerMenu=" + std::to_string(e) + "\n";
  ASSERT_TRUE(CheckIniSays(ini,
                           "pressing E (69) triggers SpawnerMenu; holding it while placing an "
                           "object also triggers ConfirmObject, which sets the object down at "
                           "once; letting go of E then triggers SpawnerMenu, which opens the "
                           "menu"));
  Scenario s;
  const EntityHandle object = StartPlacingWith(s, ini, e);
  ASSERT_NE(object, 0);
  s.host.PressKey(e);
  s.RunFrame();
  EXPECT_EQ(placementState.placingObject, 0) << "set down in the first frame held";
  EXPECT_EQ(s.host.GetWorld().objects.count(object), 1u) << "and kept";
  s.host.ReleaseKey(e);
  s.RunFrame();
  EXPECT_TRUE(Drawn(s, "EXPLOSIVES")) << "the release opened the menu";
}

}  // namespace
