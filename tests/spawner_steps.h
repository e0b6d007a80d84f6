// Steps the spawner tests share: the default keys, opening a menu page, picking rows, holding
// keys over frames, and the placement checks every scenario repeats.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "game/game_natives.h"
#include "spawner/placement.h"
#include "support/default_keys.h"
#include "support/scenario.h"

namespace spawner_test {

inline const DWORD kMenuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
inline const DWORD kRotateKey = holdout_test::DefaultKey(&Settings::RotateObject);
inline const DWORD kReverseKey = holdout_test::DefaultKey(&Settings::ReverseRotateObject);
inline const DWORD kConfirmKey = holdout_test::DefaultKey(&Settings::ConfirmObject);

// The select key of row `row` (1-based).
inline DWORD SelectKey(int row) {
  return holdout_test::DefaultSelectKey(static_cast<std::size_t>(row));
}

// Taps the spawner menu key `times` times, one frame after each.
inline void TapMenuKey(holdout_test::Scenario& s, int times = 1) {
  for (int i = 0; i < times; ++i) {
    s.host.TapKey(kMenuKey);
    s.RunFrame();
  }
}

// Runs frames while the script waits for a model inside a row's OnSelect: such a frame ends on
// a HasModelLoaded call instead of the end of a frame loop pass. (A wait that gives up also
// ends its frame on that call; one extra frame then runs.)
inline void FinishModelWaits(holdout_test::Scenario& s) {
  for (;;) {
    const std::vector<std::uint64_t> hashes = s.host.Calls().HashesInFrame(s.host.Frame());
    if (hashes.empty() || hashes.back() != sim::natives::kHasModelLoaded) {
      return;
    }
    s.RunFrame();
  }
}

// Opens menu page `page` (1..3) from the closed state and picks rows `rows` in one frame, then
// lets the picks finish.
inline void PickFromPage(holdout_test::Scenario& s, int page, std::initializer_list<int> rows) {
  TapMenuKey(s, page);
  for (const int row : rows) {
    s.host.TapKey(SelectKey(row));
  }
  s.RunFrame();
  FinishModelWaits(s);
}

// Holds the confirm key for one frame.
inline void Confirm(holdout_test::Scenario& s) {
  s.host.PressKey(kConfirmKey);
  s.RunFrame();
  s.host.ReleaseKey(kConfirmKey);
}

// The held object, or null when there is none or the world no longer has it.
inline const sim::WorldObject* HeldObject(holdout_test::Scenario& s) {
  const auto& objects = s.host.GetWorld().objects;
  const auto held = objects.find(placementState.placingObject);
  return held == objects.end() ? nullptr : &held->second;
}

// The player's controls are taken exactly while an object is being placed.
inline void ExpectControlsMatchPlacement(holdout_test::Scenario& s) {
  EXPECT_EQ(s.host.GetWorld().player.controlsEnabled, placementState.placingObject == 0)
      << "placing object " << placementState.placingObject << " in frame " << s.host.Frame();
}

inline void ExpectNear(const sim::Vec3& actual, float x, float y, float z,
                       float tolerance = 1e-3f) {
  EXPECT_NEAR(actual.x, x, tolerance);
  EXPECT_NEAR(actual.y, y, tolerance);
  EXPECT_NEAR(actual.z, z, tolerance);
}

}  // namespace spawner_test
