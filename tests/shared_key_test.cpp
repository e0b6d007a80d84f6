// Two actions on one key: the frame gives the release to the action check-ini names as reaching
// it first, and the other action does nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "check_ini.h"
#include "runtime/frame_steps.h"
#include "settings/settings.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

constexpr DWORD kSharedKey = 0x70;  // F1, bound to nothing by default

// True when check-ini, reading `ini`, says a release of the shared key reaches `action` first.
bool CheckIniNamesFirst(const std::string& ini, const std::string& action) {
  const IniExplanation explanation = ExplainIni(ini);
  const std::string words = "; a release reaches " + action + " first";
  return std::any_of(
      explanation.problems.begin(), explanation.problems.end(),
      [&words](const std::string& problem) { return problem.find(words) != std::string::npos; });
}

bool Drawn(Scenario& s, const std::string& text) {
  const auto texts = s.host.Screen().TextsInFrame(s.host.Frame());
  return std::any_of(texts.begin(), texts.end(),
                     [&](const sim::DrawnText& drawn) { return drawn.text == text; });
}

SCENARIO_TEST(SharedKey, TheActivationKeyWinsOverTheMenuKey) {
  const std::string f1 = std::to_string(kSharedKey);
  const std::string ini = "[KeyBinds]\nActivateMod=" + f1 + "\nSpawnerMenu=" + f1 + "\n";
  ASSERT_TRUE(CheckIniNamesFirst(ini, "ActivateMod"));
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
  ASSERT_TRUE(CheckIniNamesFirst(ini, "SpawnerMenu"));
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
  ASSERT_TRUE(CheckIniNamesFirst(ini, "MenuSelectNine"));
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

}  // namespace
