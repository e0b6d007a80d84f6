// What a live host and game do to the plug-in beside its frames: the script function started
// again in every state, an allocation failing inside a frame or the set-up, the process ending
// while the plug-in is loaded, and a freed enemy handle handed out again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/fault_injector.h"
#include "observers/plugin_view.h"
#include "runtime/keyboard.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;

// Brings a started scenario into one of the states the host may restart the script in.
struct RestartCase {
  const char* state;
  void (*reach)(Scenario& s);
};

const RestartCase kRestartCases[] = {
    {"idle", [](Scenario&) {}},
    {"run",
     [](Scenario& s) {
       survival_test::StartRunAtStart(s);
       s.RunFrames(30);
     }},
    {"menu", [](Scenario& s) { spawner_test::TapMenuKey(s); }},
    {"placement", [](Scenario& s) { spawner_test::PickFromPage(s, 2, {1}); }},
};

// The restart case the next fresh process plays.
const RestartCase* restartCase = nullptr;

void PlayRestartCase() {
  Scenario s;
  survival_test::StartQuiet(
      s, "[Main]\nMaxEnemies=10\n[Positions]\nPlayerStartingPosition={100.0,200.0,30.0}\n");
  restartCase->reach(s);
  s.WriteIni("[Main]\nMaxEnemies=15\n");
  // A release from before the restart, at the starting position: it must not start a run.
  s.host.GetWorld().player.position = survival_test::StartingPosition();
  s.host.TapKey(survival_test::kActivateKey);
  s.host.RestartScript();
  s.RunFrames(2);

  const PluginView& plugin = ObservePlugin();
  EXPECT_EQ(plugin.settings.MaxEnemies, 15) << "the settings are read again";
  EXPECT_FALSE(plugin.run.runActive);
  EXPECT_TRUE(std::all_of(std::begin(plugin.run.enemySlots), std::end(plugin.run.enemySlots),
                          [](EntityHandle slot) { return slot == 0; }));
  EXPECT_EQ(plugin.placement.placingObject, 0);
  EXPECT_EQ(plugin.placement.lastSpawnedObject, 0);
  EXPECT_EQ(plugin.frameLoop.menuPage, 0);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);

  // The starting position the file no longer gives is the default again: the key brings the
  // player there.
  s.host.GetWorld().player.position = sim::Vec3{0.0f, 0.0f, 0.0f};
  survival_test::PressActivate(s);
  spawner_test::ExpectNear(s.host.GetWorld().player.position, 2726.1582f, -1067.7278f, 47.4046f);

  // And it plays on as after a load: a run starts at the key.
  survival_test::StartRunAtStart(s);
  EXPECT_TRUE(plugin.run.runActive);
}

TEST(ScriptRestart, BeginsFromTheRecordsAsRightAfterLoadInEveryState) {
  for (const RestartCase& c : kRestartCases) {
    SCOPED_TRACE(c.state);
    restartCase = &c;
    holdout_test::RunInFreshProcess(&PlayRestartCase, 30);
  }
}

// Allocations of the plug-in failing over `frames` frames: in the frames that pick a row of the
// open menu (each pick abandoned where it failed), or in the set-up. Afterwards the plug-in
// plays on: the menu is still open and a row picked again begins its placement.
struct AllocationCase {
  const char* name;
  bool inSetUp;
  int frames;
};

const AllocationCase kAllocationCases[] = {
    {"a failing pick", false, 1},
    {"failing picks over several frames", false, 5},
    {"a failing set-up over several frames", true, 5},
};

const AllocationCase* allocationCase = nullptr;

void PlayAllocationCase() {
  Scenario s;
  sim::FaultInjector injector(s.host);
  if (allocationCase->inSetUp) {
    injector.Arm(sim::FaultKind::kAllocationFails, 1, true);
    s.Start();
    s.RunFrames(static_cast<std::uint32_t>(allocationCase->frames - 1));
    injector.Disarm();
    s.RunFrame();  // the set-up done at last; it forgets keys from before it
    spawner_test::TapMenuKey(s);
  } else {
    s.Start();
    spawner_test::TapMenuKey(s);
    injector.Arm(sim::FaultKind::kAllocationFails, 1, true);
    for (int i = 0; i < allocationCase->frames; ++i) {
      s.host.TapKey(spawner_test::SelectKey(1));
      s.RunFrame();
    }
    injector.Disarm();
  }
  EXPECT_GE(injector.Injected(), static_cast<std::uint64_t>(allocationCase->frames));
  EXPECT_EQ(ObservePlugin().frameLoop.menuPage, 1);
  s.host.TapKey(spawner_test::SelectKey(1));
  s.RunFrame();
  spawner_test::FinishModelWaits(s);
  EXPECT_NE(ObservePlugin().placement.placingObject, 0);
  EXPECT_FALSE(s.host.GetWorld().player.controlsEnabled);
}

