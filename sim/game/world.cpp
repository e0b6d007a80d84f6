// The simulated world's per-frame life (models finishing their loads, attackers closing in and
// shooting, corpses being cleared away, ambient peds walking in and off when the churn knobs say
// so), its ped listing and the handing out and freeing of handle values.
#include "game/world.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace sim {

void World::Advance(std::uint32_t frameMs) {
  for (auto& [hash, model] : models) {
    if (model.requested && !model.loaded && model.framesLeft > 0 && --model.framesLeft == 0) {
      model.loaded = true;
    }
  }
  const float frameSeconds = static_cast<float>(frameMs) / 1000.0f;
  for (auto ped = peds.begin(); ped != peds.end();) {
    Ped& current = ped->second;
    if (!current.dead && current.attackTarget != 0) {
      Attack(current, frameSeconds);
    }
    if (Clearable(current) && corpseLifetimeFrames != 0 &&
        ++current.corpseFrames >= corpseLifetimeFrames) {
      const std::int32_t handle = ped->first;
      ++ped;
      RemovePed(handle);
    } else {
      ++ped;
    }
  }
  WalkInAndOff(player.position);
}

bool World::Clearable(const Ped& ped) const {
  return ped.dead && (ped.released || (churn.unheldCorpsesCleared && !ped.heldByScript));
}

bool World::Chance(std::uint32_t perMille) {
  return perMille != 0 && NextRandom() % 1000 < perMille;
}

void World::WalkInAndOff(const Vec3& around) {
  if (churn.ambientDespawnPerMille == 0 && churn.ambientSpawnPerMille == 0) {
    return;
  }
  std::vector<std::int32_t> ambient;
  for (const auto& [handle, ped] : peds) {
    if (IsAmbient(ped)) {
      ambient.push_back(handle);
    }
  }
  if (!ambient.empty() && Chance(churn.ambientDespawnPerMille)) {
    RemovePed(ambient[NextRandom() % ambient.size()]);
  }
  if (ambient.size() < churn.ambientLimit && Chance(churn.ambientSpawnPerMille)) {
    constexpr std::uint64_t kSpread = 101;  // metres either way, in whole metres
    Ped walker;
    walker.model = NameHash(kAmbientModel);
    walker.position = {around.x + static_cast<float>(NextRandom() % kSpread) - 50.0f,
                       around.y + static_cast<float>(NextRandom() % kSpread) - 50.0f, around.z};
    walker.heading = static_cast<float>(NextRandom() % 360);
    AddPed(walker);
  }
}

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

namespace {

// The next handle value: the oldest freed one when there is one, or else a new one.
std::int32_t TakeHandle(std::deque<std::int32_t>& freed, std::int32_t& next) {
  if (freed.empty()) {
    return next++;
  }
  const std::int32_t handle = freed.front();
  freed.pop_front();
  return handle;
}

}  // namespace

std::int32_t World::AddPed(const Ped& ped) {
  const std::int32_t handle = TakeHandle(freedPedHandles_, nextPedHandle);
  peds[handle] = ped;
  return handle;
}

std::int32_t World::AddObject(const WorldObject& object) {
  const std::int32_t handle = TakeHandle(freedObjectHandles_, nextObjectHandle);
  WorldObject& added = objects[handle] = object;
  added.serial = ++objectsCreated;
  lastObjectHandle = handle;
  return handle;
}

void World::RemovePed(std::int32_t handle) {
  if (peds.erase(handle) != 0 && churn.handlesReused) {
    freedPedHandles_.push_back(handle);
  }
}

void World::RemoveScriptPeds() {
  for (auto ped = peds.begin(); ped != peds.end();) {
    const std::int32_t handle = ped->first;
    const bool held = ped->second.heldByScript;
    ++ped;
    if (held) {
      RemovePed(handle);
    }
  }
}

