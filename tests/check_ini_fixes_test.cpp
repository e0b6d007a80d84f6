// check-ini's advice holds: every value its problems tell the player to write, written into the
// file, reads through the plug-in's settings reader as meant, and check-ini then calls it no
// problem. Also what it says of a game folder without a settings file, of the menu key on a
// placement key, of a position as long as the plug-in reads, and of the keys players' keyboards
// send.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/scratch_directory.h"
#include "player/check_ini.h"
#include "player/key_names.h"
#include "settings/position.h"
#include "settings/settings_schema.h"
#include "support/written_fixes.h"
#include "support/written_line_fixes.h"

namespace {

std::vector<std::string> SentencesOf(const IniExplanation& explanation) {
  std::vector<std::string> sentences;
  for (const Problem& problem : explanation.problems) {
    sentences.push_back(problem.sentence);
  }
  return sentences;
}

bool Says(const IniExplanation& explanation, const std::string& words) {
  for (const Problem& problem : explanation.problems) {
    if (problem.sentence.find(words) != std::string::npos) {
      return true;
    }
  }
  return false;
}

// Every settings file of check-ini's recorded reports, with every fix it names written back.
TEST(CheckIniFixes, EveryFixOfTheRecordedReportsReadsAsMeant) {
  std::size_t files = 0;
  std::size_t written = 0;
  std::size_t lineFixes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HOLDOUT_CHECK_INI_REPORTS)) {
    if (entry.path().extension() != ".ini") {
      continue;
    }
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    SCOPED_TRACE(entry.path().filename().string());
    written += holdout_test::ExpectFixesHold(text.str());
    lineFixes += ExplainIni(text.str()).lineFixes.size();
    ++files;
  }
  EXPECT_GE(files, 7u);
  EXPECT_GE(lineFixes, 6u) << "the fixes of ignored lines were applied";
  EXPECT_GE(written, 15u) << "the reports' fixes were written back";
}

// The fixes that once did not hold: each is named as told and, written back, reads as meant.
TEST(CheckIniFixes, FixesThatOnceMisledHold) {
  const struct {
    std::string file;
    std::string says;
  } cases[] = {
      // The fix of a position longer than the plug-in reads is built from all of it.
      {"[Positions]\nPlayerStartingPosition={2726.1582031     ,-1067.7277832     ,47.4045982     "
       "} ; by the gate\n",
       "PlayerStartingPosition: file, partly read: 1 of 3 components, the others are 0; write "
       "{2726.1582031,-1067.7277832,47.4045982}"},
      // A fix that would be longer than the plug-in reads is written with fewer digits.
      {"[Positions]\nPlayerStartingPosition={2726,158203125000;-1067,727783203125;47,404598236084}"
       "\n",
       "its decimal commas separate the numbers; write {2726.1582,-1067.7278,47.4046}"},
      // Blanks and decimal commas together: both are mended.
      {"[Positions]\nEnemySpawnPosition1={2663,5 ,-1065,5 ,46,9}\n",
       "its decimal commas separate the numbers; write {2663.5,-1065.5,46.9}"},
      {"[Positions]\nEnemySpawnPosition1={2663,5; -1065,5; 46,9}\n", "write {2663.5,-1065.5,46.9}"},
      // A doubled '=' before a number the setting does not take: the value it takes.
      {"[Main]\nMaxEnemies==5000\n",
       "MaxEnemies: not a number: read as 0; remove the extra '=', but 5000 is outside 10..512 "
       "and becomes 512: write MaxEnemies=512"},
      {"[Main]\nMaxEnemies==9\n", "9 is outside 10..512 and becomes 10: write MaxEnemies=10"},
      {"[Main]\nMaxEnemies==10\n", "remove the extra '=': write MaxEnemies=10"},
      {"[Main]\nDebug==5\n", "remove the extra '=': write Debug=1"},
      {"[KeyBinds]\nActivateMod==300\n",
       "remove the extra '=', but no key of its own sends 300: write a key's code"},
      {"[KeyBinds]\nActivateMod==1 15\n", "remove the extra '='; did you mean 115? write 115"},
      // Text after a number that the setting does not take: what it takes.
      {"[Main]\nMaxEnemies=5 enemies\n", "write a number from 10 to 512"},
      {"[KeyBinds]\nActivateMod=0X12C\n", "write a key's code"},
      {"[KeyBinds]\nActivateMod=0X73\n", "write 0x73 or 115"},
      {"[KeyBinds]\nActivateMod=229 ?\n", "write a key's code"},
      {"[KeyBinds]\nActivateMod==229\n", "no key of its own sends 229: write a key's code"},
  };
  for (const auto& c : cases) {
    const IniExplanation explanation = ExplainIni(c.file);
    EXPECT_TRUE(Says(explanation, c.says))
        << c.file << ::testing::PrintToString(SentencesOf(explanation));
    holdout_test::ExpectFixesHold(c.file);
  }
}

