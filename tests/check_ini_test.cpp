// check-ini explains a settings file with the plug-in's own loading code: where each value came
// from, and what in the file cannot work.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/sim_host.h"
#include "player/check_ini.h"
#include "profile/profile_text.h"
#include "settings/position.h"
#include "settings/settings.h"
#include "settings/settings_schema.h"
#include "support/fresh_process.h"
#include "support/written_fixes.h"

namespace {

const SettingExplanation& Line(const IniExplanation& explanation, const std::string& key) {
  const auto found =
      std::find_if(explanation.settings.begin(), explanation.settings.end(),
                   [&key](const SettingExplanation& line) { return line.key == key; });
  EXPECT_NE(found, explanation.settings.end()) << key;
  return *found;
}

bool MentionsProblem(const IniExplanation& explanation, const std::string& words) {
  return std::any_of(explanation.problems.begin(), explanation.problems.end(),
                     [&words](const Problem& problem) {
                       return problem.sentence.find(words) != std::string::npos;
                     });
}

// The sentences of the problems check-ini found, in order.
std::vector<std::string> SentencesOf(const IniExplanation& explanation) {
  std::vector<std::string> sentences;
  for (const Problem& problem : explanation.problems) {
    sentences.push_back(problem.sentence);
  }
  return sentences;
}

// The kinds of the problems check-ini found, in order.
std::vector<ProblemKind> KindsOf(const IniExplanation& explanation) {
  std::vector<ProblemKind> kinds;
  for (const Problem& problem : explanation.problems) {
    kinds.push_back(problem.kind);
  }
  return kinds;
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
                              "pressing F3 (114) triggers ActivateMod; SpawnerMenu, bound to the "
                              "same key, never fires"));
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
  const std::string text =
      "[Main]\nDebug=yes\nMaxEnemies=lots\n[KeyBinds]\nActivateMod=F3\nSpawnerMenu=67abc\n";
  const IniExplanation explanation = ExplainIni(text);
  EXPECT_EQ(holdout_test::ExpectFixesHold(text), 5u) << "1, 10 or 512, 114 and 67";
  EXPECT_EQ(Line(explanation, "Debug").value, "off");
  EXPECT_EQ(Line(explanation, "Debug").origin, "not a number: read as 0");
  EXPECT_EQ(Line(explanation, "MaxEnemies").value, "10");
  EXPECT_EQ(Line(explanation, "MaxEnemies").origin,
            "not a number: read as 0; clamped to 10, allowed are 10 to 512");
  EXPECT_EQ(Line(explanation, "ActivateMod").origin, "not a number: read as 0");
  EXPECT_EQ(Line(explanation, "SpawnerMenu").origin, "file; only \"67\" is read")
      << "a number followed by more text";
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

// The value the plug-in's settings reader stores for an integer setting when it reads `text`.
std::int64_t StoredFrom(const std::string& text, const std::string& key) {
  Settings record;
  ReadSettings(profile::ProfileText(text), record);
  for (const SettingDescription& setting : SettingsSchema()) {
    if (key != setting.key) {
      continue;
    }
    switch (setting.kind) {
      case SettingKind::kFlag:
        return record.*setting.flag ? 1 : 0;
      case SettingKind::kCount:
        return record.*setting.count;
      case SettingKind::kKeyCode:
        return record.*setting.keyCode;
      case SettingKind::kPosition:
        break;
    }
  }
  ADD_FAILURE() << "no integer setting " << key;
  return -1;
}

