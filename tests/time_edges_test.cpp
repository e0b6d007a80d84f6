// The plug-in's time limits, each met exactly: frames are run at chosen tick counts so that one
// lands a millisecond before a limit and the next on it. The run tick (a deadline one
// millisecond ahead is not due, one at the tick count is), every banner's duration (shown in
// the frame before it expires, gone in the frame at its expiry) and the bound on a model's load
// (still waiting at 9999 ms, given up at 10000 ms), each also across the tick count's wrap.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/game_natives.h"
#include "runtime/frame_steps.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "support/screen_reading.h"
#include "survival_steps.h"

namespace {

using holdout_test::BannerShown;
using holdout_test::Scenario;
namespace natives = sim::natives;

// A tick count late enough that a limit measured from it crosses the wrap.
constexpr std::uint32_t BeforeWrap(std::uint32_t ms) {
  return 0u - ms;
}

// Taps `key` and runs the frame that sees it at `tick`: the key is stamped one frame earlier,
// so that the release is fresh in that frame.
void TapKeyForFrameAt(Scenario& s, DWORD key, std::uint32_t tick) {
  s.host.SetTickCount(tick - s.host.FrameDuration());
  s.host.TapKey(key);
  s.RunFrameAt(tick);
}

// ---- The run tick

// A frame at `tick` and whether a run tick is due in it.
struct TickFrame {
  std::uint32_t tick;
  bool due;
};

// A run that starts in the first frame; the frames that follow, one after the other.
struct TickSchedule {
  const char* what;
  std::vector<TickFrame> frames;
};

const TickSchedule kTickSchedules[] = {
    {"catching up to the tick count, then on the 100 ms steps",
     {{300, true},  // the deadline starts at 0, far behind
      {300, true},
      {300, true},
      {300, true},   // the deadline is the tick count itself
      {300, false},  // 100 ms ahead
      {399, false},  // 1 ms ahead
      {400, true},
      {499, false},
      {500, true}}},
    {"the deadline 0 lies 1 ms past the last tick count before the wrap",
     {{BeforeWrap(1), false}, {0, true}, {0, false}, {99, false}, {100, true}}},
    {"the deadline 0 lies 100 ms ahead",
     {{BeforeWrap(100), false}, {BeforeWrap(1), false}, {0, true}}},
    // No deadline lies more than 100 ms ahead, so this one is 2^32 - 101 ms behind.
    {"the deadline 0 lies 101 ms ahead", {{BeforeWrap(101), true}, {BeforeWrap(101), true}}},
};

// The schedule the fresh process runs; set before each is forked.
const TickSchedule* tickSchedule = nullptr;

void RunTicksOnSchedule() {
  SCOPED_TRACE(tickSchedule->what);
  Scenario s;
  survival_test::StartQuiet(s);
  s.host.GetWorld().player.position = survival_test::StartingPosition();
  // The activation key, released a frame before the first frame, which starts the run.
  s.host.SetTickCount(tickSchedule->frames[0].tick - s.host.FrameDuration());
  s.host.TapKey(survival_test::kActivateKey);
  for (const TickFrame& frame : tickSchedule->frames) {
    s.RunFrameAt(frame.tick);
    ASSERT_TRUE(runState.runActive);
    EXPECT_EQ(survival_test::TicksInFrame(s, s.host.Frame()), frame.due ? 1u : 0u)
        << "frame " << s.host.Frame() << " at tick count " << frame.tick;
  }
}

TEST(RunTickEdges, ADeadlineIsDueFromItsOwnMillisecondAndNotOneBefore) {
  for (const TickSchedule& schedule : kTickSchedules) {
    tickSchedule = &schedule;
    holdout_test::RunInFreshProcess(&RunTicksOnSchedule);
  }
}

// ---- Banners

// Brings up a banner in a frame at `tick`.
using BannerTrigger = std::function<void(Scenario&, std::uint32_t tick)>;

struct BannerCase {
  const char* text;
  std::uint32_t durationMs;
  BannerTrigger show;
};

// The explosives row whose model the game refuses.
constexpr int kRefusedRow = 1;
constexpr std::uint32_t kRefusedModel = 0x8B664AFD;

const BannerCase kBanners[] = {
    {"You survived for 0:00 and got 0 kill(s)\n(10 max enemies)", 6000,
     [](Scenario& s, std::uint32_t tick) {
       // With Debug on the activation key ends a run; its time is measured on the game clock,
       // which stands still here.
       s.host.SetFrameDuration(0);
       survival_test::StartRunAtStart(s);
       TapKeyForFrameAt(s, survival_test::kActivateKey, tick);
       s.host.SetFrameDuration(16);
     }},
    {"Object could not be spawned", 2500,
     [](Scenario& s, std::uint32_t tick) {
       spawner_test::TapMenuKey(s);
       TapKeyForFrameAt(s, spawner_test::SelectKey(kRefusedRow), tick);
     }},
    {"Position saved!", 1000,
     [](Scenario& s, std::uint32_t tick) { TapKeyForFrameAt(s, kPositionCaptureKey, tick); }},
};

SCENARIO_TEST(BannerEdges, EachBannerShowsUntilTheMillisecondItExpires) {
  Scenario s;
  survival_test::StartQuiet(s, "[Main]\nDebug=1\nMaxEnemies=10\n");
  s.host.GetWorld().ModelFor(kRefusedModel).valid = false;
  for (const BannerCase& banner : kBanners) {
    for (const std::uint32_t shownAt : {5000000u, BeforeWrap(banner.durationMs / 2)}) {
      SCOPED_TRACE(testing::Message() << banner.text << ", shown at " << shownAt);
      banner.show(s, shownAt);
      s.RunFrameAt(shownAt + banner.durationMs - 1);
      EXPECT_EQ(BannerShown(s), banner.text) << "in the frame before it expires";
      s.RunFrameAt(shownAt + banner.durationMs);
      EXPECT_EQ(BannerShown(s), "") << "in the frame at its expiry";
    }
  }
}

// ---- The model wait

// A frame in which the script went on inside a model wait: the frame's first call asks whether
// the model has loaded, where any other frame begins with the frame loop's own calls.
bool ResumedInModelWait(Scenario& s) {
  const std::vector<std::uint64_t> hashes = s.host.Calls().HashesInFrame(s.host.Frame());
  return !hashes.empty() && hashes.front() == natives::kHasModelLoaded;
}

// A spawn whose model never loads, begun in a frame at a given tick count.
struct ModelWaitCase {
  const char* what;
  std::function<void(Scenario&, std::uint32_t tick)> begin;
  std::uint64_t createNative;  // what would have created the entity
};

const ModelWaitCase kModelWaits[] = {
    {"an enemy",
     [](Scenario& s, std::uint32_t tick) {
       s.host.GetWorld().ModelNamed(kEnemyModelName).loadFrames = -1;
       s.host.GetWorld().player.position = survival_test::StartingPosition();
       TapKeyForFrameAt(s, survival_test::kActivateKey,
                        tick);  // the run starts and its first tick spawns
     },
     natives::kCreatePed},
    {"a static object",
     [](Scenario& s, std::uint32_t tick) {
       s.host.GetWorld().ModelFor(0xC9C22C59).loadFrames = -1;  // the sandbag
       spawner_test::TapMenuKey(s, 2);
       TapKeyForFrameAt(s, spawner_test::SelectKey(4), tick);
     },
     natives::kSpawnObject},
    {"a mounted weapon",
     [](Scenario& s, std::uint32_t tick) {
       s.host.GetWorld().ModelNamed("gatling_gun").loadFrames = -1;
       spawner_test::TapMenuKey(s, 3);
       TapKeyForFrameAt(s, spawner_test::SelectKey(1), tick);
     },
     natives::kSpawnVehicle},
};

// The case and the tick count at which its wait begins, for the fresh process; set before each
// is forked.
const ModelWaitCase* modelWaitCase = nullptr;
std::uint32_t waitBegan = 0;

void ModelWaitGivesUpAtTenSeconds() {
  SCOPED_TRACE(testing::Message() << modelWaitCase->what << ", wait begun at " << waitBegan);
  Scenario s;
  survival_test::StartQuiet(s);
  modelWaitCase->begin(s, waitBegan);
  ASSERT_EQ(s.host.Calls().HashesInFrame(s.host.Frame()).back(), natives::kHasModelLoaded)
      << "the wait begins in the frame of the pick or the tick";
  s.RunFrameAt(waitBegan + 9999);
  EXPECT_TRUE(ResumedInModelWait(s));
  s.RunFrameAt(waitBegan + 10000);
  EXPECT_TRUE(ResumedInModelWait(s)) << "the wait still asks at 10000 ms";
  s.RunFrame();
  EXPECT_FALSE(ResumedInModelWait(s)) << "and gives up then";
  EXPECT_EQ(s.host.Calls().Count(modelWaitCase->createNative), 0u);
}

TEST(ModelWaitEdges, EveryKindOfSpawnWaitsTenSecondsForItsModelAndNoLonger) {
  for (const ModelWaitCase& waitCase : kModelWaits) {
    for (const std::uint32_t began : {5000000u, BeforeWrap(5000)}) {
      modelWaitCase = &waitCase;
      waitBegan = began;
      holdout_test::RunInFreshProcess(&ModelWaitGivesUpAtTenSeconds);
    }
  }
}

}  // namespace
