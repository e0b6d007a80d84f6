// Key messages from a second thread while the frame loop runs, as the host may deliver them:
// every release is reported at most once, and a release that nothing overwrites is reported
// exactly once, whenever in the frame it arrives. Two observable effects count the reports:
// each reported release of the spawner menu key steps the menu page, and each reported F2
// release (Debug on) appends one line to the log. Under ThreadSanitizer the test also shows
// that the table's words are the only state the two threads share.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "runtime/frame_steps.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "support/screen_reading.h"

namespace {

using holdout_test::Scenario;

const DWORD kMenuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);

// Runs frames and counts the frames in which the menu page changed.
class FrameRunner {
 public:
  explicit FrameRunner(Scenario& s) : s_(s) {
    s_.host.Calls().SetEnabled(false);
    s_.host.Screen().Clear();
  }

  void RunFrame() {
    s_.RunFrame();
    const int page = holdout_test::MenuPageShown(s_);
    pageSteps_ += page != page_ ? 1 : 0;
    page_ = page;
    s_.host.Screen().Clear();
    frames_.fetch_add(1);
  }

  std::uint32_t Frames() const { return frames_.load(); }
  int PageSteps() const { return pageSteps_; }

 private:
  Scenario& s_;
  int page_ = 0;
  int pageSteps_ = 0;
  std::atomic<std::uint32_t> frames_{0};
};

int LogLines(const Scenario& s) {
  const std::string log = s.ReadLog();
  return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
}

// Spins for a varying short while, so that messages land at varying points of a frame.
void Dither(std::uint32_t seed) {
  volatile std::uint32_t sink = 0;
  for (std::uint32_t i = 0; i < (seed * 2654435761u) % 2000; ++i) {
    sink = sink + i;
  }
}

SCENARIO_TEST(KeyRace, EachTapFromAnotherThreadIsReportedExactlyOnce) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  FrameRunner runner(s);

  // Each tap waits until the frames have surely consumed the previous one, then lands anywhere
  // in a frame, also while the frame is asking about the same key.
  constexpr int kTaps = 300;
  std::atomic<bool> done{false};
  std::thread keyboard([&] {
    for (int tap = 0; tap < kTaps; ++tap) {
      const std::uint32_t after = runner.Frames() + 3;
      while (runner.Frames() < after) {
        std::this_thread::yield();
      }
      Dither(static_cast<std::uint32_t>(tap));
      s.host.TapKey(kMenuKey);
      s.host.TapKey(kPositionCaptureKey);
    }
    done.store(true);
  });
  while (!done.load()) {
    runner.RunFrame();
  }
  keyboard.join();
  for (int i = 0; i < 3; ++i) {
    runner.RunFrame();
  }

  EXPECT_EQ(runner.PageSteps(), kTaps);
  EXPECT_EQ(LogLines(s), kTaps);
}

SCENARIO_TEST(KeyRace, ABurstOfTapsIsNeverReportedMoreOftenThanItWasSent) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  FrameRunner runner(s);

  std::atomic<bool> stop{false};
  std::atomic<int> tapsSent{0};
  std::thread keyboard([&] {
    while (!stop.load()) {
      s.host.TapKey(kMenuKey);
      s.host.TapKey(kPositionCaptureKey);
      const int sent = tapsSent.fetch_add(1) + 1;
      if (sent % 8 == 0) {
        Dither(static_cast<std::uint32_t>(sent));
      }
    }
  });
  while (runner.Frames() < 3000 || tapsSent.load() < 1000) {
    runner.RunFrame();
  }
  stop.store(true);
  keyboard.join();
  for (int i = 0; i < 3; ++i) {
    runner.RunFrame();
  }

  const int taps = tapsSent.load();
  EXPECT_GT(runner.PageSteps(), 0);
  EXPECT_LE(runner.PageSteps(), taps);
  EXPECT_LE(runner.PageSteps(), static_cast<int>(runner.Frames()));
  EXPECT_GT(LogLines(s), 0);
  EXPECT_LE(LogLines(s), taps);
}

}  // namespace
