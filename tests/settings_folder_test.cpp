// The settings file in folders named in any language and in deep folders: the plug-in reads it
// through the folder's own wide path, or, past the profile functions' limit, through a copy in
// the temp folder that it deletes again, on a volume with or without short names. Also the
// simulated functions these cases stand on.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>

#include "core/code_page.h"
#include "core/fault_injector.h"
#include "core/script_context.h"
#include "platform/win32_functions.h"
#include "runtime/host.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::Scenario;

constexpr std::size_t kMaxPathUnits = 260;
constexpr std::int32_t kMaxEnemiesByDefault = 70;  // what a load that reads no file stores

void WriteMaxEnemies(const fs::path& folder, int value) {
  fs::create_directories(folder);
  std::ofstream(folder / "Holdout.ini") << "[Main]\r\nMaxEnemies=" << value << "\r\n";
}

std::u16string Wide(const fs::path& path) {
  return sim::Utf16FromUtf8(path.string());
}

// The entries of a folder, none when it is empty or missing.
std::size_t EntriesIn(const fs::path& folder) {
  std::error_code error;
  std::size_t count = 0;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    ++count;
  }
  return count;
}

// A game folder whose Holdout.ini has a path of more than 300 characters, under a part named in
// Chinese, on a volume without short names; the host's temp folder is the scenario's own.
struct DeepGame {
  explicit DeepGame(Scenario& s)
      : folder(s.Directory() / fs::path(u8"\u6E38\u620F") / std::string(150, 'x') /
               std::string(150, 'y')),
        temp(s.Directory() / "Temp") {
    fs::create_directories(folder);
    fs::create_directories(temp);
    s.host.SetExecutablePath((folder / "Game.exe").string());
    s.host.SetTempFolder(temp.string());
  }
  fs::path folder;
  fs::path temp;
};

// Every folder is read as itself, whatever the ANSI code page holds: no path names another
// folder, such as the look-alike that best fit makes of a name the code page cannot hold.
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
      EXPECT_EQ(GetIniPath(), Wide(folder / "Holdout.ini")) << name;
      settings = Settings{};
      LoadSettings();
      EXPECT_EQ(settings.MaxEnemies, 100) << name << " in code page " << codePage;
    }
  }
}

// Past the profile functions' 259 characters the file is read through its copy in the temp
// folder, on a volume without short names: the copy keeps the file's bytes (a UTF-16 file reads
// as one), is made of a read-only file too, and is deleted once read. The original is left as
// it was.
SCENARIO_TEST(SettingsFolder, PathsPastTheProfileFunctionsLimitAreReadThroughACopy) {
  Scenario s;
  const DeepGame game(s);
  ASSERT_GE(GetIniPath().size(), 300u);
  const fs::path ini = game.folder / "Holdout.ini";

  WriteMaxEnemies(game.folder, 45);
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 45);
  EXPECT_EQ(EntriesIn(game.temp), 0u) << "the copy is deleted";

  const std::string utf16 = std::string("\xFF\xFE[\0M\0a\0i\0n\0]\0\r\0\n\0", 18) +
                            std::string("M\0a\0x\0E\0n\0e\0m\0i\0e\0s\0=\0" "4\0" "6\0", 26);
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << utf16;
  fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  settings = Settings{};
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, 46) << "a read-only UTF-16 file";
  EXPECT_EQ(EntriesIn(game.temp), 0u) << "the read-only file's copy is deleted too";
  EXPECT_EQ(fs::file_size(ini), utf16.size());
  EXPECT_EQ(fs::status(ini).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read)
      << "the original stays read-only";
}

// Where no copy can be made every setting takes its default, and no file is left behind: the
// temp folder missing or longer than GetTempFileNameW takes; no settings file at all.
SCENARIO_TEST(SettingsFolder, WithoutACopyEverySettingTakesItsDefault) {
  Scenario s;
  const DeepGame game(s);
  WriteMaxEnemies(game.folder, 45);

  s.host.SetTempFolder((game.temp / "missing").string());
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, kMaxEnemiesByDefault) << "no temp folder";

  const fs::path longTemp = s.Directory() / std::string(250 - s.Directory().string().size(), 't');
  fs::create_directories(longTemp);
  s.host.SetTempFolder(longTemp.string());
  settings = Settings{};
  settings.MaxEnemies = 3;
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, kMaxEnemiesByDefault) << "a temp folder of 251 characters";
  EXPECT_EQ(EntriesIn(longTemp), 0u);

  s.host.SetTempFolder(game.temp.string());
  fs::remove(game.folder / "Holdout.ini");
  settings.MaxEnemies = 3;
  LoadSettings();
  EXPECT_EQ(settings.MaxEnemies, kMaxEnemiesByDefault) << "no settings file";
  EXPECT_EQ(EntriesIn(game.temp), 0u) << "the empty file made for the copy is deleted";
}

// An allocation failing anywhere in a load through a copy leaves no copy behind, and the
// settings as they were. Which allocation fails, and whether it was reached, are shared between
// the test and the fresh process it runs each case in.
struct AllocationSweep {
  std::uint64_t failing = 0;
  bool reached = false;
};
AllocationSweep* allocationSweep = static_cast<AllocationSweep*>(
    mmap(nullptr, sizeof(AllocationSweep), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1,
         0));

