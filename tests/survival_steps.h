// Steps the survival tests share: the activation key, standing at the starting position,
// starting a run quietly or not, and finding the run's enemies in the simulated world.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_natives.h"
#include "settings/settings.h"
#include "support/default_keys.h"
#include "support/scenario.h"
#include "support/screen_reading.h"
#include "survival/enemies.h"
#include "survival/run.h"

namespace survival_test {

using holdout_test::BannerTexts;
using holdout_test::CornerTexts;

inline const DWORD kActivateKey = holdout_test::DefaultKey(&Settings::ActivateMod);

// The enemy model's hash as the simulated game computes it.
inline std::uint32_t EnemyModel() {
  return sim::World::NameHash(kEnemyModelName);
}

// The configured starting position in the world's terms.
inline sim::Vec3 StartingPosition() {
  const Vector3& start = settings.PlayerStartingPosition;
  return sim::Vec3{start.x, start.y, start.z};
}

// Releases the activation key and runs the frame that sees it.
inline void PressActivate(holdout_test::Scenario& s) {
  s.host.TapKey(kActivateKey);
  s.RunFrame();
}

// Puts the player on the starting position and presses the activation key: the run starts in
// that frame (and the sweep, if any, holds the script for one frame per deleted ped).
inline void StartRunAtStart(holdout_test::Scenario& s) {
  s.host.GetWorld().player.position = StartingPosition();
  PressActivate(s);
}

// Runs frames until `done` holds or `limit` frames have passed; true when it held.
inline bool RunUntil(holdout_test::Scenario& s, const std::function<bool()>& done,
                     std::uint32_t limit) {
  for (std::uint32_t i = 0; i < limit; ++i) {
    if (done()) {
      return true;
    }
    s.RunFrame();
  }
  return done();
}

// A run-ready scenario (MaxEnemies 10 unless `ini` says otherwise) whose enemies load at once
// and never wound the player.
inline void StartQuiet(holdout_test::Scenario& s,
                       std::string_view ini = "[Main]\nMaxEnemies=10\n") {
  s.WriteIni(ini);
  s.Start();
  s.host.GetWorld().ModelNamed(kEnemyModelName).loadFrames = 0;
  s.host.GetWorld().hitDamage = 0;
}

// The run tick calls made in `frame` (one per tick).
inline std::size_t TicksInFrame(holdout_test::Scenario& s, std::uint32_t frame) {
  std::size_t ticks = 0;
  for (const std::uint64_t hash : s.host.Calls().HashesInFrame(frame)) {
    ticks += hash == sim::natives::kRunTickCallA ? 1 : 0;
  }
  return ticks;
}

// The handles of the enemy model's peds in the world that are alive.
inline std::vector<std::int32_t> LivingEnemies(sim::World& world) {
  std::vector<std::int32_t> living;
  for (const auto& [handle, ped] : world.peds) {
    if (ped.model == EnemyModel() && !ped.dead) {
      living.push_back(handle);
    }
  }
  return living;
}

}  // namespace survival_test
