// The release order that check-ini names is the frame loop's: when two actions share a key, the
// one earlier in ReleaseOrder gets the release and the later one does nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "runtime/release_order.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

constexpr DWORD kSharedKey = 0x70;  // F1, bound to nothing by default

// The position of `action` in ReleaseOrder.
std::ptrdiff_t Rank(const std::string& action) {
  const auto found = std::find_if(std::begin(kReleaseOrder), std::end(kReleaseOrder),
                                  [&](const ReleaseTest& test) { return action == test.action; });
  EXPECT_NE(found, std::end(kReleaseOrder)) << action;
  return found - std::begin(kReleaseOrder);
}

bool Drawn(Scenario& s, const std::string& text) {
  const auto texts = s.host.Screen().TextsInFrame(s.host.Frame());
  return std::any_of(texts.begin(), texts.end(),
                     [&](const sim::DrawnText& drawn) { return drawn.text == text; });
}

SCENARIO_TEST(kReleaseOrder, TheActivationKeyWinsOverTheMenuKey) {
  ASSERT_LT(Rank("ActivateMod"), Rank("SpawnerMenu"));
  Scenario s;
  s.WriteIni("[KeyBinds]\nActivateMod=112\nSpawnerMenu=112\n");
  s.Start();
  s.host.GetWorld().player.position = {0.0f, 0.0f, 0.0f};
  s.host.TapKey(kSharedKey);
  s.RunFrame();
  const Vector3& start = settings.PlayerStartingPosition;
  EXPECT_EQ(s.host.GetWorld().player.position.x, start.x) << "the activation key moved the player";
  s.RunFrame();
  EXPECT_FALSE(Drawn(s, "EXPLOSIVES")) << "the menu key saw no release";
}

SCENARIO_TEST(kReleaseOrder, TheMenuKeyWinsOverASelectKey) {
  ASSERT_LT(Rank("SpawnerMenu"), Rank("MenuSelectOne"));
  Scenario s;
  s.WriteIni("[KeyBinds]\nSpawnerMenu=112\nMenuSelectOne=112\n");
  s.Start();
  s.host.TapKey(kSharedKey);
  s.RunFrame();
  s.host.TapKey(kSharedKey);
  s.RunFrame();
  EXPECT_TRUE(Drawn(s, "COVER")) << "the second release stepped the menu instead of picking row 1";
}

SCENARIO_TEST(kReleaseOrder, ASelectKeyWinsOverThePositionCapture) {
  ASSERT_LT(Rank("MenuSelectNine"), Rank("position capture (F2)"));
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n[KeyBinds]\nMenuSelectNine=113\n");
  s.Start();
  s.host.TapKey(0x43);  // opens EXPLOSIVES, which has fewer than nine rows
  s.RunFrame();
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  EXPECT_EQ(s.ReadLog(), "") << "the select key took the release, so no position was captured";
  s.host.TapKey(0x43);
  s.RunFrame();
  s.host.TapKey(0x43);
  s.RunFrame();
  s.host.TapKey(0x43);
  s.RunFrame();  // all menus closed: no select key is tested
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  EXPECT_NE(s.ReadLog(), "") << "with no menu open, the capture gets the release";
}

}  // namespace
