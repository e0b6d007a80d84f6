// Frames that repeat make no heap allocation: an idle frame (no run, no menu, no banner, no
// keys), in the plug-in or in the simulated host that runs it; and, in the plug-in, a run frame
// with or without the banner, a frame holding an object; and a frame of an open menu allocates
// only the copies of its captions that are too long to be held in place by value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/frame_steps.h"
#include "spawner/catalogues.h"
#include "spawner/placement.h"
#include "support/allocation_counter.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival/run.h"
#include "survival_steps.h"

namespace {

const DWORD kActivateKey = holdout_test::DefaultKey(&Settings::ActivateMod);
const DWORD kSpawnerMenuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
const DWORD kSelectOneKey = holdout_test::DefaultSelectKey(1);

// The allocations of `frames` frames, the recorders keeping nothing meanwhile.
std::uint64_t AllocationsOver(holdout_test::Scenario& s, std::uint32_t frames) {
  s.host.Calls().SetEnabled(false);
  s.host.Screen().SetKeeping(false);
  s.RunFrames(5);  // buffers that grow once reach their size
  const std::uint64_t before = holdout_test::AllocationCount();
  s.RunFrames(frames);
  const std::uint64_t allocations = holdout_test::AllocationCount() - before;
  s.host.Calls().SetEnabled(true);
  s.host.Screen().SetKeeping(true);
  return allocations;
}

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
  s.host.TapKey(kActivateKey);  // a run starts
  const std::uint64_t runStart = holdout_test::AllocationCount();
  s.RunFrames(200);
  EXPECT_GT(holdout_test::AllocationCount(), runStart) << "the counter sees the HUD's texts";
  s.host.TapKey(kActivateKey);  // and ends (debug)
  s.RunFrames(10);
  s.host.TapKey(kSpawnerMenuKey);  // explosives menu
  s.RunFrames(3);
  s.host.TapKey(kSelectOneKey);  // a small explosive, held
  s.RunFrames(10);
  s.host.TapKey(kSpawnerMenuKey);  // cancelled
  s.RunFrames(400);                // the summary banner has expired
  s.host.Screen().Clear();
  const std::uint64_t before = holdout_test::AllocationCount();
  s.RunFrames(1000);
  EXPECT_EQ(holdout_test::AllocationCount() - before, 0u);
  EXPECT_TRUE(s.host.Screen().Texts().empty()) << "the frames measured were idle";
}

SCENARIO_TEST(RepeatingFrames, RunsBannersAndPlacementsAllocateNothing) {
  holdout_test::Scenario s;
  s.WriteIni("[Main]\nDebug=1\nMaxEnemies=20\n");
  s.host.GetWorld().hitChancePercent = 0;
  s.Start();
  survival_test::StartRunAtStart(s);
  s.RunFrames(400);  // every enemy slot filled, kills on the HUD as the world's peds die
  ASSERT_TRUE(runState.runActive);
  EXPECT_EQ(AllocationsOver(s, 500), 0u) << "run frames";

  s.host.TapKey(kPositionCaptureKey);  // F2: "Position saved!" for a second, over the run
  s.RunFrame();
  EXPECT_EQ(AllocationsOver(s, 30), 0u) << "run frames with the banner";

  s.host.TapKey(kSpawnerMenuKey);
  s.RunFrames(2);
  s.host.TapKey(kSelectOneKey);
  s.RunFrames(20);  // the model loads
  ASSERT_NE(placementState.placingObject, 0);
  EXPECT_EQ(AllocationsOver(s, 500), 0u) << "frames holding an object during a run";
}

// A row's caption is asked for at every draw and comes back by value: a caption longer than a
// string holds in place is one heap copy per draw, and that is all an open menu allocates.
SCENARIO_TEST(RepeatingFrames, AnOpenMenuAllocatesOnlyItsLongCaptionsCopies) {
  holdout_test::Scenario s;
  s.Start();
  const std::size_t inPlace = std::string().capacity();
  for (const SpawnerMenu& menu : kSpawnerMenus) {
    const std::string title = menu.title;
    SCOPED_TRACE(title);
    s.host.TapKey(kSpawnerMenuKey);
    s.RunFrames(2);
    const std::vector<sim::DrawnText> texts = s.host.Screen().TextsInFrame(s.host.Frame());
    ASSERT_EQ(texts.front().text, title);
    std::uint64_t longCaptions = 0;
    for (const sim::DrawnText& text : texts) {
      longCaptions += text.text.size() > inPlace ? 1 : 0;
    }
    ASSERT_GT(longCaptions, 0u);
    EXPECT_EQ(AllocationsOver(s, 100), 100 * longCaptions);
  }
}

}  // namespace
