// check-ini explains a settings file with the plug-in's own loading code: where each value came
// from, and what in the file cannot work.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "check_ini.h"
#include "core/sim_host.h"
#include "settings/settings.h"
#include "support/fresh_process.h"

namespace {

const SettingExplanation& Line(const IniExplanation& explanation, const std::string& key) {
  const auto found =
      std::find_if(explanation.settings.begin(), explanation.settings.end(),
                   [&key](const SettingExplanation& line) { return line.key == key; });
  EXPECT_NE(found, explanation.settings.end()) << key;
  return *found;
}

bool MentionsProblem(const IniExplanation& explanation, const std::string& words) {
  return std::any_of(
      explanation.problems.begin(), explanation.problems.end(),
      [&words](const std::string& problem) { return problem.find(words) != std::string::npos; });
}

SCENARIO_TEST(CheckIni, AnEmptyFileGivesEveryDefaultAndNoProblem) {
  const IniExplanation explanation = ExplainIni("");
  ASSERT_EQ(explanation.settings.size(), 19u) << "every setting, in the order they are read";
  for (const SettingExplanation& line : explanation.settings) {
    EXPECT_EQ(line.origin, "default") << line.key;
  }
  EXPECT_TRUE(explanation.problems.empty());
  EXPECT_EQ(Line(explanation, "MaxEnemies").value, "70");
  EXPECT_EQ(Line(explanation, "ActivateMod").value, "114 (F3)");
  EXPECT_EQ(Line(explanation, "PlayerStartingPosition").value, "{2726.15820,-1067.72778,47.40460}");
}

SCENARIO_TEST(CheckIni, ExplainsClampedRejectedAndUnusableValues) {
  const IniExplanation explanation = ExplainIni(
      "[Main]\nMaxEnemies=5\n[KeyBinds]\nRotateObject=255\nSpawnerMenu=114\n"
      "[Positions]\nPlayerStartingPosition=1,2,3\nEnemySpawnPosition1={inf,1,1}\n"
      "EnemySpawnPosition2={0,0,0}\n");
  EXPECT_EQ(Line(explanation, "MaxEnemies").value, "10");
  EXPECT_NE(Line(explanation, "MaxEnemies").origin.find("clamped"), std::string::npos);
  EXPECT_TRUE(MentionsProblem(explanation, "RotateObject = 255 can never fire"));
  EXPECT_TRUE(MentionsProblem(explanation,
                              "ActivateMod and SpawnerMenu; a release reaches "
                              "ActivateMod first"));
  EXPECT_NE(Line(explanation, "PlayerStartingPosition").origin.find("does not read as {x,y,z}"),
            std::string::npos);
  EXPECT_NE(Line(explanation, "EnemySpawnPosition1").origin.find("not a finite number"),
            std::string::npos);
  EXPECT_NE(Line(explanation, "EnemySpawnPosition2").origin.find("{0,0,0}"), std::string::npos);
  EXPECT_EQ(Line(explanation, "EnemySpawnPosition2").value, "{2668.32593,-1081.57703,47.50891}")
      << "a rejected position keeps its default";
}

SCENARIO_TEST(CheckIni, PositionCaptureKeySharedOnlyMattersWithDebugOn) {
  const char* text = "[Main]\nDebug=%d\n[KeyBinds]\nMenuSelectNine=113\n";
  char withDebug[96];
  std::snprintf(withDebug, sizeof withDebug, text, 1);
  EXPECT_TRUE(MentionsProblem(ExplainIni(withDebug), "position capture (F2)"));
  char withoutDebug[96];
  std::snprintf(withoutDebug, sizeof withoutDebug, text, 0);
  EXPECT_TRUE(ExplainIni(withoutDebug).problems.empty());
}

SCENARIO_TEST(CheckIni, AValueThatIsNotANumberIsSaidToReadAsZero) {
  const IniExplanation explanation = ExplainIni(
      "[Main]\nDebug=yes\nMaxEnemies=lots\n[KeyBinds]\nActivateMod=F3\nSpawnerMenu=67abc\n");
  EXPECT_EQ(Line(explanation, "Debug").value, "off");
  EXPECT_EQ(Line(explanation, "Debug").origin, "not a number: read as 0");
  EXPECT_EQ(Line(explanation, "MaxEnemies").value, "10");
  EXPECT_EQ(Line(explanation, "MaxEnemies").origin,
            "not a number: read as 0; clamped to 10, allowed are 10 to 512");
  EXPECT_EQ(Line(explanation, "ActivateMod").origin, "not a number: read as 0");
  EXPECT_EQ(Line(explanation, "SpawnerMenu").origin, "file") << "a number followed by junk";
  for (const char* key : {"Debug", "MaxEnemies", "ActivateMod"}) {
    EXPECT_TRUE(MentionsProblem(explanation, std::string(key) + ": not a number: read as 0"))
        << key;
  }
}

SCENARIO_TEST(CheckIni, NeedsNoHostAndLeavesThePluginsSettingsAlone) {
  settings.MaxEnemies = 33;
  const IniExplanation explanation = ExplainIni("[Main]\nMaxEnemies=99\n");
  EXPECT_EQ(Line(explanation, "MaxEnemies").value, "99");
  EXPECT_EQ(sim::SimHost::Current(), nullptr);
  EXPECT_EQ(settings.MaxEnemies, 33);
}

}  // namespace
