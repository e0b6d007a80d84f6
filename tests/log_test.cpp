// The log and the debug position capture that writes to it: lines appended in order to
// whatever the file held, a log that cannot be opened dropping the line while the caller goes
// on, and the captured position written in full in the settings file's form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/frame_steps.h"
#include "runtime/screen.h"
#include "settings/log.h"
#include "settings/position.h"
#include "settings/settings.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

// Sets the player's position, captures it with F2 and runs the frame that handles the key.
void CaptureAt(Scenario& s, float x, float y, float z) {
  s.host.GetWorld().player.position = sim::Vec3{x, y, z};
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
}

SCENARIO_TEST(Log, AppendsOneLinePerCallInOrderAndKeepsWhatWasThere) {
  Scenario s;
  const std::filesystem::path log = s.Directory() / "Holdout.log";
  WriteLog("You survived for 1:05 and got 3 kill(s) (70 max enemies)");
  EXPECT_EQ(s.ReadLog(), "You survived for 1:05 and got 3 kill(s) (70 max enemies)\n");
  WriteLog("{1.00000,2.00000,3.00000}");
  EXPECT_EQ(s.ReadLog(),
            "You survived for 1:05 and got 3 kill(s) (70 max enemies)\n"
            "{1.00000,2.00000,3.00000}\n");

  std::ofstream(log, std::ios::binary) << "from an earlier game\n";
  WriteLog("first");
  WriteLog("");
  WriteLog("second");
  EXPECT_EQ(s.ReadLog(), "from an earlier game\nfirst\n\nsecond\n");
}

SCENARIO_TEST(Log, ALogThatCannotBeOpenedDropsTheLineAndTheCaptureGoesOn) {
  Scenario s;
  std::filesystem::create_directory(s.Directory() / "Holdout.log");
  WriteLog("dropped");
  EXPECT_TRUE(std::filesystem::is_directory(s.Directory() / "Holdout.log"));

  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  CaptureAt(s, 1.0f, 2.0f, 3.0f);
  s.RunFrame();
  EXPECT_EQ(notification->text, "Position saved!");
  bool bannerDrawn = false;
  for (const sim::DrawnText& text : s.host.Screen().TextsInFrame(s.host.Frame())) {
    bannerDrawn = bannerDrawn || text.text == "Position saved!";
  }
  EXPECT_TRUE(bannerDrawn);

  // The next capture tries again from the start and succeeds once the way is clear.
  std::filesystem::remove(s.Directory() / "Holdout.log");
  CaptureAt(s, 4.0f, 5.0f, 6.0f);
  EXPECT_EQ(s.ReadLog(), "{4.00000,5.00000,6.00000}\n");
}

SCENARIO_TEST(PositionCapture, WritesThePositionInTheFormTheSettingsFileReads) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
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
  EXPECT_FALSE(std::filesystem::exists(s.Directory() / "Holdout.log"));
  EXPECT_EQ(notification->text, "");
}

}  // namespace
