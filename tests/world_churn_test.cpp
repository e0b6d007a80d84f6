// The simulated world's own comings and goings: calm unless its churn knobs are turned, and
// then ambient peds walk in and off, dead peds nobody holds are cleared away and freed handle
// values come back, while the peds a script or the player's group keep stay where they are.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "core/sim_host.h"

namespace {

constexpr std::uint32_t kFrames = 3000;

struct Kept {
  std::int32_t held;   // a living ped the script holds
  std::int32_t group;  // a living ped of the player's group
};

Kept AddKeptPeds(sim::World& world) {
  sim::Ped held;
  held.heldByScript = true;
  sim::Ped companion;
  companion.group = world.player.group;
  return {world.AddPed(held), world.AddPed(companion)};
}

struct ChurnCase {
  const char* name;
  sim::Churn churn;
  bool pedsCome;  // some ambient ped walked in during the frames
  bool pedsGo;    // some ambient ped walked off again
};

const ChurnCase kChurnCases[] = {
    {"calm", {}, false, false},
    {"walking in", {.ambientSpawnPerMille = 50}, true, false},
    {"walking in and off",
     {.ambientSpawnPerMille = 50, .ambientDespawnPerMille = 50, .handlesReused = true},
     true,
     true},
};

TEST(WorldChurn, AmbientPedsComeAndGoAsTheKnobsSayAndKeptPedsStay) {
  for (const ChurnCase& c : kChurnCases) {
    sim::SimHost host;
    sim::World& world = host.GetWorld();
    world.churn = c.churn;
    const Kept kept = AddKeptPeds(world);
    std::set<std::int32_t> seen;
    std::size_t mostAbout = 0;
    bool gone = false;
    for (std::uint32_t frame = 0; frame < kFrames; ++frame) {
      host.RunFrame();
      std::size_t about = 0;
      for (const auto& [handle, ped] : world.peds) {
        about += sim::World::IsAmbient(ped) ? 1 : 0;
        seen.insert(handle);
      }
      gone = gone || about < mostAbout;
      mostAbout = std::max(mostAbout, about);
    }
    EXPECT_EQ(seen.size() > 2, c.pedsCome) << c.name;
    EXPECT_EQ(gone, c.pedsGo) << c.name;
    EXPECT_LE(mostAbout, c.churn.ambientLimit) << c.name;
    EXPECT_NE(world.FindPed(kept.held), nullptr) << c.name;
    EXPECT_NE(world.FindPed(kept.group), nullptr) << c.name;
    EXPECT_TRUE(host.Faults().empty()) << c.name;
  }
}

TEST(WorldChurn, DeadPedsNobodyHoldsAreClearedOnlyWhenTheKnobSaysSo) {
  for (const bool cleared : {false, true}) {
    sim::SimHost host;
    sim::World& world = host.GetWorld();
    world.churn.unheldCorpsesCleared = cleared;
    const Kept kept = AddKeptPeds(world);
    const std::int32_t bystander = world.AddPed(sim::Ped{});
    world.KillPed(bystander);
    world.KillPed(kept.held);
    host.RunFrames(world.corpseLifetimeFrames);
    EXPECT_EQ(world.FindPed(bystander) == nullptr, cleared);
    EXPECT_NE(world.FindPed(kept.held), nullptr) << "a script's dead ped stays until released";
  }
}

TEST(WorldChurn, FreedHandleValuesComeBackOnlyWhenReusedAndOnlyForTheirKind) {
  for (const bool reused : {false, true}) {
    sim::World world;
    world.churn.handlesReused = reused;
    const std::int32_t ped = world.AddPed(sim::Ped{});
    const std::int32_t object = world.AddObject(sim::WorldObject{});
    world.RemovePed(ped);
    world.RemoveObject(object);
    const std::int32_t nextObject = world.AddObject(sim::WorldObject{});
    const std::int32_t nextPed = world.AddPed(sim::Ped{});
    EXPECT_EQ(nextPed == ped, reused);
    EXPECT_EQ(nextObject == object, reused);
    EXPECT_FALSE(world.Names(nextPed, sim::kObjectEntity | sim::kVehicleEntity));
    EXPECT_TRUE(world.Issued(ped, sim::kPedEntity));
    EXPECT_FALSE(world.Issued(ped, sim::kObjectEntity));
  }
}

}  // namespace
