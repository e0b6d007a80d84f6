// The log and the debug position capture that writes to it: lines appended in order to
// whatever the file held; where the working folder refuses the log, the line in
// %LOCALAPPDATA%\Holdout\Holdout.log, the working folder tried first again for every line; where
// both refuse, the capture's banner saying that the position was not saved; a game started in
// another working folder reading its settings from its own folder and writing its log in the
// working folder; a working folder on a volume without access lists refusing the log only by
// its share and the read-only attribute; and the captured position written in full in the
// settings file's form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/fault_injector.h"
#include "core/windows_paths.h"
#include "runtime/frame_steps.h"
#include "runtime/screen.h"
#include "settings/log.h"
#include "settings/position.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "support/screen_reading.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::Scenario;

constexpr char kNotSaved[] = "Position not saved: Holdout.log cannot be written";

// Sets the player's position, captures it with F2 and runs the frame that handles the key.
void CaptureAt(Scenario& s, float x, float y, float z) {
  s.host.GetWorld().player.position = sim::Vec3{x, y, z};
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
}

// A started scenario with Debug on, so that F2 captures the position.
void StartWithDebug(Scenario& s) {
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
}

// The working folder refuses every write, as Program Files does a standard user's.
void RefuseWritesInWorkingFolder(Scenario& s) {
  sim::fileSystemSettings.foldersRefusingWrites.push_back(s.Directory().string());
}

SCENARIO_TEST(Log, AppendsOneLinePerCallInOrderAndKeepsWhatWasThere) {
  Scenario s;
  const fs::path log = s.Directory() / "Holdout.log";
  EXPECT_TRUE(WriteLog("You survived for 1:05 and got 3 kill(s) (70 max enemies)"));
  EXPECT_EQ(s.ReadLog(), "You survived for 1:05 and got 3 kill(s) (70 max enemies)\n");
  EXPECT_TRUE(WriteLog("{1.00000,2.00000,3.00000}"));
  EXPECT_EQ(s.ReadLog(),
            "You survived for 1:05 and got 3 kill(s) (70 max enemies)\n"
            "{1.00000,2.00000,3.00000}\n");

  std::ofstream(log, std::ios::binary) << "from an earlier game\n";
  WriteLog("first");
  WriteLog("");
  WriteLog("second");
  EXPECT_EQ(s.ReadLog(), "from an earlier game\nfirst\n\nsecond\n");
  EXPECT_FALSE(fs::exists(s.LocalAppData() / "Holdout")) << "the fallback is left untouched";
}