// Every edit that has no effect, or another effect than written, is named with its line or key,
// what the game does and what to write. Each claim is held to what the plug-in's own settings
// reader stores for the file, and the fix, written as check-ini says, to what it stores then.
SCENARIO_TEST(CheckIni, NamesWhatThePluginIgnoresOrReadsOtherwise) {
  struct Case {
    std::string text;   // the player's file
    std::string words;  // what check-ini says of it
    std::string key;    // the setting concerned...
    std::int64_t read;  // ...and what the plug-in stores for it
    std::string fixed;  // the file written as check-ini says
    std::int64_t then;  // and what the plug-in stores then
  };
  const std::vector<Case> cases = {
      {"[Main]\nMaxEnemys=90\n",
       "line 2: MaxEnemys is no setting Holdout reads, so it is ignored; did you mean MaxEnemies?",
       "MaxEnemies", 70, "[Main]\nMaxEnemies=90\n", 90},
      {"[Key Binds]\nActivateMod=115\n",
       "line 1: [Key Binds] is no section Holdout reads, so every line under it is ignored; did "
       "you mean [KeyBinds]?",
       "ActivateMod", 114, "[KeyBinds]\nActivateMod=115\n", 115},
      {"[Settings]\nDebug=1\n", "Holdout reads [Main], [KeyBinds] and [Positions]", "Debug", 0,
       "[Main]\nDebug=1\n", 1},
      {"MaxEnemies=90\n[Main]\nDebug=1\n",
       "line 1: \"MaxEnemies=90\" comes before any section header, so it is ignored; move it "
       "under [Main]",
       "MaxEnemies", 70, "[Main]\nMaxEnemies=90\nDebug=1\n", 90},
      {"[Main]\nDebug=1\n[KeyBinds]\n[Main]\nMaxEnemies=90\n",
       "line 4: [Main] again: only the first [Main] (line 1) is read, so every line under this "
       "one is ignored",
       "MaxEnemies", 70, "[Main]\nDebug=1\nMaxEnemies=90\n[KeyBinds]\n", 90},
      {"[Main]\nMaxEnemies=90\nmaxenemies=200\n",
       "line 3: MaxEnemies again in [Main]: only the first line naming it (line 2) is read",
       "MaxEnemies", 90, "[Main]\nMaxEnemies=200\n", 200},
      {"[Main]\nMaxEnemies\nMaxEnemies=90\n", "line 2: MaxEnemies has no '=' and value",
       "MaxEnemies", 70, "[Main]\nMaxEnemies=90\n", 90},
      {"[KeyBinds]\nDebug=1\n",
       "line 2: Debug is read from [Main], not [KeyBinds], so it is ignored here", "Debug", 0,
       "[Main]\nDebug=1\n", 1},
      {"[Main\nMaxEnemies=90\n", "line 1: \"[Main\" lacks its closing ']'", "MaxEnemies", 70,
       "[Main]\nMaxEnemies=90\n", 90},
      {"[KeyBinds]\nSpawnerMenu=0X56\n",
       "SpawnerMenu=0X56: the game reads 0 and ignores \"X56\"; write 0x56 or 86", "SpawnerMenu", 0,
       "[KeyBinds]\nSpawnerMenu=0x56\n", 86},
      {"[KeyBinds]\nActivateMod=70h\n",
       "ActivateMod=70h: the game reads 70 and ignores \"h\"; write 0x70 or 112", "ActivateMod", 70,
       "[KeyBinds]\nActivateMod=112\n", 112},
      {"[Main]\nMaxEnemies=100 15\n",
       "MaxEnemies=100 15: the game reads 100 and ignores \" 15\"; write 100", "MaxEnemies", 100,
       "[Main]\nMaxEnemies=100\n", 100},
      {"[Main]\nMaxEnemies=2e2\n",
       "MaxEnemies=2e2: the game reads 2 and ignores \"e2\"; 2 is outside 10..512 and becomes 10; "
       "write 200",
       "MaxEnemies", 10, "[Main]\nMaxEnemies=200\n", 200},
      {"[Main]\nMaxEnemies=3000000000\n",
       "MaxEnemies=3000000000 is more than the game's 32-bit numbers hold: it wraps around to "
       "-1294967296, which is outside 10..512 and becomes 10; write a number from 10 to 512",
       "MaxEnemies", 10, "[Main]\nMaxEnemies=512\n", 512},
      {"[KeyBinds]\nActivateMod=4294967411\n",
       "ActivateMod=4294967411 is more than the game's 32-bit numbers hold: it wraps around to "
       "115 (F4)",
       "ActivateMod", 115, "[KeyBinds]\nActivateMod=115\n", 115},
      {"[KeyBinds]\nActivateMod=7\n", "ActivateMod = 7 never fires: no key sends code 7",
       "ActivateMod", 7, "[KeyBinds]\nActivateMod=118\n", 118},
      {"[KeyBinds]\nActivateMod=F4\n",
       "ActivateMod: not a number: read as 0; it names a key: write 115 for F4", "ActivateMod", 0,
       "[KeyBinds]\nActivateMod=115\n", 115},
      {"[KeyBinds]\nSpawnerMenu=vk_space\n", "it names a key: write 32 for Space", "SpawnerMenu", 0,
       "[KeyBinds]\nSpawnerMenu=32\n", 32},
      {"[Main]\nDebug=true\n", "Debug: not a number: read as 0; write 1", "Debug", 0,
       "[Main]\nDebug=1\n", 1},
      {"[Main]\nDebug=maybe\n", "Debug: not a number: read as 0; write 0 or 1", "Debug", 0,
       "[Main]\nDebug=0\n", 0},
      {"[Main]\nMaxEnemies=lots\n",
       "MaxEnemies: not a number: read as 0; write a number from 10 to 512", "MaxEnemies", 10,
       "[Main]\nMaxEnemies=100\n", 100},
      // The power of ten gives a number the setting does not take: the range is the fix.
      {"[Main]\nMaxEnemies=1e3\n",
       "MaxEnemies=1e3: the game reads 1 and ignores \"e3\"; 1 is outside 10..512 and becomes 10; "
       "write a number from 10 to 512",
       "MaxEnemies", 10, "[Main]\nMaxEnemies=512\n", 512},
      {"[KeyBinds]\nActivateMod=1 15\n",
       "ActivateMod=1 15: the game reads 1 and ignores \" 15\"; did you mean 115? write 115",
       "ActivateMod", 1, "[KeyBinds]\nActivateMod=115\n", 115},
      {"[KeyBinds]\nActivateMod == 115\n",
       "ActivateMod: not a number: read as 0, which no key sends, so ActivateMod never fires; "
       "remove the extra '=': write ActivateMod=115",
       "ActivateMod", 0, "[KeyBinds]\nActivateMod=115\n", 115},
      {"[Main]\nMaxEnemies==90\n",
       "MaxEnemies: not a number: read as 0; remove the extra '=': write MaxEnemies=90",
       "MaxEnemies", 10, "[Main]\nMaxEnemies=90\n", 90},
      {"\xEF\xBB\xBF[Main]\r\nMaxEnemies=90\r\n",
       "line 1: the file starts with a UTF-8 byte-order mark right before [Main]: Windows reads "
       "the mark as part of that line, so it finds no [Main] and every setting under it takes "
       "its default; Wine skips the mark and reads [Main] as written",
       "MaxEnemies", 70, "\xEF\xBB\xBF\r\n[Main]\r\nMaxEnemies=90\r\n", 90},
  };
  for (const Case& c : cases) {
    const IniExplanation explanation = ExplainIni(c.text);
    EXPECT_TRUE(MentionsProblem(explanation, c.words))
        << c.text << "\nsays:\n"
        << ::testing::PrintToString(SentencesOf(explanation));
    EXPECT_EQ(StoredFrom(c.text, c.key), c.read) << c.text;
    EXPECT_EQ(StoredFrom(c.fixed, c.key), c.then) << c.fixed;
    EXPECT_TRUE(ExplainIni(c.fixed).problems.empty())
        << c.fixed << ::testing::PrintToString(SentencesOf(ExplainIni(c.fixed)));
    holdout_test::ExpectFixesHold(c.text);
  }
}

