// The simulated game world: the player and the entities the plug-in creates, moves and deletes.
// Natives read and change it through their handlers; the host advances it once per frame.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace sim {

class SimHost;

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct Player {
  std::int32_t handle = 1;  // the player handle, distinct from the ped
  std::int32_t ped = 0x1001;
  Vec3 position{2700.0f, -1200.0f, 48.0f};
  float heading = 0.0f;
  bool dead = false;
  bool controlsEnabled = true;  // false while the plug-in holds the player still
};

struct Ped {
  Vec3 position;
  float heading = 0.0f;
  bool dead = false;
};

// A static object or a mounted weapon (a vehicle in the game's terms).
struct WorldObject {
  std::uint32_t model = 0;
  bool isVehicle = false;
  Vec3 position;
  Vec3 rotation;  // degrees; z is the heading
  bool pinned = false;                           // held in place, unmoved by physics
  std::map<std::string, std::int32_t> decorators;  // boolean decorators as 0 or 1, by name
};

class World {
 public:
  Player player;
  std::map<std::int32_t, Ped> peds;             // every ped but the player's own, by handle
  std::map<std::int32_t, WorldObject> objects;  // objects and vehicles, by handle
  float viewHeading = 0.0f;      // the camera's heading relative to the player's, degrees
  bool objectSpawnsFail = false;  // SpawnObject answers 0 and creates nothing
  std::int32_t nextObjectHandle = 0x40001;  // handles of new objects and vehicles count up

  // One frame of the world's own life.
  void Advance(SimHost& host);
  // Writes up to `capacity` ped handles (the player's first) in a stable order; returns the count.
  int ListPeds(int* handles, int capacity) const;
};

}  // namespace sim