// Each fix of an ignored line names what to write where, and does that: the line or the lines
// under a header go where the plug-in reads them, in place of a line naming the same key there,
// which would be read instead.
TEST(CheckIniFixes, AnIgnoredLinesFixSaysWhatGoesWhere) {
  const struct {
    std::string file;
    std::string says;
    std::string fixed;  // the file with the fix applied
  } cases[] = {
      {"[Main]\nMaxEnemys=90\n",
       "line 2: MaxEnemys is no setting Holdout reads, so it is "
       "ignored; did you mean MaxEnemies?",
       "[Main]\nMaxEnemies=90\n"},
      {"[KeyBinds]\nMaxEnemys=90\n", "did you mean MaxEnemies, read from [Main]? write it there",
       "[KeyBinds]\n[Main]\nMaxEnemies=90\n"},
      {"[Main]\nMaxEnemies=70\nMaxEnemys=90\n",
       "did you mean MaxEnemies? write it in place of line 2", "[Main]\nMaxEnemies=90\n"},
      {"MaxEnemies=90\n[Main]\nMaxEnemies=1e3\nDebug=1\n",
       "line 1: \"MaxEnemies=90\" comes before any section header, so it is ignored; move it "
       "under [Main], in place of line 3",
       "[Main]\nMaxEnemies=90\nDebug=1\n"},
      {"[KeyBinds]\nDebug=1\n", "move it under [Main]", "[KeyBinds]\n[Main]\nDebug=1\n"},
      {"[Key Binds]\r\nActivateMod=115\r\n", "did you mean [KeyBinds]?",
       "[KeyBinds]\r\nActivateMod=115\r\n"},
      {"[KeyBinds]\nActivateMod=70\n[Key Binds]\nActivateMod=115\nSpawnerMenu=86\n",
       "did you mean [KeyBinds]? move its lines into [KeyBinds] (line 1), in place of line 2",
       "[KeyBinds]\nActivateMod=115\nSpawnerMenu=86\n"},
      {"[Main]\nMaxEnemies=1e3\nDebug=0\n[KeyBinds]\n[Main]\nMaxEnemies=80\nDebug=1\n",
       "move them into the first, in place of lines 2 and 3",
       "[Main]\nMaxEnemies=80\nDebug=1\n[KeyBinds]\n"},
      {"[Main]\n[KeyBinds]\n[main]\nDebug=1\nDebug=0\n", "move them into the first",
       "[Main]\nDebug=1\nDebug=0\n[KeyBinds]\n"},
      {"\xEF\xBB\xBF[Main]\nMaxEnemies=90\n", "save the file as ANSI", "[Main]\nMaxEnemies=90\n"},
  };
  for (const auto& c : cases) {
    const IniExplanation explanation = ExplainIni(c.file);
    EXPECT_TRUE(Says(explanation, c.says))
        << c.file << ::testing::PrintToString(SentencesOf(explanation));
    ASSERT_EQ(explanation.lineFixes.size(), 1u) << c.file;
    EXPECT_EQ(holdout_test::WithLineFix(c.file, explanation.lineFixes[0]).text, c.fixed);
    holdout_test::ExpectFixesHold(c.file);
  }
  // A line the plug-in ignores that names no setting near enough, or has no value, has no fix
  // to apply: what the player meant is not in it.
  for (const char* file : {"[Main]\nColour=red\n", "Colour=red\n[Main]\n", "[Settings]\nDebug=1\n",
                           "MaxEnemies\n[Main]\n"}) {
    EXPECT_TRUE(ExplainIni(file).lineFixes.empty()) << file;
  }
}

// A position fix always fits in what the plug-in reads, however many digits the player wrote.
TEST(CheckIniFixes, APositionFixFitsInWhatThePluginReads) {
  const std::string value = "{-1234567,123456789012;-7654321,987654321098;-1111111,222222222222}";
  const IniExplanation explanation = ExplainIni("[Positions]\nEnemySpawnPosition2=" + value);
  ASSERT_EQ(explanation.fixes.size(), 1u) << ::testing::PrintToString(SentencesOf(explanation));
  const std::string fix = explanation.fixes[0].values.at(0);
  EXPECT_LT(fix.size(), kPositionBufferSize) << fix;
  holdout_test::ExpectFixesHold("[Positions]\nEnemySpawnPosition2=" + value);
}

