// The plug-in's spine in the simulated host: registration order at load and unload, the
// per-frame natives, one loop pass per game frame, and the random seed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game_natives.h"
#include "runtime/script.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;
using sim::HostEvent;
namespace natives = sim::natives;

std::vector<HostEvent> EventKinds(const sim::SimHost& host) {
  std::vector<HostEvent> kinds;
  for (const sim::HostEventRecord& record : host.Events()) {
    kinds.push_back(record.event);
  }
  return kinds;
}

SCENARIO_TEST(Lifecycle, RegistersScriptBeforeKeyboardAndUnregistersInTheSameOrder) {
  Scenario s;
  DllMain(s.host.Module(), DLL_THREAD_ATTACH, nullptr);
  EXPECT_TRUE(s.host.Events().empty()) << "thread attach does nothing";
  s.Load();
  EXPECT_EQ(EventKinds(s.host), (std::vector<HostEvent>{HostEvent::kScriptRegistered,
                                                        HostEvent::kKeyboardHandlerRegistered}));
  s.RunFrames(3);
  DllMain(s.host.Module(), DLL_THREAD_DETACH, nullptr);
  EXPECT_EQ(s.host.Events().size(), 2u) << "thread detach does nothing";
  s.host.Unload();
  EXPECT_EQ(EventKinds(s.host),
            (std::vector<HostEvent>{
                HostEvent::kScriptRegistered, HostEvent::kKeyboardHandlerRegistered,
                HostEvent::kScriptUnregistered, HostEvent::kKeyboardHandlerUnregistered}));
  EXPECT_FALSE(s.host.KeyboardHandlerRegistered());
}

SCENARIO_TEST(FrameLoop, EveryFrameStartsWithTheFourPerFrameNativesAndYieldsOnce) {
  Scenario s;
  s.Load();
  s.RunFrames(5);
  for (std::uint32_t frame = 1; frame <= 5; ++frame) {
    const std::vector<sim::RecordedCall> calls = s.host.Calls().CallsInFrame(frame);
    ASSERT_GE(calls.size(), 4u) << "frame " << frame;
    const std::uint64_t expected[4] = {natives::kPerFrameCallA, natives::kPerFrameCallB,
                                       natives::kPerFrameCallC, natives::kPerFrameCallD};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(calls[i].hash, expected[i]) << "frame " << frame << ", call " << i;
      EXPECT_EQ(calls[i].args, std::vector<std::uint64_t>{0});
    }
  }
  EXPECT_EQ(s.host.Calls().Count(natives::kPerFrameCallA), 5u) << "one loop pass per frame";
  EXPECT_FALSE(s.host.ScriptStuck());
}

SCENARIO_TEST(FrameLoop, ScriptSeedsTheRandomGeneratorWithTheTickCount) {
  Scenario s;
  s.host.SetTickCount(123456);
  s.Load();
  s.RunFrame();
  const std::uint32_t seed = 123456 + s.host.FrameDuration();
  const int drawnAfterStart = std::rand();
  std::srand(seed);
  EXPECT_EQ(drawnAfterStart, std::rand());
}

}  // namespace
