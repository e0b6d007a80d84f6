// The settings file in folders whose names the ANSI code page cannot hold: the plug-in reads it
// through the exact ANSI path, else the folder's short name, and never through a path that
// names another file; with neither, every setting takes its default. Also the simulated
// conversions these cases stand on, where they differ from a plain copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/code_page.h"
#include "platform/win32_functions.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::Scenario;

void WriteMaxEnemies(const fs::path& folder, int value) {
  fs::create_directories(folder);
  std::ofstream(folder / "Holdout.ini") << "[Main]\r\nMaxEnemies=" << value << "\r\n";
}

SCENARIO_TEST(SettingsFolder, ReadThroughAPathThatNamesTheFolderItself) {
  struct Case {
    const char* folder;     // UTF-8
    unsigned codePage;      // the system's ANSI code page
    const char* shortName;  // the folder's short name; nullptr: none
    int expected;           // MaxEnemies as read
    const char* pathEnd;    // how the path handed to the profile functions ends
  };
  const Case cases[] = {
      {"Plain Game", sim::kWesternCodePage, nullptr, 100, "/Plain Game/Holdout.ini"},
      // The code page holds é as one byte: the path is handed over in it, not as UTF-8.
      {"Caf\xC3\xA9", sim::kWesternCodePage, "CAFE~1", 100, "/Caf\xE9/Holdout.ini"},
      {"Spiel-\xE6\x97\xA5\xE6\x9C\xAC", sim::kWesternCodePage, "SPIEL-~1", 100,
       "/SPIEL-~1/Holdout.ini"},
      {"Spiel-\xE6\x97\xA5\xE6\x9C\xAC", sim::kUtf8CodePage, nullptr, 100,
       "/Spiel-\xE6\x97\xA5\xE6\x9C\xAC/Holdout.ini"},
      // No short name (turned off on the volume): the defaults, not a '?' path.
      {"Spiel-\xE6\x97\xA5\xE6\x9C\xAC", sim::kWesternCodePage, nullptr, 70, nullptr},
      // The best-fit look-alike of Ā is A: "Arvalds" is another folder, whose file is not ours.
      {"\xC4\x80rvalds", sim::kWesternCodePage, nullptr, 70, nullptr},
      {"\xC4\x80rvalds", sim::kWesternCodePage, "ARVALD~1", 100, "/ARVALD~1/Holdout.ini"},
      // A character beyond the 16-bit range, which UTF-16 holds as a pair.
      {"Game-\xF0\x9F\x8E\xAE", sim::kWesternCodePage, "GAME-~1", 100, "/GAME-~1/Holdout.ini"},
  };
  Scenario s;
  int index = 0;
  for (const Case& c : cases) {
    // Each case in a parent of its own, beside a folder named as Ā's look-alike would have it.
    const fs::path parent = s.Directory() / std::to_string(++index);
    WriteMaxEnemies(parent / "Arvalds", 33);
    const fs::path folder =
        parent / fs::path(std::u8string(reinterpret_cast<const char8_t*>(c.folder)));
    WriteMaxEnemies(folder, 100);
    s.host.SetAnsiCodePage(c.codePage);
    if (c.shortName != nullptr) {
      s.host.FileShortNames().Add(folder, c.shortName);
    }
    s.host.SetExecutablePath((folder / "Game.exe").string());
    const std::string what = std::string(c.folder) + (c.shortName ? " with a short name" : "");

    const std::optional<std::string> path = GetIniPath();
    if (c.pathEnd == nullptr) {
      EXPECT_EQ(path, std::nullopt) << what;
    } else {
      ASSERT_TRUE(path.has_value()) << what;
      EXPECT_TRUE(path->ends_with(c.pathEnd)) << what << ": " << *path;
    }
    settings = Settings{};
    LoadSettings();
    EXPECT_EQ(settings.MaxEnemies, c.expected) << what;
  }
}

// A short name stands for its folder only under that folder's parent, and a part of the path
// above the folder can be the one that needs it.
SCENARIO_TEST(SettingsFolder, ShortNamesOfFoldersAboveAndBeside) {
  Scenario s;
  const fs::path upper = s.Directory() / fs::path(u8"\u6E38\u620F");
  WriteMaxEnemies(upper / "Game", 45);
  WriteMaxEnemies(s.Directory() / "Other" / "GAME~1", 12);
  s.host.FileShortNames().Add(upper, "GAME~1");
  s.host.SetExecutablePath((upper / "Game" / "Game.exe").string());
  ASSERT_EQ(GetIniPath(), s.Directory().string() + "/GAME~1/Game/Holdout.ini");
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 45);
  s.host.SetExecutablePath((s.Directory() / "Other" / "GAME~1" / "Game.exe").string());
  EXPECT_EQ(GetIniPath(), s.Directory().string() + "/Other/GAME~1/Holdout.ini");
  settings = Settings{};
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 12);
}

// The conversion function's contract where callers depend on it: a size query, the default
// character reported, and UTF-8 refusing what it cannot take.
SCENARIO_TEST(SettingsFolder, WideToAnsiAnswersAsWindows) {
  Scenario s;
  const std::u16string text = u"a\u00E9\u65E5";
  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), 3, nullptr, 0, nullptr, &usedDefault), 3);
  EXPECT_TRUE(usedDefault);
  char out[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr), 4)
      << "with the terminator";
  EXPECT_EQ(std::string(out), "a\xE9?");
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), 3, out, 2, nullptr, nullptr), 0)
      << "too small a buffer";

  s.host.SetAnsiCodePage(sim::kUtf8CodePage);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), 3, nullptr, 0, nullptr, nullptr), 6);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), 3, nullptr, 0, nullptr, &usedDefault), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), 3, nullptr, 0, nullptr,
                                nullptr),
            0);
  const std::u16string lone = u"a\xD800";
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, lone.c_str(), 2, nullptr, 0, nullptr,
                                nullptr),
            0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone.c_str(), 2, nullptr, 0, nullptr, nullptr), 4)
      << "U+FFFD in its place";
}

}  // namespace
