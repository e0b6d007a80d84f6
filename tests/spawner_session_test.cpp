// Long random sessions of the spawner: random key taps and holds, view and player headings and
// the odd survival run, frame after frame, with the game failing the Nth object creation, the
// Nth model test or the Nth model load along the way. After every frame the player's controls
// are taken exactly while an object is held, the held and the last confirmed object exist, and
// every other object the spawner made has been set down (pinned): nothing leaks.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>

#include "game/game_natives.h"
#include "spawner/placement.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;
using namespace spawner_test;
namespace natives = sim::natives;

const DWORD kActivateKey = holdout_test::DefaultKey(&Settings::ActivateMod);

enum class Failure { kNone, kCreation, kModelTest, kModelLoad };

// What the next session does; set in the runner before each fresh process is forked.
struct SessionPlan {
  std::uint32_t seed = 1;
  std::uint32_t frames = 3000;
  Failure failure = Failure::kNone;
  std::uint32_t failAt = 0;  // the Nth call that fails, counting from 1
};
SessionPlan plan;

// Counts, in the session's process, of the calls the failure is keyed on.
std::uint32_t creations = 0;
std::uint32_t modelTests = 0;
std::uint32_t modelRequests = 0;
std::uint32_t stuckModel = 0;  // the model whose load never ends; 0 = none

// Puts `fails` in front of the native `hash`: when it answers true the game does nothing and
// answers 0.
void Wrap(sim::NativeTable& table, std::uint64_t hash,
          std::function<bool(const sim::NativeCall&)> fails) {
  const sim::NativeHandler original = table.Find(hash)->handler;
  table.Override(hash, [original, fails](const sim::NativeCall& call) {
    if (!fails(call)) {
      original(call);
    }
  });
}

// Makes the game fail the plan's Nth call of its kind.
void InjectFailure(sim::NativeTable& table) {
  const auto failsNth = [](Failure kind, std::uint32_t& count) {
    return ++count == plan.failAt && plan.failure == kind;
  };
  for (const std::uint64_t hash : {natives::kSpawnObject, natives::kSpawnVehicle}) {
    Wrap(table, hash,
         [failsNth](const sim::NativeCall&) { return failsNth(Failure::kCreation, creations); });
  }
  Wrap(table, natives::kIsModelAvailable,
       [failsNth](const sim::NativeCall&) { return failsNth(Failure::kModelTest, modelTests); });
  Wrap(table, natives::kRequestModel, [failsNth](const sim::NativeCall& call) {
    stuckModel = failsNth(Failure::kModelLoad, modelRequests) ? call.Uint(0) : 0;
    return false;
  });
  Wrap(table, natives::kHasModelLoaded,
       [](const sim::NativeCall& call) { return call.Uint(0) == stuckModel; });
}

// Presses or releases `key`, keeping track of which it is.
void Toggle(Scenario& s, DWORD key, bool& down) {
  down = !down;
  if (down) {
    s.host.PressKey(key);
  } else {
    s.host.ReleaseKey(key);
  }
}

void ExpectSpawnerConsistent(Scenario& s) {
  ExpectControlsMatchPlacement(s);
  const auto& objects = s.host.GetWorld().objects;
  const EntityHandle held = placementState.placingObject;
  const EntityHandle last = placementState.lastSpawnedObject;
  EXPECT_TRUE(held == 0 || objects.count(held) == 1) << "frame " << s.host.Frame();
  EXPECT_TRUE(last == 0 || objects.count(last) == 1) << "frame " << s.host.Frame();
  for (const auto& [handle, object] : objects) {
    EXPECT_TRUE(object.pinned || handle == held)
        << "object " << handle << " was made, never set down and is not held; frame "
        << s.host.Frame();
  }
}

void RandomSession() {
  Scenario s;
  InjectFailure(s.host.Natives());
  std::mt19937 random(plan.seed);
  std::uniform_int_distribution<int> roll(0, 999);
  std::uniform_int_distribution<int> row(1, 9);
  std::uniform_real_distribution<float> angle(-360.0f, 360.0f);
  bool rotateDown = false;
  bool reverseDown = false;
  bool confirmDown = false;
  s.Start();
  const auto frameChecked = [&s] {
    s.RunFrame();
    ExpectSpawnerConsistent(s);
    return !::testing::Test::HasFailure();
  };
  while (s.host.Frame() < plan.frames) {
    const int r = roll(random);
    if (r < 40) {
      // Menu key taps come in runs of one to three, so that every page gets picked from.
      for (int page = r % 3; page > 0; --page) {
        s.host.TapKey(kMenuKey);
        if (!frameChecked()) {
          return;
        }
      }
      s.host.TapKey(kMenuKey);
    } else if (r < 140) {
      s.host.TapKey(SelectKey(row(random)));
    } else if (r < 170) {
      Toggle(s, kRotateKey, rotateDown);
    } else if (r < 190) {
      Toggle(s, kReverseKey, reverseDown);
    } else if (r < 215) {
      Toggle(s, kConfirmKey, confirmDown);
    } else if (r < 235) {
      s.host.GetWorld().viewHeading = angle(random);
    } else if (r < 245) {
      s.host.GetWorld().player.heading = angle(random);
    } else if (r < 248) {
      s.host.TapKey(kActivateKey);
    }
    if (!frameChecked()) {
      return;
    }
  }
  EXPECT_FALSE(s.host.ScriptStuck());
  EXPECT_GT(s.host.Calls().Count(natives::kSetPlayerEnabled), 10u) << "the session placed little";
  const std::uint32_t reached = plan.failure == Failure::kCreation    ? creations
                                : plan.failure == Failure::kModelTest ? modelTests
                                                                      : modelRequests;
  EXPECT_GE(reached, plan.failAt) << "the session never reached the failing call";
}

TEST(SpawnerSessions, ControlsAreTakenExactlyWhileAnObjectIsHeldInRandomSessions) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    plan = SessionPlan{seed, 4000, Failure::kNone, 0};
    holdout_test::RunInFreshProcess(&RandomSession);
  }
}

TEST(SpawnerSessions, ControlsAreGivenBackWhenTheGameFailsTheNthCreationOrModel) {
  for (const Failure failure : {Failure::kCreation, Failure::kModelTest, Failure::kModelLoad}) {
    for (std::uint32_t n = 1; n <= 6; ++n) {
      SCOPED_TRACE(::testing::Message()
                   << "failure kind " << static_cast<int>(failure) << ", call " << n);
      plan = SessionPlan{100 + n, 2000, failure, n};
      holdout_test::RunInFreshProcess(&RandomSession);
    }
  }
}

}  // namespace
