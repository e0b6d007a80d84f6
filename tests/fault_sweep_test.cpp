// Swept fault injection: for every kind of fault of the fault table and each of a survival and a
// spawner session that its row says reach it, the Nth event of that kind goes wrong (once, then
// from the Nth on), for N = 1, 2, 3 ... until a session no longer reaches the fault: every
// allocation of the plug-in's among them. The faults of a live world and host play in a
// churning world with strangers and peds of the player's group about; those of the Win32
// functions in a game folder whose settings file is past the profile functions' limit, so that
// the settings are read through a copy in the temp folder and every file function is called.
// Every session runs in a fresh process, and after every frame the session invariants must
// hold, among them what the player is left with; a session ends once the summary of its last
// run has shown, or could show no more.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/fault_injector.h"
#include "developer/soak/session_invariants.h"
#include "runtime/frame_steps.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival_steps.h"

namespace {

const DWORD kSpawnerMenuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
const DWORD kRotateKey = holdout_test::DefaultKey(&Settings::RotateObject);
const DWORD kConfirmKey = holdout_test::DefaultKey(&Settings::ConfirmObject);

// The default key that picks row `row` of an open menu.
DWORD Row(std::size_t row) {
  return holdout_test::DefaultSelectKey(row);
}

// Frames enough for a run's summary to show and expire (6 s at 16 ms a frame).
constexpr std::uint32_t kSummaryFrames = 400;

// Runs a session's frames, checking the invariants after each; stops at the first breach.
class Session {
 public:
  Session(holdout_test::Scenario& s, const std::string& name)
      : s_(s), name_(name), invariants_(s.host, s.Log(), s.FallbackLog(), s.OtherWorkingFolderLog()) {}

  bool Frames(std::uint32_t count) {
    for (std::uint32_t i = 0; i < count && healthy_; ++i) {
      s_.RunFrame();
      for (const std::string& breach : invariants_.Check()) {
        ADD_FAILURE() << name_ << ": " << breach;
        healthy_ = false;
      }
      s_.host.Screen().Clear();
    }
    return healthy_;
  }
  bool Tap(DWORD key, std::uint32_t frames) {
    s_.host.TapKey(key);
    return Frames(frames);
  }
  bool Hold(DWORD key, std::uint32_t frames) {
    s_.host.PressKey(key);
    const bool ok = Frames(frames);
    s_.host.ReleaseKey(key);
    return ok && Frames(1);
  }
  // Plays on while a run's summary has still to show, until it shows or can show no more.
  void Settle() {
    for (std::uint32_t i = 0; i < kSummaryFrames && invariants_.SummaryOwed(); ++i) {
      Frames(1);
    }
  }
  sim::World& World() { return s_.host.GetWorld(); }
  holdout_test::Scenario& Scenario() { return s_; }

