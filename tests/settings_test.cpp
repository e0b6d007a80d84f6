// The settings file through the simulated host's profile reader: defaults for a missing,
// unreadable or garbled file, the enemy limit's clamp, every key landing in its own field,
// positions that are taken or refused as a whole, and the file's path built from any host
// executable name.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/code_page.h"
#include "settings/settings.h"
#include "settings/settings_schema.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

void ExpectSameVector(const Vector3& actual, const Vector3& expected, const std::string& what) {
  EXPECT_EQ(actual.x, expected.x) << what;
  EXPECT_EQ(actual.y, expected.y) << what;
  EXPECT_EQ(actual.z, expected.z) << what;
}

// The fourteen key bindings in the order of the [KeyBinds] table.
std::array<std::uint32_t, 14> KeyBindings() {
  return {settings.ActivateMod,     settings.RotateObject,    settings.ReverseRotateObject,
          settings.ConfirmObject,   settings.SpawnerMenu,     settings.MenuSelectOne,
          settings.MenuSelectTwo,   settings.MenuSelectThree, settings.MenuSelectFour,
          settings.MenuSelectFive,  settings.MenuSelectSix,   settings.MenuSelectSeven,
          settings.MenuSelectEight, settings.MenuSelectNine};
}

// Loads `ini` into a settings record that starts at its defaults.
void LoadFrom(Scenario& s, const std::string& ini) {
  s.WriteIni(ini);
  settings = Settings{};
  LoadSettings();
}

void ExpectDefaults(const std::string& what) {
  const Settings defaults = DefaultSettings();
  EXPECT_FALSE(settings.Debug) << what;
  EXPECT_EQ(settings.MaxEnemies, 70) << what;
  EXPECT_EQ(KeyBindings(),
            (std::array<std::uint32_t, 14>{0x72, 0x51, 0x10, 0x45, 0x43, 0x31, 0x32, 0x33, 0x34,
                                           0x35, 0x36, 0x37, 0x38, 0x39}))
      << what;
  ExpectSameVector(settings.PlayerStartingPosition, defaults.PlayerStartingPosition, what);
  ExpectSameVector(settings.EnemySpawnPositions[0], defaults.EnemySpawnPositions[0], what);
  ExpectSameVector(settings.EnemySpawnPositions[1], defaults.EnemySpawnPositions[1], what);
}

SCENARIO_TEST(Settings, AMissingUnreadableOrGarbledFileGivesTheDefaults) {
  Scenario s;
  settings = Settings{};
  LoadSettings();
  ExpectDefaults("no file");

  LoadFrom(s, "");
  ExpectDefaults("an empty file");

  std::string junk;
  for (int i = 0; i < 4096; ++i) {
    junk.push_back(static_cast<char>((i * 7919 + 13) % 256));
  }
  LoadFrom(s, junk);
  ExpectDefaults("binary junk");

  LoadFrom(s, "[Main]\n[KeyBinds\nActivateMod\n=5\n[Positions]]\nPlayerStartingPosition\n");
  ExpectDefaults("half-written sections and keys");

  std::filesystem::remove(s.Directory() / "Holdout.ini");
  std::filesystem::create_directory(s.Directory() / "Holdout.ini");
  settings = Settings{};
  LoadSettings();
  ExpectDefaults("a directory in the file's place");
}

