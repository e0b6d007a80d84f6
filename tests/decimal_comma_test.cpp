// The plug-in in a process whose locale writes numbers with a decimal comma, as the game or
// another plug-in may set it for every module: the settings file's positions read as in the
// "C" locale, and F2 writes the line that the settings file reads back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/frame_steps.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

// Sets the decimal-comma locale and checks that the C runtime now reads and writes numbers so.
void SetDecimalComma(Scenario& s) {
  setenv("LOCPATH", HOLDOUT_LOCALE_DIR, 1);
  ASSERT_TRUE(s.host.SetDecimalCommaLocale()) << "the build compiles one into " HOLDOUT_LOCALE_DIR;
  char written[16];
  std::snprintf(written, sizeof written, "%.1f", 1.5);
  ASSERT_STREQ(written, "1,5");
  float scanned = 0.0f;
  ASSERT_EQ(std::sscanf("2726.1", "%f", &scanned), 1);
  ASSERT_EQ(scanned, 2726.0f) << "the C runtime's scan stops at the point";
}

SCENARIO_TEST(DecimalComma, SettingsPositionsReadAsInTheCLocale) {
  Scenario s;
  ASSERT_NO_FATAL_FAILURE(SetDecimalComma(s));
  s.WriteIni(
      "[Positions]\n"
      "PlayerStartingPosition={2663.5693,-1065.5358,46.90191}\n"
      "EnemySpawnPosition1={1e3, .5,-2.5E-1}\n"
      "EnemySpawnPosition2={2726,1}\n");
  s.Start();
  const Vector3& start = settings.PlayerStartingPosition;
  EXPECT_EQ(start.x, 2663.5693f);
  EXPECT_EQ(start.y, -1065.5358f);
  EXPECT_EQ(start.z, 46.90191f);
  const Vector3& first = settings.EnemySpawnPositions[0];
  EXPECT_EQ(first.x, 1000.0f);
  EXPECT_EQ(first.y, 0.5f);
  EXPECT_EQ(first.z, -0.25f);
  const Vector3& second = settings.EnemySpawnPositions[1];
  EXPECT_EQ(second.x, 2726.0f) << "a position partly read keeps its reading";
  EXPECT_EQ(second.y, 1.0f);
  EXPECT_EQ(second.z, 0.0f);
}

SCENARIO_TEST(DecimalComma, PositionCaptureWritesTheLineTheSettingsFileReads) {
  Scenario s;
  ASSERT_NO_FATAL_FAILURE(SetDecimalComma(s));
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  s.host.GetWorld().player.position = sim::Vec3{2663.5693f, -1065.5358f, 46.90191f};
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  s.host.GetWorld().player.position = sim::Vec3{-0.5f, 1e30f, 0.015625f};
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  EXPECT_EQ(s.ReadLog(),
            "{2663.56934,-1065.53577,46.90191}\n"
            "{-0.50000,1000000015047466219876688855040.00000,0.01562}\n");
}

}  // namespace
