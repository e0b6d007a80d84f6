// The game assets the simulated game knows by name or by model hash: the models it can create,
// the decorators it keeps and the sounds it plays. A native that takes an asset accepts only
// these; any other name is one the game has never heard of.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "game/world.h"

namespace sim::assets {

// Ped models, by name.
inline constexpr std::string_view kEnemyModelName = "A_M_M_RANCHER_01";
// Mounted-weapon models (vehicles), by name.
inline constexpr std::string_view kWeaponModelNames[] = {"gatling_gun", "gatlingMaxim02",
                                                         "hotchkiss_cannon", "breach_cannon"};
// Static object models: the explosives, then the cover objects.
inline constexpr std::uint32_t kStaticObjectModels[] = {
    0x8B664AFD, 0xF6B3A3D6, 0xAFBFABC1, 0xBBFB0174, 0x4451BFF5, 0x1308875C,
    0xF2E5ABA3, 0xCE64BCDA, 0x7B62BB78, 0xC9C22C59, 0x47DC58FB, 0xC508E5EA};

// Decorators: the integer one set on enemies, the boolean one set on mounted weapons.
inline constexpr std::string_view kEnemyDecorator = "honor_override";
inline constexpr std::string_view kWeaponDecorator = "wagon_block_honor";
// The front-end sound and its set.
inline constexpr std::string_view kSoundName = "NAV_RIGHT";
inline constexpr std::string_view kSoundSet = "HUD_SHOP_SOUNDSET";
// The kind of game text made from a literal string.
inline constexpr std::string_view kLiteralTextKind = "LITERAL_STRING";

// Model names that GetNameHash knows: the ped model and the mounted weapons.
std::vector<std::string_view> ModelNames();
// Hashes of the ped models.
std::vector<std::uint32_t> PedModels();
// Hashes of the mounted-weapon models.
std::vector<std::uint32_t> WeaponModels();
// Hashes of the static object models.
std::vector<std::uint32_t> StaticObjectModels();
// Hashes of every model above.
std::vector<std::uint32_t> AllModels();

}  // namespace sim::assets