TEST(AllocationFailure, AbandonsOnlyTheFramesItHitsAndNothingLeavesTheScript) {
  for (const AllocationCase& c : kAllocationCases) {
    SCOPED_TRACE(c.name);
    allocationCase = &c;
    holdout_test::RunInFreshProcess(&PlayAllocationCase, 30);
  }
}

static_assert(noexcept(OnKeyboardMessage(0, 0, 0, FALSE, FALSE, FALSE, TRUE)),
              "the keyboard handler lets no exception into the host");

// How the plug-in leaves: unloaded, it withdraws its script and handler; at the process's end
// it calls nothing of the host's.
bool processEnds = false;

void PlayDetach() {
  Scenario s;
  s.Start();
  if (processEnds) {
    s.host.ExitProcess();
  } else {
    s.host.Unload();
  }
  // What the plug-in called of the host, from its load on: the host fails the test besides for
  // any host function called once the process-exit detach began.
  std::vector<sim::HostEvent> calls;
  for (const sim::HostEventRecord& record : s.host.Events()) {
    calls.push_back(record.event);
  }
  std::vector<sim::HostEvent> expected = {sim::HostEvent::kScriptRegistered,
                                          sim::HostEvent::kKeyboardHandlerRegistered};
  if (!processEnds) {
    expected.push_back(sim::HostEvent::kScriptUnregistered);
    expected.push_back(sim::HostEvent::kKeyboardHandlerUnregistered);
  }
  EXPECT_EQ(calls, expected);
}

TEST(Detach, AnUnloadWithdrawsBothAndTheProcessEndTouchesNothingOfTheHost) {
  for (const bool ends : {false, true}) {
    SCOPED_TRACE(ends ? "process end" : "unload");
    processEnds = ends;
    holdout_test::RunInFreshProcess(&PlayDetach, 30);
  }
}

// Starts a run in a world that hands freed handle values out again, waits for the first enemy,
// and takes it out of the world; returns its handle, now free.
EntityHandle FirstEnemyGone(Scenario& s) {
  survival_test::StartQuiet(s);
  s.host.GetWorld().churn.handlesReused = true;
  survival_test::StartRunAtStart(s);
  const EntityHandle* slots = ObservePlugin().run.enemySlots;
  EXPECT_TRUE(survival_test::RunUntil(
      s, [&] { return slots[0] != 0; }, 60));
  const EntityHandle gone = slots[0];
  s.host.GetWorld().RemovePed(gone);
  return gone;
}

// An enemy leaves the world right after its slot was filled, and the game hands its handle to
// the next enemy: the handle sits in one slot only, so that enemy's death counts once and it is
// released once.
SCENARIO_TEST(ReusedHandle, AnEnemyHandleHandedOutAgainLeavesTheSlotThatLostItsEnemy) {
  Scenario s;
  const EntityHandle gone = FirstEnemyGone(s);
  sim::World& world = s.host.GetWorld();
  const EntityHandle* slots = ObservePlugin().run.enemySlots;
  ASSERT_TRUE(survival_test::RunUntil(
      s, [&] { return slots[1] != 0; }, 60));
  ASSERT_EQ(slots[1], gone) << "the game handed the freed handle out again";
  EXPECT_EQ(slots[0], 0);

  world.KillPed(gone);
  s.RunFrames(200);
  EXPECT_EQ(std::count(slots, slots + 10, gone), 0);
  EXPECT_TRUE(s.host.Faults().empty()) << s.host.Faults().front();
}

// The limit of that mend: an enemy leaves the world and the game hands its handle to a stranger.
// Nothing the plug-in can ask tells the stranger from the enemy, so the stranger's death counts
// as a kill and the plug-in releases it, which the game would have it not do.
SCENARIO_TEST(ReusedHandle, AStrangerInheritingAnEnemyHandleCountsAsThatEnemy) {
  Scenario s;
  const EntityHandle gone = FirstEnemyGone(s);
  sim::World& world = s.host.GetWorld();
  sim::Ped stranger;
  stranger.model = sim::World::NameHash(sim::World::kAmbientModel);
  ASSERT_EQ(world.AddPed(stranger), gone) << "the stranger got the freed handle";
  world.KillPed(gone);
  ASSERT_TRUE(survival_test::RunUntil(
      s, [&] { return ObservePlugin().run.killCount == 1; }, 60));
  EXPECT_EQ(s.host.Calls().CallsTo(sim::natives::kReleasePed).size(), 1u);
  ASSERT_EQ(s.host.Faults().size(), 1u);
  EXPECT_EQ(s.host.Faults().front(), "ReleasePed of ped " + std::to_string(gone) +
                                         ", which the script does not hold");
  s.host.ClearFaults();
}

}  // namespace
