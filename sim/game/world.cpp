// The simulated world's per-frame life and its ped listing.
#include "game/world.h"

namespace sim {

void World::Advance(SimHost&) {}

int World::ListPeds(int* handles, int capacity) const {
  int count = 0;
  if (count < capacity) {
    handles[count++] = player.ped;
  }
  for (const auto& [handle, ped] : peds) {
    if (count >= capacity) {
      break;
    }
    handles[count++] = handle;
  }
  return count;
}

}  // namespace sim
