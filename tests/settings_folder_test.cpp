// The settings file in folders named in any language and in deep folders: the plug-in reads it
// through the folder's own wide path, or past the profile functions' limit its short form; with
// neither, every setting takes its default. Also the simulated functions these cases stand on.
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

// The settings file's path in UTF-8, as the tests name folders.
std::optional<std::string> IniPath() {
  const std::optional<std::u16string> path = GetIniPath();
  return path ? sim::Utf8FromUtf16(*path) : std::nullopt;
}

// Every folder is read as itself, whatever the ANSI code page holds and whether the volume keeps
// short names: no path names another folder, such as the look-alike that best fit makes of a
// name the code page cannot hold.
SCENARIO_TEST(SettingsFolder, ReadThroughTheFoldersOwnWidePath) {
  const char* const folders[] = {"Plain Game", "Caf\xC3\xA9", "Spiel-\xE6\x97\xA5\xE6\x9C\xAC",
                                 "\xC4\x80rvalds", "Game-\xF0\x9F\x8E\xAE"};
  Scenario s;
  int index = 0;
  for (const char* name : folders) {
    for (const unsigned codePage : {sim::kWesternCodePage, sim::kUtf8CodePage}) {
      const fs::path parent = s.Directory() / std::to_string(++index);
      WriteMaxEnemies(parent / "Arvalds", 33);
      const fs::path folder =
          parent / fs::path(std::u8string(reinterpret_cast<const char8_t*>(name)));
      WriteMaxEnemies(folder, 100);
      s.host.SetAnsiCodePage(codePage);
      s.host.SetExecutablePath((folder / "Game.exe").string());
      EXPECT_EQ(IniPath(), (folder / "Holdout.ini").string()) << name;
      settings = Settings{};
      LoadSettings();
      EXPECT_EQ(settings.MaxEnemies, 100) << name << " in code page " << codePage;
    }
  }
}

// Past the profile functions' 259 characters the file is read under the folder's short form,
// where the volume keeps short names; a part of the path above the folder can be the one that
// gives it. Without short names such a folder's settings take their defaults.
SCENARIO_TEST(SettingsFolder, PathsPastTheProfileFunctionsLimit) {
  Scenario s;
  const fs::path upper = s.Directory() / fs::path(u8"\u6E38\u620F") / std::string(240, 'x');
  WriteMaxEnemies(upper / "Game", 45);
  s.host.SetExecutablePath((upper / "Game" / "Game.exe").string());
  ASSERT_GE((upper / "Game" / "Holdout.ini").string().size(), 260u);
  EXPECT_EQ(IniPath(), std::nullopt) << "no short names on this volume";
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 70);

  s.host.FileShortNames().Add(upper, "XXXXXX~1");
  ASSERT_EQ(IniPath(),
            s.Directory().string() + "/\xE6\xB8\xB8\xE6\x88\x8F/XXXXXX~1/Game/Holdout.ini");
  settings = Settings{};
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 45);
}

// The wide profile functions open no path of 260 characters or more, the \\?\ prefix aside,
// as Wine's do.
SCENARIO_TEST(SettingsFolder, WideProfileFunctionsStopAtMaxPath) {
  Scenario s;
  std::string folder = s.Directory().string() + "/";
  folder += std::string(259 - folder.size() - std::string("/Holdout.ini").size(), 'y');
  WriteMaxEnemies(folder, 41);
  const std::u16string path = sim::Utf16FromUtf8(folder + "/Holdout.ini");
  ASSERT_EQ(path.size(), 259u);
  EXPECT_EQ(GetPrivateProfileIntW(u"Main", u"MaxEnemies", 70, path.c_str()), 41u);
  EXPECT_EQ(GetPrivateProfileIntW(u"Main", u"MaxEnemies", 70, (u"\\\\?\\" + path).c_str()), 41u)
      << "the prefix does not count";
  WriteMaxEnemies(folder + "z", 42);
  EXPECT_EQ(GetPrivateProfileIntW(u"Main", u"MaxEnemies", 70,
                                  sim::Utf16FromUtf8(folder + "z/Holdout.ini").c_str()),
            70u);
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
