// The known model sets, as the model natives' contracts use them.
#include "game/assets.h"

#include <iterator>

namespace sim::assets {

std::vector<std::string_view> ModelNames() {
  std::vector<std::string_view> names{kEnemyModelName};
  names.insert(names.end(), std::begin(kWeaponModelNames), std::end(kWeaponModelNames));
  return names;
}

std::vector<std::uint32_t> PedModels() {
  return {World::NameHash(kEnemyModelName)};
}

std::vector<std::uint32_t> WeaponModels() {
  std::vector<std::uint32_t> models;
  for (const std::string_view name : kWeaponModelNames) {
    models.push_back(World::NameHash(name));
  }
  return models;
}

std::vector<std::uint32_t> StaticObjectModels() {
  return {std::begin(kStaticObjectModels), std::end(kStaticObjectModels)};
}

std::vector<std::uint32_t> AllModels() {
  std::vector<std::uint32_t> models = PedModels();
  for (const std::vector<std::uint32_t>& more : {WeaponModels(), StaticObjectModels()}) {
    models.insert(models.end(), more.begin(), more.end());
  }
  return models;
}

}  // namespace sim::assets