void LoadSettingsAsTheScript() {
  try {
    LoadSettings();
  } catch (const std::bad_alloc&) {
  }
  scriptWait(0);
}

void LoadWithAFailingAllocation() {
  Scenario s;
  const DeepGame game(s);
  WriteMaxEnemies(game.folder, 45);
  sim::FaultInjector injector(s.host);
  injector.Arm(sim::FaultKind::kAllocationFails, allocationSweep->failing);
  s.host.SwapScriptContext(std::make_unique<sim::ScriptContext>(&LoadSettingsAsTheScript));
  s.RunFrame();
  allocationSweep->reached = injector.Reached();
  EXPECT_EQ(EntriesIn(game.temp), 0u);
  EXPECT_EQ(settings.MaxEnemies, injector.Reached() ? kMaxEnemiesByDefault : 45);
}

TEST(SettingsFolder, AFailedAllocationLeavesNoCopy) {
  ASSERT_NE(allocationSweep, MAP_FAILED);
  for (allocationSweep->failing = 1;; ++allocationSweep->failing) {
    SCOPED_TRACE("allocation " + std::to_string(allocationSweep->failing) + " failing");
    allocationSweep->reached = false;
    holdout_test::RunInFreshProcess(&LoadWithAFailingAllocation);
    if (!allocationSweep->reached || HasFailure()) {
      break;
    }
  }
  EXPECT_GT(allocationSweep->failing, 10u) << "a load through a copy allocates";
}

// The simulated file functions where the copy depends on them, as Windows documents them: the
// temp folder's path and its size query; new, distinct files under names of their own, and no
// file from a folder too long or missing; a copy's bytes and read-only attribute, with a path
// past MAX_PATH taken only with the \\?\ prefix; a read-only file kept from deletion.
SCENARIO_TEST(SettingsFolder, FileFunctionsAnswerAsWindows) {
  Scenario s;
  const fs::path temp = s.Directory() / "Temp";
  fs::create_directories(temp);
  s.host.SetTempFolder(temp.string());
  const std::u16string folder = Wide(temp) + u"/";
  char16_t buffer[kMaxPathUnits] = {};
  EXPECT_EQ(GetTempPathW(2, buffer), folder.size() + 1) << "the size needed";
  ASSERT_EQ(GetTempPathW(kMaxPathUnits, buffer), folder.size());
  EXPECT_EQ(std::u16string(buffer), folder);

  char16_t first[kMaxPathUnits] = {};
  char16_t second[kMaxPathUnits] = {};
  ASSERT_NE(GetTempFileNameW(folder.c_str(), u"Holdout", 0, first), 0u);
  ASSERT_NE(GetTempFileNameW(folder.c_str(), u"Holdout", 0, second), 0u);
  const std::string firstPath = *sim::Utf8FromUtf16(first);
  EXPECT_NE(std::u16string(first), std::u16string(second));
  EXPECT_EQ(firstPath.rfind(temp.string() + "/Hol", 0), 0u) << firstPath;
  EXPECT_TRUE(firstPath.ends_with(".TMP")) << firstPath;
  EXPECT_EQ(fs::file_size(firstPath), 0u);
  EXPECT_EQ(EntriesIn(temp), 2u);
  EXPECT_EQ(GetTempFileNameW(folder.c_str(), u"Hol", 0x1A2B, first), 0x1A2Bu);
  EXPECT_EQ(std::u16string(first), folder + u"Hol1A2B.TMP") << "only the name";
  EXPECT_EQ(EntriesIn(temp), 2u);
  const fs::path longFolder = temp / std::string(247 - temp.string().size() - 1, 'f');
  fs::create_directories(longFolder);
  ASSERT_EQ(Wide(longFolder).size(), 247u);
  EXPECT_EQ(GetTempFileNameW(Wide(longFolder).c_str(), u"Hol", 0, first), 0u);
  EXPECT_EQ(GetTempFileNameW(Wide(temp / "missing").c_str(), u"Hol", 0, first), 0u);

  const fs::path deep = s.Directory() / std::string(200, 'd') / std::string(60, 'e');
  WriteMaxEnemies(deep, 50);
  fs::permissions(deep / "Holdout.ini", fs::perms::owner_write | fs::perms::group_write |
                                            fs::perms::others_write,
                  fs::perm_options::remove);
  const std::u16string source = Wide(deep / "Holdout.ini");
  const std::u16string copy = Wide(firstPath);
  EXPECT_FALSE(CopyFileW(source.c_str(), copy.c_str(), FALSE)) << "past MAX_PATH, no prefix";
  ASSERT_TRUE(CopyFileW((u"\\\\?\\" + source).c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(fs::file_size(firstPath), fs::file_size(deep / "Holdout.ini"));
  EXPECT_FALSE(CopyFileW((u"\\\\?\\" + source).c_str(), copy.c_str(), TRUE))
      << "the copy exists";
  EXPECT_FALSE(CopyFileW((u"\\\\?\\" + source).c_str(), copy.c_str(), FALSE))
      << "the copy is read-only, as the original";
  EXPECT_FALSE(DeleteFileW(copy.c_str())) << "read-only";
  EXPECT_TRUE(SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileW(copy.c_str()));
  EXPECT_FALSE(DeleteFileW(copy.c_str())) << "no file any more";
  EXPECT_FALSE(DeleteFileW(Wide(temp).c_str())) << "a folder";
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

}  // namespace