// Keys that never fire share nothing: the codes text that is no number reads as (0) and codes no
// key sends are not said to clash.
SCENARIO_TEST(CheckIni, KeysThatNeverFireAreNoClash) {
  const std::string text =
      "[KeyBinds]\nActivateMod=F4\nSpawnerMenu=F5\nRotateObject=7\nConfirmObject=7\n";
  const IniExplanation explanation = ExplainIni(text);
  EXPECT_EQ(holdout_test::ExpectFixesHold(text), 2u) << "115 and 116";
  for (const Problem& problem : explanation.problems) {
    EXPECT_NE(problem.kind, ProblemKind::kSharedKey) << problem.sentence;
  }
  EXPECT_TRUE(MentionsProblem(explanation, "write 116 for F5"));
  EXPECT_TRUE(MentionsProblem(explanation, "ConfirmObject = 7 never fires"));
  EXPECT_TRUE(MentionsProblem(ExplainIni("[KeyBinds]\nReverseRotateObject=69\n"),
                              "holding E (69) while placing an object triggers ConfirmObject, or, "
                              "with RotateObject's key held too, ReverseRotateObject"));
  EXPECT_TRUE(MentionsProblem(ExplainIni("[KeyBinds]\nConfirmObject=67\n"),
                              "pressing C (67) triggers SpawnerMenu; holding it while placing an "
                              "object also triggers ConfirmObject"));
}

