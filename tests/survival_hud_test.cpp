// The run's time as the HUD and the summary write it: minutes never folded into hours, seconds
// always two digits, measured across the game clock's wrap, and 0:00 when no run is timed; the
// HUD's kills of any size.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/fresh_process.h"
#include "support/scenario.h"
#include "support/screen_reading.h"
#include "survival/enemies.h"
#include "survival/hud.h"
#include "survival/run.h"

namespace {

using holdout_test::Scenario;

SCENARIO_TEST(RunTime, FormatsMinutesAndTwoDigitSecondsOnTheGameClock) {
  Scenario s;
  s.Start();
  const struct {
    std::uint32_t startedAt;
    std::uint32_t elapsedMs;
    const char* shown;
  } cases[] = {
      {5000, 0, "0:00"},          {5000, 59999, "0:59"},    {5000, 60000, "1:00"},
      {5000, 600000, "10:00"},    {5000, 4503000, "75:03"}, {0xFFFFF000u, 125400, "2:05"},
      {0u - 1000, 61000, "1:01"},  {0, 0xFFFFFFFFu, "71582:47"},
  };
  runState.startTick = 1;
  for (const auto& c : cases) {
    runState.startGameTime = c.startedAt;
    s.host.SetGameTime(c.startedAt + c.elapsedMs);
    EXPECT_EQ(FormatElapsedTime(), c.shown) << c.elapsedMs << " ms from " << c.startedAt;
  }
  runState.startTick = 0;
  EXPECT_EQ(FormatElapsedTime(), "0:00") << "no timed run";
}

SCENARIO_TEST(RunTime, SummaryNamesTheConfiguredLimitAndWritesKillsAlike) {
  Scenario s;
  s.WriteIni("[Main]\nMaxEnemies=600\n");
  s.Start();
  runState.startTick = 0;
  runState.killCount = 1;
  const SummaryText one = BuildSummaryText();
  EXPECT_EQ(one.bannerForm, "You survived for 0:00 and got 1 kill(s)\n(512 max enemies)");
  EXPECT_EQ(one.logForm, "You survived for 0:00 and got 1 kill(s) (512 max enemies)");
}

// The HUD as drawn: kills of any 32-bit value, negative ones too, and the longest time.
SCENARIO_TEST(RunHud, DrawsKillsOfAnySizeAndTheLongestTime) {
  Scenario s;
  s.Start();
  s.host.GetWorld().ModelNamed(kEnemyModelName).loadFrames = 0;  // no model wait skips a HUD
  runState.runActive = true;
  runState.startTick = 1;
  runState.startGameTime = 0;
  const struct {
    std::int32_t kills;
    std::uint32_t gameTime;
    const char* shown;
  } cases[] = {
      {0, 0, "Kills: 0\nTime survived: 0:00"},
      {-2147483647 - 1, 0xFFFFFFFFu, "Kills: -2147483648\nTime survived: 71582:47"},
      {2147483647, 3599999, "Kills: 2147483647\nTime survived: 59:59"},
      {-7, 10000, "Kills: -7\nTime survived: 0:10"},
  };
  for (const auto& c : cases) {
    runState.killCount = c.kills;
    s.host.SetGameTime(c.gameTime - s.host.FrameDuration());
    s.RunFrame();
    EXPECT_EQ(holdout_test::CornerTexts(s, s.host.Frame()), std::vector<std::string>{c.shown});
  }
  runState.runActive = false;
}

}  // namespace
