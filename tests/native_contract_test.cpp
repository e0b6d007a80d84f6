// The simulated game's native contracts. A call that breaks one is a fault naming the native,
// the argument, what it got and what was expected, and the game does not act on it; every
// argument of every native turns away the words its contract excludes; random arguments are
// counted until their whole range has been seen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "core/sim_host.h"
#include "game/assets.h"
#include "game/game_natives.h"
#include "runtime/native.h"

namespace {

namespace natives = sim::natives;
using sim::ArgumentKind;
using sim::ArgumentSpec;

constexpr std::int32_t kNoSuchHandle = 0x7FFFFFF0;

std::uint64_t FloatWord(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::uint64_t AddressWord(const void* address) {
  return reinterpret_cast<std::uintptr_t>(address);
}

// Calls `hash` with the argument words as they are.
void CallWithWords(std::uint64_t hash, const std::vector<std::uint64_t>& words) {
  nativeInit(hash);
  for (const std::uint64_t word : words) {
    nativePush64(word);
  }
  nativeCall();
}

// A word that breaks an argument's contract, and what is wrong with it.
struct BadWord {
  std::uint64_t word;
  const char* what;
};

// A host whose world holds one thing of every kind a handle can name.
class NativeContractTest : public ::testing::Test {
 protected:
  NativeContractTest() {
    ped = world.AddPed(sim::Ped{});
    object = AddObject(false);
    vehicle = AddObject(true);
  }

  std::int32_t AddObject(bool isVehicle) {
    const std::int32_t handle = world.nextObjectHandle++;
    world.objects[handle].isVehicle = isVehicle;
    return handle;
  }

  // The handle of the first kind in `entities` that the world holds.
  std::int32_t HandleOf(unsigned entities) const {
    for (const auto& [kind, handle] : Things()) {
      if ((entities & kind) != 0) {
        return handle;
      }
    }
    return 0;
  }

  std::vector<std::pair<unsigned, std::int32_t>> Things() const {
    return {{sim::kPlayerEntity, world.player.handle},
            {sim::kPlayerPedEntity, world.player.ped},
            {sim::kPedEntity, ped},
            {sim::kObjectEntity, object},
            {sim::kVehicleEntity, vehicle}};
  }

  const char* KeepText(std::string text) { return texts.emplace_back(std::move(text)).c_str(); }

  std::uint64_t GoodWord(const ArgumentSpec& rule) {
    switch (rule.kind) {
      case ArgumentKind::kInteger:
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(rule.low));
      case ArgumentKind::kFloat:
        return FloatWord(std::isfinite(rule.low) ? static_cast<float>(rule.low) : 0.0f);
      case ArgumentKind::kRandomWhole:
        return FloatWord(static_cast<float>(rule.low));
      case ArgumentKind::kText:
        return AddressWord(KeepText(rule.texts.empty() ? "any text" : std::string(rule.texts[0])));
      case ArgumentKind::kModel:
        return rule.models.front();
      case ArgumentKind::kHandle:
        return static_cast<std::uint32_t>(HandleOf(rule.entities));
      case ArgumentKind::kHandleAddress:
        handleVariable = HandleOf(rule.entities);
        return AddressWord(&handleVariable);
      case ArgumentKind::kVectorAddress:
        return AddressWord(&vector);
      case ArgumentKind::kWord:
        return 0;
    }
    return 0;
  }

  std::vector<BadWord> BadWords(const ArgumentSpec& rule) {
    constexpr std::uint64_t kUpperHalf = std::uint64_t{1} << 32;
    std::vector<BadWord> bad;
    switch (rule.kind) {
      case ArgumentKind::kInteger:
        bad.push_back({kUpperHalf | GoodWord(rule), "a word with its upper half set"});
        if (rule.low > std::numeric_limits<std::int32_t>::min()) {
          bad.push_back({static_cast<std::uint32_t>(static_cast<std::int32_t>(rule.low) - 1),
                         "one below the lowest value"});
        }
        if (rule.high < std::numeric_limits<std::int32_t>::max()) {
          bad.push_back({static_cast<std::uint32_t>(static_cast<std::int32_t>(rule.high) + 1),
                         "one above the highest value"});
        }
        break;
      case ArgumentKind::kRandomWhole:
        bad.push_back({FloatWord(static_cast<float>(rule.low) + 0.5f), "a fraction"});
        [[fallthrough]];
      case ArgumentKind::kFloat:
        bad.push_back({FloatWord(std::numeric_limits<float>::quiet_NaN()), "NaN"});
        bad.push_back({FloatWord(std::numeric_limits<float>::infinity()), "infinity"});
        bad.push_back({kUpperHalf | GoodWord(rule), "a word with its upper half set"});
        if (std::isfinite(rule.low)) {
          bad.push_back({FloatWord(std::nextafter(static_cast<float>(rule.low), -1e9f)),
                         "just below the lowest value"});
        }
        if (std::isfinite(rule.high)) {
          bad.push_back({FloatWord(std::nextafter(static_cast<float>(rule.high), 1e9f)),
                         "just above the highest value"});
        }
        break;
      case ArgumentKind::kText:
        bad.push_back({0, "a null text"});
        if (!rule.texts.empty()) {
          bad.push_back({AddressWord(KeepText("NO_SUCH_ASSET")), "an unknown asset name"});
        }
        break;
      case ArgumentKind::kModel:
        bad.push_back({0xDEADBEEF, "an unknown model"});
        break;
      case ArgumentKind::kHandle:
        bad.push_back({static_cast<std::uint32_t>(kNoSuchHandle), "a handle naming nothing"});
        for (const auto& [kind, handle] : Things()) {
          if ((rule.entities & kind) == 0) {
            bad.push_back({static_cast<std::uint32_t>(handle), "a handle of another kind"});
          }
        }
        if (rule.presence != sim::Presence::kExistingOrZero) {
          bad.push_back({0, "0"});
        }
        break;
      case ArgumentKind::kHandleAddress:
        bad.push_back({0, "a null address"});
        bad.push_back({AddressWord(&noSuchHandle), "the address of a handle naming nothing"});
        break;
      case ArgumentKind::kVectorAddress:
        bad.push_back({0, "a null address"});
        break;
      case ArgumentKind::kWord:
        break;
    }
    return bad;
  }

  sim::SimHost host;
  sim::World& world = host.GetWorld();
  std::int32_t ped = 0;
  std::int32_t object = 0;
  std::int32_t vehicle = 0;
  std::int32_t handleVariable = 0;
  std::int32_t noSuchHandle = kNoSuchHandle;
  Vector3 vector;
  std::deque<std::string> texts;
};

TEST_F(NativeContractTest, EveryArgumentOfEveryNativeTurnsAwayWhatItsContractExcludes) {
  std::size_t breaches = 0;
  for (const std::uint64_t hash : host.Natives().Hashes()) {
    const sim::NativeEntry& entry = *host.Natives().Find(hash);
    for (const sim::ArgumentForm& form : entry.contract.forms) {
      std::vector<std::uint64_t> good;
      for (const ArgumentSpec& rule : form) {
        good.push_back(GoodWord(rule));
      }
      for (std::size_t i = 0; i < form.size(); ++i) {
        for (const BadWord& bad : BadWords(form[i])) {
          std::vector<std::uint64_t> words = good;
          words[i] = bad.word;
          host.ClearFaults();
          CallWithWords(hash, words);
          // With several forms, a value one form excludes may be another's: the fault then
          // names the first argument of the form that comes closest.
          const std::string named = entry.contract.forms.size() == 1
                                        ? entry.name + " argument " + std::to_string(i + 1) + " (" +
                                              std::string(form[i].name) + "): got "
                                        : entry.name + " argument ";
          ASSERT_EQ(host.Faults().size(), 1u)
              << entry.name << " argument " << i + 1 << " given " << bad.what;
          EXPECT_EQ(host.Faults()[0].rfind(named, 0), 0u) << host.Faults()[0];
          ++breaches;
        }
      }
    }
  }
  EXPECT_GT(breaches, 300u);
}

TEST_F(NativeContractTest, AWrongConstantIsAFaultNamingTheNativeTheArgumentAndTheValue) {
  native::Invoke(natives::kPerFrameCallB, 1);
  native::Invoke(natives::kSetObjectRotation, object, 0.5f, 0.0f, 90.0f, 1, 1);
  native::Invoke(natives::kSetTextColor, 255, 255, 256, 255);
  // The run's flags with the second one changed: closer to the run's form than the placement's.
  native::Invoke(natives::kTeleportEntity, world.player.ped, 1.0f, 2.0f, 3.0f, 0, 1, 0, 0);
  EXPECT_EQ(host.Faults(),
            (std::vector<std::string>{
                "PerFrameCallB argument 1 (value): got 1, expected 0, in frame 0",
                "SetObjectRotation argument 2 (x): got 0.5, expected the float 0, "
                "in frame 0",
                "SetTextColor argument 3 (b): got 256, expected an integer in "
                "0..255, in frame 0",
                "TeleportEntity argument 6 (flag 2): got 1, expected 0, in frame 0"}));
}

TEST_F(NativeContractTest, AHandleMustNameSomethingOfItsKind) {
  native::Invoke<Vector3>(natives::kGetEntityCoords, kNoSuchHandle, 1, 1);
  native::Invoke<bool>(natives::kIsPlayerDead, world.player.ped);
  std::int32_t playerPed = world.player.ped;
  native::Invoke(natives::kDeletePed, &playerPed);
  ASSERT_EQ(host.Faults().size(), 3u);
  EXPECT_EQ(host.Faults()[0],
            "GetEntityCoords argument 1 (entity): got 2147483632, expected a handle the world "
            "handed out for the player's ped, a ped, an object or a vehicle, in frame 0");
  EXPECT_EQ(host.Faults()[1],
            "IsPlayerDead argument 1 (player): got 4097, expected a handle of the player that "
            "exists, in frame 0");
  EXPECT_EQ(host.Faults()[2],
            "DeletePed argument 1 (ped): got the address of a variable holding 4097, expected "
            "the address of a variable holding a handle the world handed out for a ped, in "
            "frame 0");
  EXPECT_FALSE(world.player.dead);
}

TEST_F(NativeContractTest, APedThatLeftTheWorldAnswersAsGoneButKeepsItsKind) {
  world.RemovePed(ped);
  EXPECT_TRUE(native::Invoke<bool>(natives::kIsPedDead, ped, 1));
  native::Invoke(natives::kTeleportEntity, ped, 1.0f, 2.0f, 3.0f, 0, 0, 0, 0);
  const Vector3 position = native::Invoke<Vector3>(natives::kGetEntityCoords, ped, 1, 1);
  EXPECT_EQ(position.x, 0.0f);
  EXPECT_EQ(position.z, 0.0f);
  std::int32_t gone = ped;
  native::Invoke(natives::kReleasePed, &gone);
  native::Invoke(natives::kDeletePed, &gone);
  EXPECT_TRUE(host.Faults().empty()) << host.Faults()[0];
  EXPECT_TRUE(world.peds.empty());
  native::Invoke(natives::kRemoveObject, &gone);
  ASSERT_EQ(host.Faults().size(), 1u);
  EXPECT_EQ(host.Faults()[0].rfind("RemoveObject argument 1 (object)", 0), 0u);
}

TEST_F(NativeContractTest, ZeroIsAHandleOnlyWhereTheContractAllowsIt) {
  native::Invoke(natives::kPrepareCreatedPed, 0, 1);
  native::Invoke(natives::kSetBoolDecorator, 0, "wagon_block_honor", 1);
  EXPECT_TRUE(host.Faults().empty()) << host.Faults()[0];
  native::Invoke(natives::kTaskAttackPed, 0, world.player.ped, 0, 16);
  ASSERT_EQ(host.Faults().size(), 1u);
  EXPECT_EQ(host.Faults()[0].rfind("TaskAttackPed argument 1 (ped): got 0", 0), 0u);
}

TEST_F(NativeContractTest, NonFiniteFloatsAndUnknownTextsAreFaults) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  native::Invoke<float>(natives::kGetDistanceBetweenPoints, 0.0f, 0.0f, 0.0f, nan, 0.0f, 0.0f, 1);
  native::Invoke(natives::kSetDecoratorInt, ped, "honor", 0);
  native::Invoke<std::uint32_t>(natives::kGetNameHash, static_cast<const char*>(nullptr));
  EXPECT_EQ(host.Faults(),
            (std::vector<std::string>{
                "GetDistanceBetweenPoints argument 4 (x2): got nan, expected a finite float, "
                "in frame 0",
                "SetDecoratorInt argument 2 (decorator): got \"honor\", expected "
                "\"honor_override\", in frame 0",
                "GetNameHash argument 1 (model name): got null, expected one of "
                "\"A_M_M_RANCHER_01\", \"gatling_gun\", \"gatlingMaxim02\", \"hotchkiss_cannon\", "
                "\"breach_cannon\", in frame 0"}));
  EXPECT_TRUE(world.FindPed(ped)->decorators.empty());
}