// The plug-in reads a position's first 51 characters: a text of 51 or 52 whose last number ends
// in them reads whole, and a cut is named only where the whole text reads otherwise.
TEST(CheckIniFixes, APositionIsCutOnlyWhereItsWholeReadsOtherwise) {
  for (const std::size_t length : {kPositionBufferSize - 1, kPositionBufferSize}) {
    const std::string value = "{1,2," + std::string(length - 7, ' ') + "3}";
    ASSERT_EQ(value.size(), length);
    const IniExplanation explanation = ExplainIni("[Positions]\nPlayerStartingPosition=" + value);
    EXPECT_TRUE(explanation.problems.empty())
        << length << ::testing::PrintToString(SentencesOf(explanation));
  }
  const std::string cut = "{1,2," + std::string(kPositionBufferSize - 6, ' ') + "3}";
  ASSERT_EQ(cut.size(), kPositionBufferSize + 1);
  const std::string file = "[Positions]\nPlayerStartingPosition=" + cut;
  EXPECT_TRUE(Says(ExplainIni(file),
                   "partly read: 2 of 3 components, the others are 0; only its first 51 "
                   "characters are read; write {1,2,3}"));
  holdout_test::ExpectFixesHold(file);
  // Digits past the 51st that a float does not hold change nothing.
  const std::string digits = "{1,2,0.1" + std::string(60, '0') + "1}";
  EXPECT_TRUE(ExplainIni("[Positions]\nPlayerStartingPosition=" + digits).problems.empty());
}

// The menu key on a key the placement tests held: its release cancels the placement that key
// turned, found for every such key alike.
TEST(CheckIniFixes, TheMenuKeyOnAPlacementKeySaysWhatItsReleaseDoes) {
  const struct {
    const char* keyBinds;
    const char* says;
  } cases[] = {
      {"SpawnerMenu=16\n",
       "pressing Shift (16) triggers SpawnerMenu; holding it while placing an object also "
       "triggers ReverseRotateObject, but letting go of Shift triggers SpawnerMenu, which cancels "
       "the placement and removes the object: an object can never be turned with Shift and "
       "kept"},
      {"SpawnerMenu=81\n",
       "letting go of Q triggers SpawnerMenu, which cancels the placement and removes the object"},
      {"SpawnerMenu=69\n",
       "which sets the object down at once; letting go of E then triggers SpawnerMenu, which "
       "opens the menu"},
  };
  for (const auto& c : cases) {
    const IniExplanation explanation = ExplainIni(std::string("[KeyBinds]\n") + c.keyBinds);
    EXPECT_TRUE(Says(explanation, c.says))
        << c.keyBinds << ::testing::PrintToString(SentencesOf(explanation));
  }
}

// The number pad's digits are keys of their own: bound to the menu rows, they are named and no
// problem. The code an input method sends for the keys it takes is no key of its own.
TEST(CheckIniFixes, KnowsTheNumberPadAndTheInputMethodsCode) {
  std::string keyBinds = "[KeyBinds]\n";
  const auto selects = MenuSelectSettings();
  for (std::size_t row = 0; row < selects.size(); ++row) {
    keyBinds += std::string(selects[row].key) + "=" + std::to_string(0x61 + row) + "\n";
  }
  const IniExplanation numpad = ExplainIni(keyBinds);
  EXPECT_TRUE(numpad.problems.empty()) << ::testing::PrintToString(SentencesOf(numpad));
  for (const SettingExplanation& line : numpad.settings) {
    if (line.key == "MenuSelectOne") {
      EXPECT_EQ(line.value, "97 (Numpad 1)");
    }
    if (line.key == "MenuSelectNine") {
      EXPECT_EQ(line.value, "105 (Numpad 9)");
    }
  }
  EXPECT_EQ(KeyCodeNamed("numpad 0"), 0x60u);
  const IniExplanation ime = ExplainIni("[KeyBinds]\nRotateObject=229\n");
  EXPECT_TRUE(Says(ime, "RotateObject = 229 (IME Process) never fires as one key"))
      << ::testing::PrintToString(SentencesOf(ime));
  EXPECT_EQ(ime.problems.size(), 1u);
  for (const std::uint32_t code : {kInputMethodKey - 1, kInputMethodKey + 1}) {
    EXPECT_FALSE(Says(ExplainIni("[KeyBinds]\nRotateObject=" + std::to_string(code) + "\n"), "IME"))
        << code;
  }
}

// A game folder without a settings file is no problem: the plug-in takes every default. A
// folder that is not there, or a file named that is not there, cannot be read.
TEST(CheckIniFixes, AFolderWithoutASettingsFileTakesEveryDefault) {
  std::string error;
  const std::optional<sim::ScratchDirectory> scratch =
      sim::ScratchDirectory::Create("holdout-check-ini", error);
  ASSERT_TRUE(scratch) << error;
  const auto run = [](std::string path, int& exitCode) {
    char* argv[] = {path.data()};
    ::testing::internal::CaptureStdout();
    exitCode = RunCheckIni(1, argv);
    return ::testing::internal::GetCapturedStdout();
  };
  int exitCode = -1;
  const std::string folder = scratch->Path().string();
  EXPECT_EQ(run(folder, exitCode),
            folder + "/Holdout.ini: not there; every setting takes its default\n");
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(run(folder + "/missing", exitCode).rfind("check-ini: cannot read", 0), 0u);
  EXPECT_EQ(exitCode, 3);
  EXPECT_EQ(run(folder + "/Holdout.ini", exitCode).rfind("check-ini: cannot read", 0), 0u);
  EXPECT_EQ(exitCode, 3);
}

}  // namespace
