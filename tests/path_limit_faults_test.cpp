// The settings file's paths swept over their lengths at each limit the plug-in names, one below,
// at and one above: the settings file's own path at the profile functions' 259 characters
// (kProfilePathCapacity, MAX_PATH with its terminator), past which the plug-in reads a copy in
// the temp folder; and the temp folder's path at the longest GetTempFileNameW takes
// (kTempFolderCapacity), which the plug-in asks GetTempPathW for into a buffer of just that
// room. Each case sets MaxEnemies in the file and reads what the load made of it. Then every
// Win32 function of the fault table failing at each of its calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/code_page.h"
#include "core/fault_injector.h"
#include "settings/log.h"
#include "settings/profile_path.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::Scenario;

constexpr std::int32_t kWritten = 45;
constexpr std::int32_t kMaxEnemiesByDefault = 70;  // what a load that reads no file stores

// The folder inside `parent` whose path, with the separator and `tail` after it, is `length`
// characters long, as the simulated Windows counts them.
fs::path FolderOfLength(const fs::path& parent, std::size_t length, std::size_t tail) {
  const std::size_t taken = sim::Utf16FromUtf8(parent.string()).size() + 1 + tail;
  return parent / std::string(length - taken, 'p');
}

// MaxEnemies as a load reads it from Holdout.ini in `folder`.
std::int32_t LoadedFrom(Scenario& s, const fs::path& folder) {
  fs::create_directories(folder);
  std::ofstream(folder / "Holdout.ini", std::ios::binary)
      << "[Main]\r\nMaxEnemies=" << kWritten << "\r\n";
  s.host.SetExecutablePath((folder / "Game.exe").string());
  settings = Settings{};
  settings.MaxEnemies = 3;
  LoadSettings();
  return settings.MaxEnemies;
}

// The settings file's path one below, at and one above the longest the profile functions open,
// with no temp folder at all: the first two are read in place, the third would need the copy.
SCENARIO_TEST(PathLimits, SettingsFileAtTheProfileFunctionsLimit) {
  Scenario s;
  s.host.SetTempFolder("");
  const std::size_t longest = kProfilePathCapacity - 1;
  const std::size_t tail = std::string("/Holdout.ini").size();
  const struct {
    std::size_t length;
    std::int32_t loaded;
  } cases[] = {{longest - 1, kWritten}, {longest, kWritten}, {longest + 1, kMaxEnemiesByDefault}};
  for (const auto& c : cases) {
    const fs::path folder = FolderOfLength(s.Directory() / std::to_string(c.length), c.length, tail);
    EXPECT_EQ(LoadedFrom(s, folder), c.loaded) << "a settings path of " << c.length;
    EXPECT_EQ(GetIniPath().size(), c.length);
  }
}

// A settings file past that limit is read through a copy in the temp folder; the temp folder's
// path (its closing separator included) one below, at and one above the longest the copy takes.
SCENARIO_TEST(PathLimits, TempFolderAtTheCopysLimit) {
  Scenario s;
  const fs::path game = s.Directory() / std::string(150, 'x') / std::string(150, 'y');
  const struct {
    std::size_t length;
    std::int32_t loaded;
  } cases[] = {{kTempFolderCapacity - 1, kWritten},
               {kTempFolderCapacity, kWritten},
               {kTempFolderCapacity + 1, kMaxEnemiesByDefault}};
  for (const auto& c : cases) {
    const fs::path temp = FolderOfLength(s.Directory() / std::to_string(c.length), c.length, 1);
    fs::create_directories(temp);
    s.host.SetTempFolder(temp.string());
    ASSERT_EQ(sim::Utf16FromUtf8(temp.string()).size() + 1, c.length);
    EXPECT_EQ(LoadedFrom(s, game), c.loaded) << "a temp folder of " << c.length;
    EXPECT_TRUE(fs::is_empty(temp)) << "the copy is deleted, or never made";
  }
}

// Each Win32 function of the table failing, once, at each of its calls in a load through the
// copy and a log line's write: the load takes every setting's default or reads the file, no
// copy is left behind unless its deletion was what failed, and the log line is in a log
// exactly when the write says so.
SCENARIO_TEST(PathLimits, EachWin32FunctionFailingInALoadAndALogLine) {
  for (const sim::FaultRow& row : sim::kFaultRows) {
    if (row.site != sim::FaultSite::kWin32) {
      continue;
    }
    for (std::uint64_t n = 1;; ++n) {
      Scenario s;
      const fs::path game = s.Directory() / std::string(150, 'x') / std::string(150, 'y');
      const fs::path temp = s.Directory() / "Temp";
      fs::create_directories(temp);
      s.host.SetTempFolder(temp.string());
      sim::FaultInjector injector(s.host);
      injector.Arm(row.kind, n);
      const std::int32_t loaded = LoadedFrom(s, game);
      const bool saved = WriteLog("a line");
      const bool inALog = s.ReadLog() == "a line\n" || s.ReadLocalAppDataLog() == "a line\n" ||
                          s.ReadOtherWorkingFolderLog() == "a line\n";
      if (!injector.Reached()) {
        EXPECT_EQ(loaded, kWritten) << row.name;
        EXPECT_GT(n, 1u) << row.name << " is never reached";
        break;
      }
      const std::string name = std::string(row.name) + " at call " + std::to_string(n);
      EXPECT_TRUE(loaded == kWritten || loaded == kMaxEnemiesByDefault) << name << ": " << loaded;
      if (row.kind != sim::FaultKind::kCopyNotDeleted) {
        EXPECT_TRUE(fs::is_empty(temp)) << name;
      }
      EXPECT_EQ(saved, inALog) << name;
    }
  }
}

}  // namespace
