// Screen text and the banner in the simulated host: the banner's timing and replacement (also
// across the tick count's wrap), and the complete style issued right before every text, as the
// host's screen recorder saw it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/frame_steps.h"
#include "runtime/screen.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "support/screen_reading.h"

namespace {

using holdout_test::BannerShown;
using holdout_test::Scenario;

// Runs frames until the tick count is `untilMs` past `shownAt`, checking in each frame that
// `text` shows exactly while the banner is less than `durationMs` old.
void ExpectBannerFor(Scenario& s, const std::string& text, std::uint32_t shownAt,
                     std::uint32_t durationMs, std::uint32_t untilMs) {
  int framesShown = 0;
  while (s.host.TickCount() - shownAt < untilMs) {
    s.RunFrame();
    const bool due = s.host.TickCount() - shownAt < durationMs;
    EXPECT_EQ(BannerShown(s), due ? text : "")
        << "frame " << s.host.Frame() << ", " << s.host.TickCount() - shownAt << " ms after";
    framesShown += due ? 1 : 0;
  }
  const std::uint32_t visibleMs = std::min(durationMs, untilMs);
  EXPECT_GE(framesShown * s.host.FrameDuration(), visibleMs - s.host.FrameDuration())
      << "\"" << text << "\" showed in too few frames";
}

SCENARIO_TEST(Banner, NothingInTheMiddleRightAfterStartUp) {
  Scenario s;
  s.Start();
  ASSERT_NE(notification, nullptr);
  EXPECT_EQ(notification->text, "");
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(BannerShown(s), "") << "frame " << s.host.Frame();
    s.RunFrame();
  }
}

SCENARIO_TEST(Banner, PositionSavedShowsForOneSecondAndKeepsItsText) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  const std::uint32_t shownAt = s.host.TickCount();
  EXPECT_EQ(BannerShown(s), "") << "the banner is drawn before the capture step";
  ExpectBannerFor(s, "Position saved!", shownAt, 1000, 1500);
  EXPECT_EQ(notification->text, "Position saved!");
}

SCENARIO_TEST(Banner, ALaterBannerReplacesTextAndExpiry) {
  Scenario s;
  s.Start();
  ShowNotification(*notification, "You survived", 6000);
  const std::uint32_t firstAt = s.host.TickCount();
  ExpectBannerFor(s, "You survived", firstAt, 6000, 1000);

  // Shorter than what is left of the first: the banner stops 1000 ms after this call.
  ShowNotification(*notification, "Position saved!", 1000);
  ExpectBannerFor(s, "Position saved!", s.host.TickCount(), 1000, 6000);

  // Longer than the first: the new expiry counts as well.
  ShowNotification(*notification, "A", 100);
  ShowNotification(*notification, "B", 2500);
  ExpectBannerFor(s, "B", s.host.TickCount(), 2500, 3000);

  // The record's own text, shown again.
  ShowNotification(*notification, notification->text, 500);
  ExpectBannerFor(s, "B", s.host.TickCount(), 500, 1000);
}

SCENARIO_TEST(Banner, ShowsForItsWholeDurationAcrossTheTickCountWrap) {
  Scenario s;
  s.Start();
  for (const std::uint32_t before : {500u, 16u, 1u}) {
    s.host.SetTickCount(0xFFFFFFFFu - before);
    ShowNotification(*notification, "Wrapped", 1000);
    ExpectBannerFor(s, "Wrapped", s.host.TickCount(), 1000, 2000);
  }
  // A banner shown at tick 0 itself.
  s.host.SetTickCount(0);
  ShowNotification(*notification, "At zero", 1000);
  ExpectBannerFor(s, "At zero", 0, 1000, 2000);
}

void ExpectStyle(const sim::DrawnText& text, float size, std::array<int, 4> color, int centered) {
  EXPECT_TRUE(text.style.Complete()) << "\"" << text.text << "\" in frame " << text.frame;
  EXPECT_FLOAT_EQ(text.style.sizeY, size) << text.text;
  EXPECT_EQ(text.style.color, color) << text.text;
  EXPECT_EQ(text.style.centered, centered) << text.text;
  EXPECT_EQ(text.style.effect, (std::array<int, 5>{0, 0, 0, 0, 0})) << text.text;
}

SCENARIO_TEST(ScreenText, EveryTextCarriesItsFullStyleIssuedRightBeforeIt) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  s.host.TapKey(holdout_test::DefaultKey(&Settings::SpawnerMenu));  // opens the first menu
  s.RunFrame();
  s.host.TapKey(kPositionCaptureKey);  // shows the banner
  s.RunFrames(3);
  s.host.Screen().Clear();

  // The HUD and the banner in one frame, in the frame loop's order, over an open menu.
  const std::string hud = "Kills: 3\nTime survived: 0:42";
  DrawHudText(hud.c_str());
  DrawNotification();
  s.RunFrames(2);

  const std::vector<sim::DrawnText>& texts = s.host.Screen().Texts();
  ASSERT_GE(texts.size(), 4u);
  bool sawHud = false;
  int banners = 0;
  for (const sim::DrawnText& text : texts) {
    EXPECT_TRUE(text.style.Complete()) << "\"" << text.text << "\" in frame " << text.frame;
    if (text.text == hud) {
      sawHud = true;
      ExpectStyle(text, 0.3f, {255, 255, 255, 255}, 0);
      EXPECT_FLOAT_EQ(text.style.sizeX, 0.3f);
      EXPECT_EQ(text.x, 0.0f);
      EXPECT_EQ(text.y, 0.0f);
    } else if (text.text == "Position saved!") {
      ++banners;
      ExpectStyle(text, 0.55f, {255, 255, 255, 255}, 1);
      EXPECT_FLOAT_EQ(text.style.sizeX, 0.55f);
      EXPECT_EQ(text.x, 0.5f);
      EXPECT_EQ(text.y, 0.5f);
    }
  }
  EXPECT_TRUE(sawHud) << "a text with a line break is one text";
  EXPECT_EQ(banners, 3);
}

}  // namespace