SCENARIO_TEST(Settings, EnemyLimitIsClampedAndDebugIsAnyNonZeroValue) {
  Scenario s;
  const struct {
    const char* value;
    std::int32_t expected;
  } limits[] = {{"5", 10},    {"-3", 10},          {"9", 10},          {"10", 10}, {"11", 11},
                {"512", 512}, {"513", 512},        {"100000", 512},    {"70", 70}, {"", 70},
                {"lots", 10}, {"-2147483648", 10}, {"2147483647", 512}};
  for (const auto& limit : limits) {
    LoadFrom(s, std::string("[Main]\nMaxEnemies=") + limit.value + "\n");
    EXPECT_EQ(settings.MaxEnemies, limit.expected) << "MaxEnemies=" << limit.value;
  }
  // Beyond 32 bits, whatever the reader makes of them, the limit stays within its range.
  for (const char* value :
       {"4294967295", "4294967296", "99999999999", "-99999999999", "0x7FFFFFFFFFFFFFFF", "1e9"}) {
    LoadFrom(s, std::string("[Main]\nMaxEnemies=") + value + "\n");
    EXPECT_GE(settings.MaxEnemies, kMinEnemies) << "MaxEnemies=" << value;
    EXPECT_LE(settings.MaxEnemies, kEnemySlotCapacity) << "MaxEnemies=" << value;
  }

  const struct {
    const char* ini;
    bool expected;
  } debugs[] = {{"[Main]\nDebug=2\n", true},     {"[Main]\nDebug=-1\n", true},
                {"[Main]\nDebug=1\n", true},     {"[Main]\nDebug=0\n", false},
                {"[Main]\nDebug=\n", false},     {"[Main]\nMaxEnemies=20\n", false},
                {"[KeyBinds]\nDebug=1\n", false}};
  for (const auto& debug : debugs) {
    LoadFrom(s, debug.ini);
    EXPECT_EQ(settings.Debug, debug.expected) << debug.ini;
  }
}

SCENARIO_TEST(Settings, EveryValueLandsInItsOwnField) {
  Scenario s;
  LoadFrom(s,
           "[Main]\nDebug=1\nMaxEnemies=123\n"
           "[KeyBinds]\nActivateMod=1\nRotateObject=2\nReverseRotateObject=3\nConfirmObject=4\n"
           "SpawnerMenu=5\nMenuSelectOne=6\nMenuSelectTwo=7\nMenuSelectThree=8\n"
           "MenuSelectFour=9\nMenuSelectFive=10\nMenuSelectSix=11\nMenuSelectSeven=12\n"
           "MenuSelectEight=300\nMenuSelectNine=-1\n"
           "[Positions]\nPlayerStartingPosition={1,2,3}\nEnemySpawnPosition1={4,5,6}\n"
           "EnemySpawnPosition2={7,8,9}\n");
  EXPECT_TRUE(settings.Debug);
  EXPECT_EQ(settings.MaxEnemies, 123);
  EXPECT_EQ(KeyBindings(), (std::array<std::uint32_t, 14>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                                          300, 0xFFFFFFFFu}))
      << "every binding is stored unchanged";
  ExpectSameVector(settings.PlayerStartingPosition, {1, 2, 3}, "PlayerStartingPosition");
  ExpectSameVector(settings.EnemySpawnPositions[0], {4, 5, 6}, "EnemySpawnPosition1");
  ExpectSameVector(settings.EnemySpawnPositions[1], {7, 8, 9}, "EnemySpawnPosition2");
}

SCENARIO_TEST(Settings, APositionIsTakenOnlyWhenItGivesAUsableFiniteValue) {
  Scenario s;
  const Vector3 byDefault = DefaultSettings().PlayerStartingPosition;
  const struct {
    std::string text;
    Vector3 expected;
  } cases[] = {
      {"{1.5,2.5,-3.25}", {1.5f, 2.5f, -3.25f}},
      {"{1.5,2.5}", {1.5f, 2.5f, 0.0f}},
      {"{0,0,5}", {0.0f, 0.0f, 5.0f}},
      {"{ 1, 2,\t3}", {1.0f, 2.0f, 3.0f}},
      {"{1 ,2,3}", {1.0f, 0.0f, 0.0f}},
      {"{2726.15820,-1067.72778,47.40460}", byDefault},
      {"{0,0,0}", byDefault},
      {"{-0,0.0,0e5}", byDefault},
      {"1,2,3", byDefault},
      {"", byDefault},
      {"{,,}", byDefault},
      {"{x,1,2}", byDefault},
      // Only the first 51 characters arrive: the 7 lies beyond them.
      {"{1,2," + std::string(46, ' ') + "7}", {1.0f, 2.0f, 0.0f}},
      {"{1,2,3}" + std::string(100, '9'), {1.0f, 2.0f, 3.0f}},
      // A component that is not a finite number refuses the whole position.
      {"{nan,1,2}", byDefault},
      {"{1,NAN(123),2}", byDefault},
      {"{1,inf,2}", byDefault},
      {"{1,2,-infinity}", byDefault},
      {"{1e39,1,1}", byDefault},
      {"{1,-1e39,1}", byDefault},
      {"{3e38,-3e38,1}", {3e38f, -3e38f, 1.0f}},
  };
  for (const auto& c : cases) {
    LoadFrom(s, "[Positions]\nPlayerStartingPosition=" + c.text + "\n");
    ExpectSameVector(settings.PlayerStartingPosition, c.expected, c.text);
    EXPECT_TRUE(std::isfinite(settings.PlayerStartingPosition.x));
  }
}