// Placement keys on one key: the first the placement tests acts, the others never do, and a
// turn's reverse key on it turns the object the other way only.
SCENARIO_TEST(CheckIni, PlacementKeysOnOneKeyActInThePlacementsOrder) {
  const struct {
    const char* keyBinds;
    const char* says;
  } cases[] = {
      {"RotateObject=81\nReverseRotateObject=81\nConfirmObject=81\n",
       "holding Q (81) while placing an object turns it the other way (RotateObject with "
       "ReverseRotateObject), never the first way; ConfirmObject, bound to the same key, never "
       "fires: the object is never set down"},
      {"ConfirmObject=81\n",
       "holding Q (81) while placing an object triggers RotateObject; ConfirmObject, bound to "
       "the same key, never fires"},
      {"ReverseRotateObject=67\n",
       "pressing C (67) triggers SpawnerMenu; holding it while placing an object also triggers "
       "ReverseRotateObject"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(MentionsProblem(ExplainIni(std::string("[KeyBinds]\n") + c.keyBinds), c.says))
        << c.keyBinds;
  }
}

}  // namespace

// What check-ini concludes is decided on each problem's kind, whatever its sentence says: text
// that is no number in a key binding is said once, as no number, and not again as a code no key
// sends; a count from text the game misreads is clamped without being said to come from the
// file as written; a position cut short is refused.
SCENARIO_TEST(CheckIni, EachProblemHasTheKindItsDecisionsTakeItFor) {
  EXPECT_EQ(KindsOf(ExplainIni("[KeyBinds]\nRotateObject=Q\n")),
            std::vector<ProblemKind>{ProblemKind::kNotANumber});
  EXPECT_EQ(KindsOf(ExplainIni("[KeyBinds]\nRotateObject=7\n")),
            std::vector<ProblemKind>{ProblemKind::kKeyNeverFires});
  EXPECT_EQ(KindsOf(ExplainIni("[KeyBinds]\nRotateObject=300\n")),
            std::vector<ProblemKind>{ProblemKind::kKeyNeverFires});
  EXPECT_EQ(KindsOf(ExplainIni("[Main]\nMaxEnemies=5\n")),
            std::vector<ProblemKind>{ProblemKind::kOutOfRange});
  const IniExplanation misread = ExplainIni("[Main]\nMaxEnemies=5 enemies\n");
  EXPECT_EQ(KindsOf(misread), std::vector<ProblemKind>{ProblemKind::kNumberMisread});
  EXPECT_EQ(Line(misread, "MaxEnemies").origin,
            "file; only \"5\" is read; clamped to 10, allowed are 10 to 512");
  EXPECT_EQ(KindsOf(ExplainIni("[Main]\nDebug=4294967297\n")),
            std::vector<ProblemKind>{ProblemKind::kNumberMisread});
  EXPECT_EQ(KindsOf(ExplainIni("[KeyBinds]\nActivateMod=114\nSpawnerMenu=114\n")),
            std::vector<ProblemKind>{ProblemKind::kSharedKey});
  EXPECT_EQ(KindsOf(ExplainIni("[Main]\nMaxEnemy=90\n")),
            std::vector<ProblemKind>{ProblemKind::kIgnoredLine});
}