// Each way the working folder's log can refuse a line: a folder in its place, a read-only file,
// and a folder that refuses writes. The line goes to the fallback, made when needed, and the
// capture's banner says the position was saved.
SCENARIO_TEST(Log, WhereTheWorkingFolderRefusesTheLineGoesToLocalAppData) {
  Scenario s;
  StartWithDebug(s);
  fs::create_directory(s.Directory() / "Holdout.log");
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_EQ(s.ReadLocalAppDataLog(), "{1.00000,2.00000,3.00000}\n");

  fs::remove(s.Directory() / "Holdout.log");
  std::ofstream(s.Directory() / "Holdout.log", std::ios::binary) << "kept\n";
  sim::SetReadOnly((s.Directory() / "Holdout.log").string(), true);
  CaptureAt(s, 4.0f, 5.0f, 6.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_EQ(s.ReadLog(), "kept\n");
  sim::SetReadOnly((s.Directory() / "Holdout.log").string(), false);
  fs::remove(s.Directory() / "Holdout.log");

  RefuseWritesInWorkingFolder(s);
  CaptureAt(s, 7.0f, 8.0f, 9.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_FALSE(fs::exists(s.Directory() / "Holdout.log"));
  EXPECT_EQ(s.ReadLocalAppDataLog(),
            "{1.00000,2.00000,3.00000}\n{4.00000,5.00000,6.00000}\n{7.00000,8.00000,9.00000}\n");

  // The working folder stays first: once it takes writes again, the next line goes there.
  sim::fileSystemSettings.foldersRefusingWrites.clear();
  CaptureAt(s, 10.0f, 11.0f, 12.0f);
  EXPECT_EQ(s.ReadLog(), "{10.00000,11.00000,12.00000}\n");
  EXPECT_EQ(s.ReadLocalAppDataLog().find("10.00000"), std::string::npos);
}

SCENARIO_TEST(Log, ARunsSummaryLandsInLocalAppDataWhereTheWorkingFolderRefuses) {
  Scenario s;
  survival_test::StartQuiet(s, "[Main]\nMaxEnemies=10\nDebug=1\n");
  RefuseWritesInWorkingFolder(s);
  survival_test::StartRunAtStart(s);
  s.RunFrames(200);  // 3.2 s
  survival_test::PressActivate(s);
  ASSERT_FALSE(runState.runActive);
  EXPECT_EQ(s.ReadLocalAppDataLog(), "You survived for 0:03 and got 0 kill(s) (10 max enemies)\n");
  EXPECT_EQ(notification->text, "You survived for 0:03 and got 0 kill(s)\n(10 max enemies)")
      << "the summary's banner is the same wherever the log went";
}

// With both refusing, the line is lost and the capture's banner says so; the next capture tries
// both again.
SCENARIO_TEST(Log, WhereBothRefuseTheCaptureSaysThePositionWasNotSaved) {
  Scenario s;
  StartWithDebug(s);
  RefuseWritesInWorkingFolder(s);
  sim::fileSystemSettings.foldersRefusingWrites.push_back(s.LocalAppData().string());
  EXPECT_FALSE(WriteLog("lost"));
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(notification->text, kNotSaved);
  s.RunFrame();
  EXPECT_EQ(holdout_test::BannerShown(s), kNotSaved);
  EXPECT_FALSE(fs::exists(s.Directory() / "Holdout.log"));
  EXPECT_FALSE(fs::exists(s.LocalAppData() / "Holdout"));

  sim::fileSystemSettings.foldersRefusingWrites.pop_back();
  CaptureAt(s, 4.0f, 5.0f, 6.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_EQ(s.ReadLocalAppDataLog(), "{4.00000,5.00000,6.00000}\n");
}

SCENARIO_TEST(Log, WithoutLocalAppDataALineTheWorkingFolderRefusesIsNotSaved) {
  Scenario s;
  StartWithDebug(s);
  RefuseWritesInWorkingFolder(s);
  sim::fileSystemSettings.localAppData.clear();
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(notification->text, kNotSaved);
}

// A launcher started the game in a folder of its own: the settings are still read from the game's
// folder (Debug on there, off in the decoy beside the working folder's log), and every line goes
// to the working folder, or to the fallback when that refuses.
SCENARIO_TEST(Log, AGameStartedElsewhereReadsItsFolderAndLogsInTheWorkingFolder) {
  Scenario s;
  const fs::path workingFolder = s.OtherWorkingFolderLog().parent_path();
  std::ofstream(workingFolder / "Holdout.ini", std::ios::binary) << "[Main]\nDebug=0\n";
  sim::FaultInjector injector(s.host);
  injector.Arm(sim::FaultKind::kWorkingFolderElsewhere, 1, true);
  StartWithDebug(s);
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_EQ(s.ReadOtherWorkingFolderLog(), "{1.00000,2.00000,3.00000}\n");
  EXPECT_FALSE(fs::exists(s.Log())) << "nothing is written in the game's folder";

  sim::fileSystemSettings.foldersRefusingWrites.push_back(workingFolder.string());
  CaptureAt(s, 4.0f, 5.0f, 6.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_EQ(s.ReadLocalAppDataLog(), "{4.00000,5.00000,6.00000}\n");
  EXPECT_FALSE(fs::exists(s.Log()));
}

// The working folder on a volume without access lists whose share turns read-only: an existing
// log shows the read-only attribute from then on and no new one is made; the line goes to the
// fallback, and the log keeps what it held.
SCENARIO_TEST(Log, AVolumeWithoutAccessListsRefusesTheLogByItsShareAlone) {
  Scenario s;
  sim::FaultInjector injector(s.host);
  StartWithDebug(s);
  injector.Arm(sim::FaultKind::kVolumeWithoutAccessLists, 1);
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  EXPECT_EQ(notification->text, "Position saved!");
  EXPECT_FALSE(fs::exists(s.Log())) << "the share made no new file";
  CaptureAt(s, 4.0f, 5.0f, 6.0f);
  EXPECT_EQ(s.ReadLog(), "{4.00000,5.00000,6.00000}\n") << "the share took writes again";

  injector.Arm(sim::FaultKind::kVolumeWithoutAccessLists, 1);
  CaptureAt(s, 7.0f, 8.0f, 9.0f);
  CaptureAt(s, 10.0f, 11.0f, 12.0f);
  EXPECT_TRUE(sim::IsReadOnly(s.Log().string()));
  EXPECT_EQ(s.ReadLog(), "{4.00000,5.00000,6.00000}\n");
  EXPECT_EQ(s.ReadLocalAppDataLog(),
            "{1.00000,2.00000,3.00000}\n{7.00000,8.00000,9.00000}\n"
            "{10.00000,11.00000,12.00000}\n");
  EXPECT_EQ(injector.Injected(), 1u) << "the attribute, not the fault, refused the last line";
}

// The fallback's path must be one the file functions take without the \\?\ prefix: fewer than
// MAX_PATH characters, "\Holdout\Holdout.log" (20) included, so LOCALAPPDATA may have 239.
SCENARIO_TEST(Log, LocalAppDataIsUsedUpToTheLongestPathTheFileFunctionsTake) {
  Scenario s;
  RefuseWritesInWorkingFolder(s);
  for (const std::size_t length : {238u, 239u, 240u}) {
    std::string folder = (s.LocalAppData() / "long").string();
    while (folder.size() + 1 < length) {
      folder += '/' + std::string(std::min<std::size_t>(100, length - folder.size() - 1), 'a');
    }
    ASSERT_EQ(folder.size(), length);
    fs::create_directories(folder);
    sim::fileSystemSettings.localAppData = folder;
    EXPECT_EQ(WriteLog("line"), length <= 239) << length;
    EXPECT_EQ(fs::exists(fs::path(folder) / "Holdout" / "Holdout.log"), length <= 239) << length;
    fs::remove_all(s.LocalAppData() / "long");
  }
}

SCENARIO_TEST(PositionCapture, WritesThePositionInTheFormTheSettingsFileReads) {
  Scenario s;
  StartWithDebug(s);
  const Vector3 start = settings.PlayerStartingPosition;
  CaptureAt(s, start.x, start.y, start.z);
  EXPECT_EQ(s.ReadLog(), "{2726.15820,-1067.72778,47.40460}\n");

  // The line read back as a settings position gives the same floats.
  Vector3 readBack;
  ASSERT_TRUE(ParsePosition("{2726.15820,-1067.72778,47.40460}", readBack));
  EXPECT_EQ(readBack.x, start.x);
  EXPECT_EQ(readBack.y, start.y);
  EXPECT_EQ(readBack.z, start.z);

  // Coordinates of any size are written whole, however long the line grows: every digit of
  // the float's exact value, five decimals after the point.
  CaptureAt(s, 3e38f, -3e38f, 3.4028235e38f);
  CaptureAt(s, -1e-30f, 1e30f, 0.0f);
  CaptureAt(s, -3.4028235e38f, 0.5f, -0.5f);
  EXPECT_EQ(s.ReadLog(),
            "{2726.15820,-1067.72778,47.40460}\n"
            "{300000000549775575777803994281145270272.00000,"
            "-300000000549775575777803994281145270272.00000,"
            "340282346638528859811704183484516925440.00000}\n"
            "{-0.00000,1000000015047466219876688855040.00000,0.00000}\n"
            "{-340282346638528859811704183484516925440.00000,0.50000,-0.50000}\n");
}

SCENARIO_TEST(PositionCapture, NeedsDebug) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=0\n");
  s.Start();
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  s.RunFrames(5);
  EXPECT_FALSE(fs::exists(s.Directory() / "Holdout.log"));
  EXPECT_EQ(notification->text, "");
}

}  // namespace