// The settings file's path in UTF-8, as the tests name folders.
std::optional<std::string> IniPath() {
  return sim::Utf8FromUtf16(GetIniPath());
}

SCENARIO_TEST(IniPath, IsTheHostExecutablesDirectoryWhateverItsName) {
  Scenario s;
  const std::string directory = s.Directory().string();
  s.WriteIni("[Main]\nMaxEnemies=11\n");

  EXPECT_EQ(IniPath(), directory + "/Holdout.ini");
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 11) << "the host's own 8-character name";

  s.host.SetExecutablePath(directory + "/LongerName.exe");
  EXPECT_EQ(IniPath(), directory + "/Holdout.ini");
  settings = Settings{};
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 11) << "another executable name";

  s.host.SetExecutablePath("/x/y/LongerName.exe");
  EXPECT_EQ(IniPath(), "/x/y/Holdout.ini");
  s.host.SetExecutablePath("C:\\Games\\Frontier\\G.exe");
  EXPECT_EQ(IniPath(), "C:\\Games\\Frontier\\Holdout.ini");
  s.host.SetExecutablePath("C:\\Games/Mixed\\Name/Game.exe");
  EXPECT_EQ(IniPath(), "C:\\Games/Mixed\\Name/Holdout.ini");

  // No separator: the working directory, which is the scenario's directory.
  s.host.SetExecutablePath("Game.exe");
  settings = Settings{};
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 11) << "a name without a directory";

  // Names longer than the first buffers of 64, 128 and 256 characters, on a volume without
  // short names: a path too long for the profile functions is read through a copy.
  std::filesystem::path deep = s.Directory();
  for (int level = 0; level < 4; ++level) {
    deep /= std::string(90, static_cast<char>('a' + level));
    std::filesystem::create_directory(deep);
    std::ofstream(deep / "Holdout.ini") << "[Main]\nMaxEnemies=" << 20 + level << "\n";
    s.host.SetExecutablePath((deep / "Host.exe").string());
    ASSERT_EQ(IniPath(), (deep / "Holdout.ini").string());
    settings = Settings{};
    LoadSettings();
    EXPECT_EQ(settings.MaxEnemies, 20 + level) << deep.string().size() << " characters";
  }

  // A game started by a path with short names, on a volume that keeps them, reports its folder
  // so, and the file is found by it.
  const std::string shortDeep = s.Directory().string() + "/AAAAAA~1/BBBBBB~1/CCCCCC~1/dddd" +
                                std::string(86, 'd') + "/Host.exe";
  std::filesystem::path named = s.Directory();
  for (int level = 0; level < 3; ++level) {
    named /= std::string(90, static_cast<char>('a' + level));
    s.host.FileShortNames().Add(named, std::string(6, static_cast<char>('A' + level)) + "~1");
  }
  for (const std::string& executable :
       {s.Directory().string() + "/AAAAAA~1/Host.exe", shortDeep}) {
    s.host.SetExecutablePath(executable);
    settings = Settings{};
    LoadSettings();
    EXPECT_EQ(settings.MaxEnemies, executable == shortDeep ? 23 : 20) << executable;
  }
}

}  // namespace
