// The simulated game world: the player and the entities the plug-in creates, moves and deletes.
// Natives read and change it through their handlers; the host advances it once per frame. Peds
// that were ordered to attack close in on their target and wound it; the world's randomness
// comes from its own seed, so a scenario plays the same way every time.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/random_range.h"

namespace sim {

// The kinds of thing a handle may name, combined as a mask.
enum EntityKind : unsigned {
  kPlayerPedEntity = 1u << 0,  // the player's own ped
  kPedEntity = 1u << 1,        // any other ped
  kObjectEntity = 1u << 2,     // a static object
  kVehicleEntity = 1u << 3,    // a vehicle (a mounted weapon)
  kPlayerEntity = 1u << 4,     // the player handle, which is not an entity of the world
};
// Every entity of the world: peds, the player's included, objects and vehicles.
constexpr unsigned kAnyEntity = kPlayerPedEntity | kPedEntity | kObjectEntity | kVehicleEntity;

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
  bool controlsEnabled = true;     // false while the plug-in holds the player still
  std::int32_t health = 200;       // wounds take it down; at 0 the player dies
  std::int32_t group = 0x5A17;     // what GetPlayerGroup answers
  std::int32_t pedGroup = 0x5A17;  // what GetPedGroup answers for the player's ped
};

struct Ped {
  std::uint32_t model = 0;  // the hash it was created from; 0 for peds the world began with
  Vec3 position;
  float heading = 0.0f;
  bool dead = false;
  std::int32_t health = 100;      // wounds take it down; at 0 the ped dies
  std::int32_t group = 0;         // what GetPedGroup answers
  bool heldByScript = false;      // created or claimed by the script; only such peds can be deleted
  std::int32_t attackTarget = 0;  // the ped it was ordered to attack; 0 = none
  std::uint32_t corpseFrames = 0;  // frames since it was released dead; counted only once released
  bool released = false;           // the script gave it up; the game removes it once it is dead
  std::map<std::string, std::int32_t> decorators;  // integer decorators, by name
};

// The world's own comings and goings, as a game has them. Every knob defaults to the calm world
// the plug-in was first tried in: nobody walks in or off, and a handle value is never handed out
// twice.
struct Churn {
  std::uint32_t ambientSpawnPerMille = 0;    // chance per frame that an ambient ped walks in
  std::uint32_t ambientDespawnPerMille = 0;  // chance per frame that an ambient ped walks off
  std::size_t ambientLimit = 12;             // ambient peds walk in only while fewer are about
  bool unheldCorpsesCleared = false;         // dead peds no script holds vanish like released ones
  bool handlesReused = false;                // freed handle values come back for new entities
};

// How a model behaves when the plug-in asks for it. Models nobody configured behave as defaults.
struct Model {
  bool available = true;        // IsModelAvailable
  bool valid = true;            // IsModelValid
  std::int32_t loadFrames = 2;  // frames from the first request to loaded; negative = never loads
  bool requested = false;       // RequestModel has been called for it
  std::int32_t framesLeft = 0;  // frames until loaded, once requested
  bool loaded = false;          // HasModelLoaded
};

// A sound the plug-in prepared or played.
struct SoundEvent {
  std::uint32_t frame;  // the host frame of the call
  bool played;          // false: prepared
  std::string name;     // the sound's name and its set, as the plug-in passed them
  std::string set;
};

// A static object or a mounted weapon (a vehicle in the game's terms).
struct WorldObject {
  std::uint32_t model = 0;
  bool isVehicle = false;
  Vec3 position;
  Vec3 rotation;                                   // degrees; z is the heading
  bool pinned = false;                             // held in place, unmoved by physics
  std::map<std::string, std::int32_t> decorators;  // boolean decorators as 0 or 1, by name
  std::uint64_t serial = 0;  // the how-manyth object the world created, from 1: tells apart
                             // objects that had the same handle
};

