// An idle frame — no run, no menu, no banner, no keys — makes no heap allocation, in the
// plug-in or in the simulated host that runs it.
#include <gtest/gtest.h>

#include "support/allocation_counter.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

SCENARIO_TEST(IdleFrame, AllocatesNothing) {
  holdout_test::Scenario s;
  s.host.Calls().SetEnabled(false);
  s.Start();
  s.RunFrames(10);
  const std::uint64_t before = holdout_test::AllocationCount();
  s.RunFrames(1000);
  EXPECT_EQ(holdout_test::AllocationCount() - before, 0u);
}

SCENARIO_TEST(IdleFrame, AllocatesNothingAfterARunAndAPlacementHaveEnded) {
  holdout_test::Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.host.Calls().SetEnabled(false);
  s.host.GetWorld().player.position = {2726.1582f, -1067.7278f, 47.4046f};
  s.Start();
  s.host.TapKey(0x72);  // a run starts
  const std::uint64_t runStart = holdout_test::AllocationCount();
  s.RunFrames(200);
  EXPECT_GT(holdout_test::AllocationCount(), runStart) << "the counter sees the HUD's texts";
  s.host.TapKey(0x72);  // and ends (debug)
  s.RunFrames(10);
  s.host.TapKey(0x43);  // explosives menu
  s.RunFrames(3);
  s.host.TapKey(0x31);  // a small explosive, held
  s.RunFrames(10);
  s.host.TapKey(0x43);  // cancelled
  s.RunFrames(400);     // the summary banner has expired
  s.host.Screen().Clear();
  const std::uint64_t before = holdout_test::AllocationCount();
  s.RunFrames(1000);
  EXPECT_EQ(holdout_test::AllocationCount() - before, 0u);
  EXPECT_TRUE(s.host.Screen().Texts().empty()) << "the frames measured were idle";
}

}  // namespace
