// The simulated game's natives, installed into a host's native table by area.
#pragma once

#include <cstdint>

namespace sim {

class SimHost;

// Installs every native of the simulated game.
void InstallGameNatives(SimHost& host);

// Areas, each in its own file.
void InstallFrameNatives(SimHost& host);
void InstallScreenNatives(SimHost& host);
void InstallPlayerNatives(SimHost& host);
void InstallObjectNatives(SimHost& host);
void InstallPedNatives(SimHost& host);
void InstallModelNatives(SimHost& host);
void InstallSoundNatives(SimHost& host);

// Hashes the game's natives answer to, for tests and tools that look for them in the record.
namespace natives {
constexpr std::uint64_t kPerFrameCallA = 0x7A556143A1C03898;
constexpr std::uint64_t kPerFrameCallB = 0x606374EBFC27B133;
constexpr std::uint64_t kPerFrameCallC = 0x1F91D44490E1EA0C;
constexpr std::uint64_t kPerFrameCallD = 0xFEDFA97638D61D4A;

constexpr std::uint64_t kSetTextSize = 0x4170B650590B3B00;
constexpr std::uint64_t kSetTextColor = 0x50A41AD966910F03;
constexpr std::uint64_t kSetTextCentered = 0xBE5261939FBECB8C;
constexpr std::uint64_t kSetTextEffect = 0x1BE39DBAA7263CA5;
constexpr std::uint64_t kMakeLiteralText = 0xFA925AC00EB830B9;
constexpr std::uint64_t kDrawTextAt = 0xD79334A4BB99BAD1;
constexpr std::uint64_t kDrawBox = 0x405224591DF02025;

constexpr std::uint64_t kGetPlayer = 0x217E9DC48139933D;
constexpr std::uint64_t kGetPlayerPed = 0x096275889B8E0EE0;
constexpr std::uint64_t kGetEntityCoords = 0xA86D5F069399F44D;
constexpr std::uint64_t kTeleportEntity = 0x06843DA7060A026B;

constexpr std::uint64_t kGetOffsetPosition = 0x1899F328B0E12848;
constexpr std::uint64_t kGetRotation = 0xE09CAF86C32CB48F;
constexpr std::uint64_t kGetRelativeViewHeading = 0xC4ABF536048998AA;
constexpr std::uint64_t kSetPlayerEnabled = 0x5EDA520F7A3BAF4E;
constexpr std::uint64_t kSpawnObject = 0x509D5878EB39E842;
constexpr std::uint64_t kSpawnVehicle = 0xAF35D0D2583051B0;
constexpr std::uint64_t kPinEntity = 0x58A850EAEE20FAA3;
constexpr std::uint64_t kSetObjectRotation = 0x9CC8314DFEDE441E;
constexpr std::uint64_t kRemoveObject = 0x4CD38C78BD19A497;
constexpr std::uint64_t kSetBoolDecorator = 0xFE26E4609B1C3772;
constexpr std::uint64_t kReleaseModel = 0x4AD96EF928BD4F9A;

constexpr std::uint64_t kGetDistanceBetweenPoints = 0x0BE7F4E3CDBAFB28;
constexpr std::uint64_t kGetGameTimeMs = 0x4F67E8ECA7D3F667;
constexpr std::uint64_t kIsPlayerDead = 0x2E9C3FCB6798F397;
constexpr std::uint64_t kGetPlayerGroup = 0x9BAB31815159ABCF;
constexpr std::uint64_t kRunTickCallA = 0x55F37F5F3F2475E1;
constexpr std::uint64_t kSetPlayerValueA = 0x093A9D1F72DF0D19;
constexpr std::uint64_t kSetPlayerValueB = 0xA80FF73F772ACF6A;
constexpr std::uint64_t kSetGlobalFloatA = 0xD7FA719CB54866C2;

constexpr std::uint64_t kIsPedDead = 0x3317DEDB88C95038;
constexpr std::uint64_t kDeletePed = 0xCC0EF140F99365C5;
constexpr std::uint64_t kReleasePed = 0x2595DD4236549CE3;
constexpr std::uint64_t kClaimEntityForScript = 0xDC19C288082E586E;
constexpr std::uint64_t kGetPedGroup = 0xF162E133B4E7A675;
constexpr std::uint64_t kFindSafePedPosition = 0xB61C8E878A4199CA;
constexpr std::uint64_t kCreatePed = 0xD49F9B0955C367DE;
constexpr std::uint64_t kPrepareCreatedPed = 0x283978A15512B2FE;
constexpr std::uint64_t kSetDecoratorInt = 0xE88F4D7F52A6090F;
constexpr std::uint64_t kTaskAttackPed = 0xF166E48407BAC484;

constexpr std::uint64_t kGetNameHash = 0xFD340785ADF8CFB7;
constexpr std::uint64_t kIsModelAvailable = 0xD6F3B6D7716CFF8E;
constexpr std::uint64_t kIsModelValid = 0x392C8D8E07B70EFC;
constexpr std::uint64_t kRequestModel = 0xFA28FE3A6246FC30;
constexpr std::uint64_t kHasModelLoaded = 0x1283B8B89DD5D1B6;

constexpr std::uint64_t kPrepareSound = 0x0F2A2175734926D8;
constexpr std::uint64_t kPlaySound = 0x67C540AA08E4A6F5;
}  // namespace natives

}  // namespace sim