 private:
  holdout_test::Scenario& s_;
  std::string name_;
  SessionInvariants invariants_;
  bool healthy_ = true;
};

void RevivePlayer(sim::World& world) {
  world.player.dead = false;
  world.player.health = 200;
}

// Two runs, each after F2 captured the player's position: enemies come and some are shot, the
// player dies, gets up and dies again.
void SurvivalSession(Session& session) {
  for (int run = 0; run < 2; ++run) {
    session.World().player.position = survival_test::StartingPosition();
    if (!session.Tap(kPositionCaptureKey, 1) || !session.Tap(survival_test::kActivateKey, 1)) {
      return;
    }
    for (int volley = 0; volley < 3; ++volley) {
      const std::vector<std::int32_t> living = survival_test::LivingEnemies(session.World());
      if (!living.empty()) {
        session.World().KillPed(living.front());
      }
      if (!session.Frames(15)) {
        return;
      }
    }
    session.World().KillPlayer();
    if (!session.Frames(25)) {
      return;
    }
    RevivePlayer(session.World());
  }
}

// F2's capture, then during a run: an explosive held, turned and set down; a mounted weapon set down; the last
// object deleted; a sandbag picked up and put back; a crate held when the player dies.
void SpawnerSession(Session& session) {
  session.World().player.position = survival_test::StartingPosition();
  const bool played =
      session.Tap(kPositionCaptureKey, 1) && session.Tap(survival_test::kActivateKey, 5) &&
      session.Tap(kSpawnerMenuKey, 2) &&
      session.Tap(Row(1), 20) && session.Hold(kRotateKey, 10) && session.Hold(kConfirmKey, 2) &&
      session.Tap(kSpawnerMenuKey, 1) && session.Tap(kSpawnerMenuKey, 1) &&
      session.Tap(kSpawnerMenuKey, 2) && session.Tap(Row(1), 20) && session.Hold(kConfirmKey, 2) &&
      session.Tap(kSpawnerMenuKey, 2) && session.Tap(Row(7), 5) &&
      session.Tap(kSpawnerMenuKey, 1) && session.Tap(kSpawnerMenuKey, 2) &&
      session.Tap(Row(4), 20) && session.Tap(kSpawnerMenuKey, 5) &&
      session.Tap(kSpawnerMenuKey, 1) && session.Tap(kSpawnerMenuKey, 2) && session.Tap(Row(1), 20);
  if (played) {
    session.World().KillPlayer();
    session.Frames(30);
  }
}

enum class SessionKind { kSurvival, kSpawner };

// The case the next fresh process plays; set before each fork.
struct SweepCase {
  SessionKind session;
  sim::FaultKind fault;
  std::uint64_t n;
  bool persistent;
};
SweepCase sweepCase;

// Whether the fault was reached, written by the child into memory shared with the parent.
bool* faultReached = static_cast<bool*>(
    mmap(nullptr, sizeof(bool), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

// The session's settings: few enemies, so that runs fill up, and debug on, so that F2 captures
// the player's position into the log.
constexpr const char* kSweepSettings = "[Main]\nDebug=1\nMaxEnemies=10\n";

// A world that lives: strangers walk in and off, corpses are cleared, handles come back, and
// four strangers and two of the player's group stand about when the session begins.
void MakeWorldLive(sim::World& world) {
  world.churn = {.ambientSpawnPerMille = 20,
                 .ambientDespawnPerMille = 10,
                 .unheldCorpsesCleared = true,
                 .handlesReused = true};
  for (int i = 0; i < 6; ++i) {
    sim::Ped ped;
    ped.model = sim::World::NameHash(sim::World::kAmbientModel);
    ped.position = {2710.0f + static_cast<float>(i), -1190.0f, 48.0f};
    ped.group = i < 2 ? world.player.group : 0;
    world.AddPed(ped);
  }
}

// The game in a folder whose Holdout.ini has a path of more than 300 characters, read through a
// copy in a temp folder of the scenario's own.
void MoveGameDeep(holdout_test::Scenario& s) {
  const std::filesystem::path folder =
      s.Directory() / std::string(150, 'x') / std::string(150, 'y');
  const std::filesystem::path temp = s.Directory() / "Temp";
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(temp);
  std::ofstream(folder / "Holdout.ini", std::ios::binary) << kSweepSettings;
  s.host.SetExecutablePath((folder / "Game.exe").string());
  s.host.SetTempFolder(temp.string());
}

void PlaySweepCase() {
  holdout_test::Scenario s;
  s.WriteIni(kSweepSettings);
  const sim::FaultRow& row = sim::RowOf(sweepCase.fault);
  if (row.scene == sim::FaultScene::kLive) {
    MakeWorldLive(s.host.GetWorld());
  }
  if (row.site == sim::FaultSite::kWin32) {
    MoveGameDeep(s);
  }
  sim::FaultInjector injector(s.host);
  injector.SetStateProbe(&PluginPhase);
  injector.Arm(sweepCase.fault, sweepCase.n, sweepCase.persistent);
  s.Start();
  Session session(s, std::string(sim::FaultKindName(sweepCase.fault)) + " at event " +
                         std::to_string(sweepCase.n) +
                         (sweepCase.persistent ? " and after" : " once"));
  if (sweepCase.session == SessionKind::kSurvival) {
    SurvivalSession(session);
  } else {
    SpawnerSession(session);
  }
  session.Settle();
  *faultReached = injector.Reached();
}

class FaultSweep : public ::testing::TestWithParam<std::tuple<SessionKind, sim::FaultKind>> {};

TEST_P(FaultSweep, EverySessionEndsWithItsInvariantsHeld) {
#if HOLDOUT_THREAD_SANITIZER
  // The sessions run on one thread, so ThreadSanitizer has nothing to find in them, and its
  // forks are slow: the plain and the AddressSanitizer builds sweep.
  GTEST_SKIP() << "single-threaded sweeps run in the plain and AddressSanitizer builds";
#endif
  ASSERT_NE(faultReached, MAP_FAILED);
  const auto [session, fault] = GetParam();
  for (const bool persistent : {false, true}) {
    std::uint64_t n = 1;
    for (;; ++n) {
      sweepCase = SweepCase{session, fault, n, persistent};
      *faultReached = false;
      holdout_test::RunInFreshProcess(&PlaySweepCase);
      if (!*faultReached || HasFailure()) {
        break;
      }
    }
    EXPECT_GT(n, 1u) << "the session never reached the fault";
  }
}

std::string CaseName(
    const ::testing::TestParamInfo<std::tuple<SessionKind, sim::FaultKind>>& info) {
  std::string name;
  for (const char c : sim::FaultKindName(std::get<1>(info.param))) {
    name += c == '-' ? '_' : c;
  }
  return name;
}

// The kinds of the table that reach `session`, of a live world or of any other.
std::vector<sim::FaultKind> SweptKinds(unsigned session, bool live) {
  std::vector<sim::FaultKind> kinds;
  for (const sim::FaultRow& row : sim::kFaultRows) {
    if ((row.sessions & session) != 0 && (row.scene == sim::FaultScene::kLive) == live) {
      kinds.push_back(row.kind);
    }
  }
  return kinds;
}

INSTANTIATE_TEST_SUITE_P(
    Survival, FaultSweep,
    ::testing::Combine(::testing::Values(SessionKind::kSurvival),
                       ::testing::ValuesIn(SweptKinds(sim::kSurvivalSession, false))),
    CaseName);
INSTANTIATE_TEST_SUITE_P(
    Spawner, FaultSweep,
    ::testing::Combine(::testing::Values(SessionKind::kSpawner),
                       ::testing::ValuesIn(SweptKinds(sim::kSpawnerSession, false))),
    CaseName);
INSTANTIATE_TEST_SUITE_P(
    LiveSurvival, FaultSweep,
    ::testing::Combine(::testing::Values(SessionKind::kSurvival),
                       ::testing::ValuesIn(SweptKinds(sim::kSurvivalSession, true))),
    CaseName);
INSTANTIATE_TEST_SUITE_P(
    LiveSpawner, FaultSweep,
    ::testing::Combine(::testing::Values(SessionKind::kSpawner),
                       ::testing::ValuesIn(SweptKinds(sim::kSpawnerSession, true))),
    CaseName);

}  // namespace
