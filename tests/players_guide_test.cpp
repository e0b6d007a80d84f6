// The player's guide against the code it describes: its key table is the tools' key table, its
// list of keys names every key a default binding uses and the position capture key, the times it
// gives for held keys are the key table's held window, and its example of a captured position
// is in the form the capture writes, its check in the game names the menu key and the menu it
// opens, its update and uninstall steps reach every copy of the plug-in where loaders load it,
// it walks the player past Windows's and the antivirus's gatekeepers as doctor does, and its
// keyboards section quotes the key table's codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "player/antivirus_advice.h"
#include "player/check_ini.h"
#include "player/key_names.h"
#include "player/plugin_loaders.h"
#include "runtime/frame_steps.h"
#include "runtime/key_entry.h"
#include "runtime/script.h"
#include "settings/position.h"
#include "settings/settings_schema.h"
#include "spawner/catalogues.h"
#include "support/default_keys.h"

namespace {

std::string Guide() {
  std::ifstream file(HOLDOUT_PLAYERS_GUIDE, std::ios::binary);
  EXPECT_TRUE(file) << HOLDOUT_PLAYERS_GUIDE;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The guide's text from the line starting with `heading` to the next line of dashes' heading.
std::string Section(const std::string& guide, const std::string& heading) {
  const std::size_t start = guide.find("\n" + heading);
  EXPECT_NE(start, std::string::npos) << heading;
  const std::size_t underline = guide.find("\n---", start + 1);
  const std::size_t next = guide.find("\n---", guide.find('\n', underline + 1));
  const std::size_t end = next == std::string::npos ? guide.size() : guide.rfind("\n\n", next);
  return start == std::string::npos ? "" : guide.substr(start, end - start);
}

TEST(PlayersGuide, HoldsTheKeyTableOfTheTools) {
  EXPECT_NE(Guide().find("\n" + KeyCodeTableText() + "\n"), std::string::npos)
      << "the guide's \"Key codes\" table is not the output of holdout check-ini --key-codes, "
         "which is:\n"
      << KeyCodeTableText();
}

TEST(PlayersGuide, ListsEveryDefaultKeyAndThePositionCaptureKey) {
  const std::string keys = Section(Guide(), "Keys (defaults");
  const IniExplanation defaults = ExplainIni("");
  for (const SettingDescription& setting : SettingsSchema()) {
    if (setting.kind == SettingKind::kKeyCode && !setting.menuSelect) {
      const std::string name = KeyName(static_cast<std::uint32_t>(setting.defaultValue));
      EXPECT_NE(keys.find(name), std::string::npos) << setting.key << "'s key " << name;
    }
  }
  EXPECT_NE(keys.find("\n  " + KeyName(kPositionCaptureKey) + " "), std::string::npos)
      << "the position capture key";
}

TEST(PlayersGuide, GivesTheHeldWindowOfTheKeyTableForTwoKeysAndSwitchingWindows) {
  const std::string keys = Section(Guide(), "Keys (defaults");
  ASSERT_EQ(kKeyHoldWindowMs % 1000, 0u);
  const std::string seconds = std::to_string(kKeyHoldWindowMs / 1000);
  for (const std::string paragraph : {"Holding two keys.", "Switching windows."}) {
    const std::size_t start = keys.find(paragraph);
    ASSERT_NE(start, std::string::npos) << paragraph;
    const std::string text = keys.substr(start, keys.find("\n\n", start) - start);
    std::size_t times = 0;
    const std::regex time("([0-9]+) seconds");
    for (auto match = std::sregex_iterator(text.begin(), text.end(), time);
         match != std::sregex_iterator(); ++match, ++times) {
      EXPECT_EQ((*match)[1], seconds) << paragraph << ": the held window is " << seconds << " s";
    }
    EXPECT_GT(times, 0u) << paragraph;
  }
}

TEST(PlayersGuide, ShowsACapturedPositionInTheCapturesForm) {
  std::istringstream arena(Section(Guide(), "Picking your own arena"));
  std::size_t captured = 0;
  for (std::string line; std::getline(arena, line);) {
    const std::size_t brace = line.find_first_not_of(' ');
    if (brace == std::string::npos || line[brace] != '{') {
      continue;
    }
    ++captured;
    const std::string text = line.substr(brace);
    EXPECT_EQ(FormatPosition(ReadPosition(text.c_str()).value), text)
        << "the capture writes a position so";
  }
  EXPECT_EQ(captured, 1u) << "the example of a captured line";
}

// "press C: the EXPLOSIVES menu appears", with the default menu key and the first menu's title,
// and as many presses to close the menus again as there are menus after it and the closed state.
TEST(PlayersGuide, ChecksInTheGameWithTheMenuKeyAndTheFirstMenu) {
  const std::string install = Section(Guide(), "Install");
  const std::string key = KeyName(holdout_test::DefaultKey(&Settings::SpawnerMenu));
  EXPECT_NE(install.find("Check in the game: press " + key + ". The " +
                         std::string(kExplosivesTitle) + " menu appears"),
            std::string::npos);
  const char* const counts[] = {"one", "two", "three", "four", "five"};
  ASSERT_LE(kMenuPageCount, 5);
  EXPECT_NE(install.find("press " + key + " " + counts[kMenuPageCount - 1] + " more times"),
            std::string::npos)
      << "from the first menu, " << kMenuPageCount << " presses close the menus";
}

// Every folder a loader loads Holdout.asi from, in the steps that remove or replace it; the
// update replaces holdout.exe too, since an older one cannot vouch for a newer plug-in.
TEST(PlayersGuide, UpdatesAndUninstallsEveryCopyOfThePlugin) {
  const std::string uninstall = Section(Guide(), "Uninstall");
  const std::string update = Section(Guide(), "Update");
  EXPECT_NE(uninstall.find("Delete every Holdout*.asi"), std::string::npos);
  for (const char* subfolder : kPluginSubfolders) {
    EXPECT_NE(uninstall.find(std::string(subfolder) + "\\"), std::string::npos) << subfolder;
    EXPECT_NE(update.find(std::string(subfolder) + "\\"), std::string::npos) << subfolder;
  }
  EXPECT_NE(update.find("Copy the new holdout.exe"), std::string::npos);
  EXPECT_NE(update.find("over any old copy"), std::string::npos);
}

// Unblocking before Extract All, SmartScreen's two clicks, what Smart App Control leaves the
// player, where the antivirus keeps what it removed (the steps doctor gives), and PowerShell's
// way of running holdout.exe and of writing a report.
TEST(PlayersGuide, WalksThePlayerPastTheGatekeepers) {
  const std::string guide = Guide();
  const std::string install = Section(guide, "Install");
  EXPECT_LT(install.find("Unblock"), install.find("Extract All"));
  // The section as one line, its words separated by single spaces as doctor's are.
  std::string gatekeepers;
  for (const char c : Section(guide, "When Windows or your antivirus steps in")) {
    const bool space = c == ' ' || c == '\n';
    if (!space || (!gatekeepers.empty() && gatekeepers.back() != ' ')) {
      gatekeepers.push_back(space ? ' ' : c);
    }
  }
  EXPECT_LT(gatekeepers.find("\"More info\""), gatekeepers.find("\"Run anyway\""));
  EXPECT_NE(gatekeepers.find("Smart App Control"), std::string::npos);
  EXPECT_NE(gatekeepers.find("turn Smart App Control off"), std::string::npos);
  // doctor's steps: "open Windows Security, ..., Protection history, restore the file".
  const std::string advice = AntivirusAdvice("Holdout.asi");
  const std::size_t open = advice.find("open ") + 5;
  const std::string steps = advice.substr(open, advice.find(", restore") - open);
  EXPECT_NE(steps.find("Protection history"), std::string::npos) << advice;
  EXPECT_NE(gatekeepers.find(steps), std::string::npos) << steps;
  EXPECT_NE(gatekeepers.find("Restore"), std::string::npos);
  EXPECT_NE(Section(guide, "Checking an installation").find(".\\holdout.exe"), std::string::npos);
  const std::string help = Section(guide, "Asking for help");
  EXPECT_NE(help.find("cmd /c 'holdout.exe doctor"), std::string::npos);
  EXPECT_NE(help.find("cmd /c 'holdout.exe check-ini"), std::string::npos);
}

// The keyboards section: every key it names with a code, "Numpad 0 (96)", is named so in the
// key table, and its number-pad lines bind each menu row to the number pad's digit of that row,
// with nothing check-ini calls a problem.
TEST(PlayersGuide, KeyboardsNameTheKeyTablesCodesAndBindTheNumberPad) {
  const std::string keyboards = Section(Guide(), "Keyboards");
  const std::regex quoted(" \\(([0-9]+)\\)");
  std::size_t codes = 0;
  for (auto match = std::sregex_iterator(keyboards.begin(), keyboards.end(), quoted);
       match != std::sregex_iterator(); ++match, ++codes) {
    const std::uint32_t code = static_cast<std::uint32_t>(std::stoul((*match)[1]));
    const std::string before = keyboards.substr(0, static_cast<std::size_t>(match->position()));
    const std::string name = KeyName(code);
    EXPECT_EQ(before.substr(before.size() - std::min(before.size(), name.size())), name)
        << "the key table names " << code << " " << name;
  }
  EXPECT_GE(codes, 7u);
  EXPECT_EQ(KeyName(kInputMethodKey) + " (" + std::to_string(kInputMethodKey) + ")",
            "IME Process (229)");
  EXPECT_NE(keyboards.find("IME Process (229)"), std::string::npos);

  std::istringstream lines(keyboards);
  std::string keyBinds = "[KeyBinds]\n";
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("    MenuSelect", 0) == 0) {
      keyBinds += line.substr(4, line.find(" -> ") - 4) + "\n";
    }
  }
  const IniExplanation explanation = ExplainIni(keyBinds);
  EXPECT_TRUE(explanation.problems.empty()) << keyBinds;
  const auto selects = MenuSelectSettings();
  for (std::size_t row = 0; row < selects.size(); ++row) {
    for (const SettingExplanation& line : explanation.settings) {
      if (line.key == selects[row].key) {
        const std::string digit = "Numpad " + std::to_string(row + 1);
        EXPECT_EQ(line.value, std::to_string(*KeyCodeNamed(digit)) + " (" + digit + ")");
        EXPECT_EQ(line.origin, "file") << line.key << " is not in the guide's lines";
      }
    }
  }
}

}  // namespace