class World {
 public:
  Player player;
  std::map<std::int32_t, Ped> peds;             // every ped but the player's own, by handle
  std::map<std::int32_t, WorldObject> objects;  // objects and vehicles, by handle
  float viewHeading = 0.0f;       // the camera's heading relative to the player's, degrees
  bool objectSpawnsFail = false;  // SpawnObject answers 0 and creates nothing
  static constexpr std::int32_t kFirstObjectHandle = 0x40001;  // the first object's handle
  static constexpr std::int32_t kFirstPedHandle = 0x200001;    // the first ped's handle
  std::int32_t nextObjectHandle = kFirstObjectHandle;          // new objects and vehicles count up
  std::int32_t nextPedHandle = kFirstPedHandle;                // new peds count up, never reused
  std::map<std::uint32_t, Model> models;                       // by hash; see ModelFor
  std::vector<SoundEvent> sounds;      // in the order the plug-in asked for them
  bool safePositionsFound = true;      // FindSafePedPosition finds a spot (near the point) or fails
  bool pedCreationFails = false;       // CreatePed answers 0 and creates nothing
  float attackerSpeed = 4.0f;          // metres per second an attacker closes in
  float attackRange = 12.0f;           // attackers stop and shoot within this distance
  std::uint32_t hitChancePercent = 2;  // per frame, per attacker in range
  std::int32_t hitDamage = 5;          // health taken by one hit
  std::uint32_t corpseLifetimeFrames = 600;  // released dead peds vanish after this; 0 = never
  Churn churn;                               // off: the calm world
  std::int32_t lastObjectHandle = 0;         // the object or vehicle created last; 0 = none
  std::uint64_t objectsCreated = 0;          // objects and vehicles created so far
  std::uint64_t objectsLeftOnTheirOwn = 0;   // of them, those the game took away (ObjectLeaves)
  std::uint64_t objectsRemoved = 0;          // objects and vehicles removed so far, for any cause
  // The values seen in each random argument, by native hash and argument index (from 0).
  std::map<std::pair<std::uint64_t, std::size_t>, RandomRange> randomValues;

  // One frame of the world's own life, `frameMs` milliseconds long.
  void Advance(std::uint32_t frameMs);
  // Writes up to `capacity` ped handles (the player's first) in a stable order; returns the count.
  int ListPeds(int* handles, int capacity) const;

  // Restarts the world's random sequence.
  void Seed(std::uint64_t seed) { random_ = seed; }
  // Adds a ped under a new handle (a freed one when handles are reused) and returns the handle.
  std::int32_t AddPed(const Ped& ped);
  // Adds an object or vehicle likewise.
  std::int32_t AddObject(const WorldObject& object);
  // Takes the ped or the object out of the world; its handle value is freed. No such entity:
  // nothing happens.
  void RemovePed(std::int32_t handle);
  void RemoveObject(std::int32_t handle);
  // The game takes an object away on its own, at no script's request: removed as by
  // RemoveObject, and counted in objectsLeftOnTheirOwn.
  void ObjectLeaves(std::int32_t handle);
  // Takes out every ped a script holds, as a game that reloads or ends does.
  void RemoveScriptPeds();
  // True when the ped walks about on its own: alive, held by no script, of no group.
  static bool IsAmbient(const Ped& ped) { return !ped.dead && !ped.heldByScript && ped.group == 0; }
  // The game's model of the peds that walk about on their own.
  static constexpr std::string_view kAmbientModel = "bystander";
  // Where an entity (the player's ped, another ped, an object or a vehicle) stands, and how it
  // is turned in degrees (peds turn about z only); `position` is null when no entity has that
  // handle.
  struct EntityFrame {
    Vec3* position;
    Vec3 rotation;
  };
  EntityFrame FrameOf(std::int32_t entity);
  // True when `handle` names something of one of `kinds` that exists now.
  bool Names(std::int32_t handle, unsigned kinds) const;
  // True when the world once handed out `handle` for something of one of `kinds`, whether it
  // still exists or not.
  bool Issued(std::int32_t handle, unsigned kinds) const;
  // The ped, or null when the world has no such ped (the player's ped is not among them).
  Ped* FindPed(std::int32_t handle);
  // Kills a ped (or, given the player's ped, the player) at once.
  void KillPed(std::int32_t handle);
  // Kills the player at once.
  void KillPlayer() { KillPed(player.ped); }
  // The game's answer for a ped handle: dead, or no such ped any more.
  bool IsPedDead(std::int32_t handle) const;
  // The game's hash of a model or asset name: 32-bit FNV-1a of its bytes.
  static std::uint32_t NameHash(std::string_view name);
  // The behaviour of the model `hash`, created with the defaults on first use.
  Model& ModelFor(std::uint32_t hash) { return models[hash]; }
  Model& ModelNamed(std::string_view name) { return ModelFor(NameHash(name)); }

 private:
  // The next number of the world's random sequence (splitmix64).
  std::uint64_t NextRandom();
  // Moves the living attacker toward its target and lets it shoot once in range.
  void Attack(Ped& attacker, float frameSeconds);
  // Takes `damage` off the target's health; the target dies at 0.
  void Wound(std::int32_t target, std::int32_t damage);
  // True with a chance of `perMille` in 1000; draws nothing when the chance is 0.
  bool Chance(std::uint32_t perMille);
  // Ambient peds walking in and off, as the churn knobs say.
  void WalkInAndOff(const Vec3& around);
  // True when a dead ped is one the game clears away after a while.
  bool Clearable(const Ped& ped) const;

  std::deque<std::int32_t> freedPedHandles_;     // oldest first; only when handles are reused
  std::deque<std::int32_t> freedObjectHandles_;  // likewise

  std::uint64_t random_ = 0x5EED;
};

}  // namespace sim