namespace {

// A position that breaks off at a space before a comma, or whose decimal commas split its
// numbers, is named with the text to write instead, and that text reads whole.
SCENARIO_TEST(CheckIni, APositionMisreadIsNamedWithTheTextThatReadsWhole) {
  struct Case {
    std::string value;  // PlayerStartingPosition as the player wrote it
    std::string words;  // what check-ini says of it
    std::string fixed;  // the text it says to write
  };
  const std::vector<Case> cases = {
      {"{2726.1 ,-1067.7,47.4}", "file, partly read: 1 of 3 components, the others are 0",
       "{2726.1,-1067.7,47.4}"},
      {"{2726.1,-1067.7 , 47.4 }", "file, partly read: 2 of 3 components, the others are 0",
       "{2726.1,-1067.7, 47.4}"},
      {"{2726,1,-1067,7,47,4}", "file, misread: its decimal commas separate the numbers",
       "{2726.1,-1067.7,47.4}"},
      {"{2726,1;-1067,7;47,4}",
       "file, partly read: 2 of 3 components, the others are 0; its decimal commas separate the "
       "numbers",
       "{2726.1,-1067.7,47.4}"},
  };
  for (const Case& c : cases) {
    const IniExplanation explanation = ExplainIni("[Positions]\nPlayerStartingPosition=" + c.value);
    EXPECT_TRUE(
        MentionsProblem(explanation, "PlayerStartingPosition: " + c.words + "; write " + c.fixed))
        << c.value << ::testing::PrintToString(SentencesOf(explanation));
    const IniExplanation fixed = ExplainIni("[Positions]\nPlayerStartingPosition=" + c.fixed);
    EXPECT_TRUE(fixed.problems.empty()) << c.fixed;
    EXPECT_EQ(Line(fixed, "PlayerStartingPosition").value,
              FormatPosition(ReadPosition("{2726.1,-1067.7,47.4}").value));
    EXPECT_EQ(holdout_test::ExpectFixesHold("[Positions]\nPlayerStartingPosition=" + c.value), 1u);
  }
  // A text no rewriting makes whole keeps its explanation alone.
  EXPECT_TRUE(MentionsProblem(ExplainIni("[Positions]\nPlayerStartingPosition={1.5,2.5}\n"),
                              "2 of 3 components, the others are 0"));
  EXPECT_FALSE(
      MentionsProblem(ExplainIni("[Positions]\nPlayerStartingPosition={1.5,2.5}\n"), "; write"));
}

// A comment after a value is read past as the player meant: no problem, the value as written.
SCENARIO_TEST(CheckIni, ACommentAfterANumberIsNoProblem) {
  const IniExplanation explanation = ExplainIni(
      "[Main]\nMaxEnemies=90 ; up to 512\nDebug=1;on\n[KeyBinds]\nActivateMod=115  # F4\n");
  EXPECT_TRUE(explanation.problems.empty()) << ::testing::PrintToString(SentencesOf(explanation));
  EXPECT_EQ(Line(explanation, "MaxEnemies").value, "90");
  EXPECT_EQ(Line(explanation, "Debug").value, "on");
  EXPECT_EQ(Line(explanation, "ActivateMod").value, "115 (F4)");
  EXPECT_EQ(StoredFrom("[Main]\nMaxEnemies=90 ; up to 512\n", "MaxEnemies"), 90);
  // A position is read up to its closing brace: a comment after it, however long, is no cut.
  const IniExplanation position = ExplainIni(
      "[Positions]\nPlayerStartingPosition={1,2,3} ; the spot by the gate, north of the river\n");
  EXPECT_TRUE(position.problems.empty()) << ::testing::PrintToString(SentencesOf(position));
  EXPECT_TRUE(MentionsProblem(
      ExplainIni("[Positions]\nPlayerStartingPosition={1,2," + std::string(60, ' ') + "3}\n"),
      "only its first 51 characters are read"));
  // Text other than a comment is still named.
  EXPECT_TRUE(
      MentionsProblem(ExplainIni("[Main]\nMaxEnemies=90 enemies\n"), "ignores \" enemies\""));
}

}  // namespace