TEST_F(NativeContractTest, ACallThatBreaksItsContractDoesNotReachTheGame) {
  const sim::Vec3 before = world.player.position;
  native::Invoke(natives::kTeleportEntity, world.player.ped, 1.0f, 2.0f, 3.0f, 0, 0, 1, 0);
  EXPECT_EQ(world.player.position.x, before.x);
  EXPECT_EQ(host.Faults().size(), 1u);
}

TEST_F(NativeContractTest, AnAnswerOutsideItsContractIsAFaultOfTheGame) {
  host.Natives().Override(natives::kGetPlayer, [](const sim::NativeCall& call) {
    call.ReturnWord(std::uint64_t{1} << 40);
  });
  native::Invoke<std::int32_t>(natives::kGetPlayer);
  ASSERT_EQ(host.Faults().size(), 1u);
  EXPECT_EQ(host.Faults()[0],
            "the simulated game's GetPlayer answered outside its contract (a 32-bit integer)");
}

// Creates `count` peds with the headings 0, 1, 2, ... up to `maxHeading`, and round again.
void CreatePeds(sim::World& world, int count, int maxHeading) {
  world.ModelNamed(sim::assets::kEnemyModelName).loaded = true;
  const std::uint32_t model = sim::World::NameHash(sim::assets::kEnemyModelName);
  for (int i = 0; i < count; ++i) {
    const float heading = static_cast<float>(i % (maxHeading + 1));
    native::Invoke<std::int32_t>(natives::kCreatePed, model, 1.0f, 2.0f, 3.0f, heading, 0, 0, 0, 0);
  }
}

TEST_F(NativeContractTest, RandomHeadingsOfHalfTheCircleAreAFaultOnceEnoughAreSeen) {
  CreatePeds(world, 999, 179);
  EXPECT_TRUE(host.Faults().empty()) << "too few values to tell";
  CreatePeds(world, 2001, 179);
  ASSERT_EQ(host.Faults().size(), 1u) << "reported once";
  const std::string& fault = host.Faults()[0];
  EXPECT_EQ(fault.rfind("CreatePed heading: 1000 random values seen and none in 180..189, ", 0), 0u)
      << fault;
  EXPECT_NE(fault.find(", 350..359"), std::string::npos) << fault;
  EXPECT_EQ(fault.find("170..179"), std::string::npos) << fault;
}

TEST_F(NativeContractTest, RandomHeadingsOverTheWholeCircleCoverEveryTenDegrees) {
  CreatePeds(world, 1000, 359);
  EXPECT_TRUE(host.Faults().empty()) << host.Faults()[0];
  const auto headings = world.randomValues.find({natives::kCreatePed, 4});
  ASSERT_NE(headings, world.randomValues.end());
  EXPECT_EQ(headings->second.Samples(), 1000u);
  EXPECT_TRUE(headings->second.Covered());
}

}  // namespace
