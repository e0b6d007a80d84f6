// The read-only view the tools narrate and check from: it follows the plug-in's records as the
// frames change them, never a copy taken once, from before the first frame to a run's end.
#include <gtest/gtest.h>

#include "observers/plugin_view.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival_steps.h"

namespace {

constexpr DWORD kMenuKey = 0x4D;  // M, bound in the settings file below
const DWORD kSelectOneKey = holdout_test::DefaultSelectKey(1);

SCENARIO_TEST(PluginView, FollowsTheSettingsTheMenuPageAPlacementARunAndTheBanner) {
  holdout_test::Scenario s;
  s.WriteIni("[Main]\nDebug=1\nMaxEnemies=12\n[KeyBinds]\nSpawnerMenu=77\n");
  const PluginView& view = ObservePlugin();
  EXPECT_EQ(view.banner, nullptr) << "no banner before the frame loop sets up";
  EXPECT_EQ(view.frameLoop.menuPage, 0);
  EXPECT_EQ(view.settings.MaxEnemies, 70) << "the defaults before the first load";
  EXPECT_EQ(view.settings.SpawnerMenu, holdout_test::DefaultKey(&Settings::SpawnerMenu));
  EXPECT_EQ(view.settings.EnemySpawnPositions[1].y, -1081.577f);
  s.Start();
  EXPECT_EQ(view.settings.MaxEnemies, 12) << "the settings as loaded";
  EXPECT_EQ(view.settings.SpawnerMenu, kMenuKey);
  ASSERT_NE(view.banner, nullptr);
  EXPECT_EQ(view.banner->text, "");

  s.host.TapKey(kMenuKey);
  s.RunFrame();
  EXPECT_EQ(view.frameLoop.menuPage, 1) << "the EXPLOSIVES menu is open";
  s.host.TapKey(kSelectOneKey);
  ASSERT_TRUE(survival_test::RunUntil(
      s, [&] { return view.placement.placingObject != 0; }, 20));
  EXPECT_EQ(view.frameLoop.menuPage, 0) << "picking a row closes the menu";
  s.host.TapKey(kMenuKey);
  s.RunFrame();
  EXPECT_EQ(view.placement.placingObject, 0) << "the menu key cancels the placement";
  EXPECT_EQ(view.frameLoop.menuPage, 0) << "and opens no menu";

  survival_test::StartRunAtStart(s);
  ASSERT_TRUE(view.run.runActive);
  ASSERT_TRUE(survival_test::RunUntil(
      s, [&] { return view.run.enemySlots[0] != 0; }, 50));
  survival_test::PressActivate(s);  // Debug: the activation key ends the run
  EXPECT_FALSE(view.run.runActive);
  EXPECT_EQ(view.banner->text.rfind("You survived for ", 0), 0u) << view.banner->text;
}

}  // namespace