void World::RemoveObject(std::int32_t handle) {
  if (objects.erase(handle) == 0) {
    return;
  }
  ++objectsRemoved;
  if (churn.handlesReused) {
    freedObjectHandles_.push_back(handle);
  }
}

void World::ObjectLeaves(std::int32_t handle) {
  if (objects.count(handle) != 0) {
    ++objectsLeftOnTheirOwn;
    RemoveObject(handle);
  }
}

World::EntityFrame World::FrameOf(std::int32_t entity) {
  if (entity == player.ped) {
    return {&player.position, Vec3{0.0f, 0.0f, player.heading}};
  }
  if (const auto ped = peds.find(entity); ped != peds.end()) {
    return {&ped->second.position, Vec3{0.0f, 0.0f, ped->second.heading}};
  }
  if (const auto object = objects.find(entity); object != objects.end()) {
    return {&object->second.position, object->second.rotation};
  }
  return {nullptr, Vec3{}};
}

bool World::Names(std::int32_t handle, unsigned kinds) const {
  if ((kinds & kPlayerEntity) != 0 && handle == player.handle) {
    return true;
  }
  if ((kinds & kPlayerPedEntity) != 0 && handle == player.ped) {
    return true;
  }
  if ((kinds & kPedEntity) != 0 && peds.count(handle) != 0) {
    return true;
  }
  const auto object = objects.find(handle);
  return object != objects.end() &&
         (kinds & (object->second.isVehicle ? kVehicleEntity : kObjectEntity)) != 0;
}

bool World::Issued(std::int32_t handle, unsigned kinds) const {
  if (Names(handle, kinds)) {
    return true;
  }
  if ((kinds & kPedEntity) != 0 && handle >= kFirstPedHandle && handle < nextPedHandle) {
    return true;
  }
  return (kinds & (kObjectEntity | kVehicleEntity)) != 0 && handle >= kFirstObjectHandle &&
         handle < nextObjectHandle;
}

Ped* World::FindPed(std::int32_t handle) {
  const auto ped = peds.find(handle);
  return ped == peds.end() ? nullptr : &ped->second;
}

void World::KillPed(std::int32_t handle) {
  Wound(handle, std::numeric_limits<std::int32_t>::max());
}

bool World::IsPedDead(std::int32_t handle) const {
  if (handle == player.ped) {
    return player.dead;
  }
  const auto ped = peds.find(handle);
  return ped == peds.end() || ped->second.dead;
}

std::uint32_t World::NameHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash;
}

std::uint64_t World::NextRandom() {
  random_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = random_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void World::Attack(Ped& attacker, float frameSeconds) {
  if (IsPedDead(attacker.attackTarget)) {
    return;
  }
  const Ped* targetPed = FindPed(attacker.attackTarget);
  const Vec3& target = targetPed != nullptr ? targetPed->position : player.position;
  const float dx = target.x - attacker.position.x;
  const float dy = target.y - attacker.position.y;
  const float distance = std::sqrt(dx * dx + dy * dy);
  attacker.heading = static_cast<float>(std::atan2(-dx, dy) * 180.0 / std::numbers::pi);
  if (distance > attackRange) {
    const float step = std::fmin(attackerSpeed * frameSeconds, distance - attackRange);
    attacker.position.x += dx / distance * step;
    attacker.position.y += dy / distance * step;
    attacker.position.z = target.z;
    return;
  }
  if (NextRandom() % 100 < hitChancePercent) {
    Wound(attacker.attackTarget, hitDamage);
  }
}

void World::Wound(std::int32_t target, std::int32_t damage) {
  std::int32_t* health = nullptr;
  bool* dead = nullptr;
  if (target == player.ped) {
    health = &player.health;
    dead = &player.dead;
  } else if (Ped* ped = FindPed(target)) {
    health = &ped->health;
    dead = &ped->dead;
  } else {
    return;
  }
  *health = *health > damage ? *health - damage : 0;
  if (*health == 0) {
    *dead = true;
  }
}

}  // namespace sim
