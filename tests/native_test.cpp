// The argument words and result reads of the native invocation layer, checked against what the
// simulated host receives and returns.
#include <gtest/gtest.h>

#include <cstring>

#include "core/fault_injector.h"
#include "core/sim_host.h"
#include "game/game_natives.h"
#include "runtime/native.h"

namespace {

constexpr NativeHash kProbe = 0x0123456789ABCDEF;

using sim::contract::Float;
using sim::contract::Int;
using sim::contract::Text;
using sim::contract::VectorAddress;
using sim::contract::Word;

class NativeWordsTest : public ::testing::Test {
 protected:
  sim::SimHost host;
};

TEST_F(NativeWordsTest, ArgumentsArePackedIntoTheirWords) {
  host.Natives().Define(kProbe, "Probe",
                        {Int("int"), Float("float"), Float("negative float"), Text("text"),
                         VectorAddress("out"), Word("handle address")},
                        sim::ResultKind::kNone, nullptr);
  Vector3 out;
  std::int32_t handle = 0;
  const char* text = "NAV_RIGHT";
  native::Invoke(kProbe, -1, 1.5f, -2.0f, text, &out, &handle);

  ASSERT_EQ(host.Calls().Size(), 1u);
  const std::vector<std::uint64_t> words = host.Calls().At(0).args;
  EXPECT_EQ(words[0], 0x00000000FFFFFFFFu) << "a negative int is zero-extended";
  EXPECT_EQ(words[1], 0x000000003FC00000u) << "a float is its bit pattern in the low half";
  EXPECT_EQ(words[2], 0x00000000C0000000u) << "a negative float keeps the upper half 0";
  EXPECT_EQ(words[3], reinterpret_cast<std::uintptr_t>(text));
  EXPECT_EQ(words[4], reinterpret_cast<std::uintptr_t>(&out));
  EXPECT_NE(words[5], reinterpret_cast<std::uintptr_t>(&handle))
      << "a handle variable is lent as storage of its own";
  EXPECT_TRUE(host.Faults().empty());
}

TEST_F(NativeWordsTest, BooleansAndUnsignedValuesKeepTheirLowBitsOnly) {
  host.Natives().Define(kProbe, "Probe", {Word("a"), Word("b"), Word("c"), Word("d")},
                        sim::ResultKind::kNone, nullptr);
  native::Invoke(kProbe, true, false, 0xFFFFFFFFu, std::uint64_t{0x1122334455667788});
  const std::vector<std::uint64_t> words = host.Calls().At(0).args;
  EXPECT_EQ(words, (std::vector<std::uint64_t>{1, 0, 0xFFFFFFFFu, 0x1122334455667788u}));
}

TEST_F(NativeWordsTest, VectorResultIsReadFromBytesZeroEightAndSixteen) {
  host.Natives().Define(kProbe, "Probe", {}, sim::ResultKind::kVector,
                        [](const sim::NativeCall& call) {
                          call.ReturnVector(2726.1582f, -1067.7278f, 47.4046f);
                          // Garbage in the upper halves must not leak into the components.
                          for (int i = 0; i < 3; ++i) {
                            call.result[i] |= 0xDEADBEEF00000000u;
                          }
                        });
  const Vector3 position = native::Invoke<Vector3>(kProbe);
  EXPECT_FLOAT_EQ(position.x, 2726.1582f);
  EXPECT_FLOAT_EQ(position.y, -1067.7278f);
  EXPECT_FLOAT_EQ(position.z, 47.4046f);
}

TEST_F(NativeWordsTest, IntegerFloatAndWordResultsComeFromTheFirstWord) {
  std::uint64_t answer = 0;
  host.Natives().Define(kProbe, "Probe", {}, sim::ResultKind::kWord,
                        [&answer](const sim::NativeCall& call) { call.ReturnWord(answer); });
  answer = 0xFFFFFFFF00000000u;
  EXPECT_FALSE(native::Invoke<bool>(kProbe)) << "only the first 32 bits carry a boolean";
  answer = 0x00000000FFFFFFFEu;
  EXPECT_EQ(native::Invoke<std::int32_t>(kProbe), -2);
  answer = 0x0000000042C80000u;
  EXPECT_FLOAT_EQ(native::Invoke<float>(kProbe), 100.0f);
  answer = 0x1122334455667788u;
  EXPECT_EQ(native::Invoke<std::uint64_t>(kProbe), 0x1122334455667788u);
}

TEST_F(NativeWordsTest, UnknownHashAndWrongArgumentCountAreFaultsNamingTheNative) {
  native::Invoke(0x00000000DEADBEEF, 1);
  host.Natives().Define(kProbe, "Probe", {Word("a"), Word("b")}, sim::ResultKind::kNone, nullptr);
  native::Invoke(kProbe, 1);
  ASSERT_EQ(host.Faults().size(), 2u);
  EXPECT_NE(host.Faults()[0].find("0x00000000DEADBEEF"), std::string::npos) << host.Faults()[0];
  EXPECT_NE(host.Faults()[1].find("Probe takes 2"), std::string::npos) << host.Faults()[1];
}

// What a host may answer that the plug-in must survive: no result area, and a handle variable
// written back as a 64-bit word.
TEST_F(NativeWordsTest, NullResultAreaReadsAsZeroInEveryType) {
  bool ran = false;
  host.Natives().Define(kProbe, "Probe", {}, sim::ResultKind::kWord,
                        [&ran](const sim::NativeCall& call) {
                          ran = true;
                          call.ReturnWord(0x1122334455667788u);
                        });
  sim::FaultInjector injector(host);
  injector.Arm(sim::FaultKind::kNullResult, 1, true);
  EXPECT_EQ(native::Invoke<std::uint64_t>(kProbe), 0u);
  EXPECT_EQ(native::Invoke<std::int32_t>(kProbe), 0);
  EXPECT_FALSE(native::Invoke<bool>(kProbe));
  EXPECT_EQ(native::Invoke<float>(kProbe), 0.0f);
  const Vector3 vector = native::Invoke<Vector3>(kProbe);
  EXPECT_EQ(vector.x, 0.0f);
  EXPECT_EQ(vector.y, 0.0f);
  EXPECT_EQ(vector.z, 0.0f);
  native::Invoke(kProbe);
  EXPECT_FALSE(ran) << "the host ran no native";
  EXPECT_EQ(injector.Injected(), 6u);
  injector.Disarm();
  EXPECT_EQ(native::Invoke<std::uint64_t>(kProbe), 0x1122334455667788u);
}

TEST_F(NativeWordsTest, HandleVariableReadsBackItsLowHalfAndItsNeighboursStay) {
  std::uint64_t written = 0;
  host.Natives().Define(kProbe, "Probe", {Word("handle address")}, sim::ResultKind::kNone,
                        [&written](const sim::NativeCall& call) {
                          std::int32_t held = 0;
                          std::memcpy(&held, call.Address<void>(0), sizeof held);
                          EXPECT_EQ(held, -7) << "the game reads the handle where it points";
                          std::memcpy(call.Address<void>(0), &written, sizeof written);
                        });
  std::int32_t handles[3] = {11, -7, 13};
  written = 0;  // deleted, as a 64-bit zero
  native::Invoke(kProbe, &handles[1]);
  EXPECT_EQ(handles[0], 11);
  EXPECT_EQ(handles[1], 0);
  EXPECT_EQ(handles[2], 13) << "the upper half went to the lent storage";
  handles[1] = -7;
  written = 0xFFFFFFFF00000042u;  // a 64-bit word whose low half is the new handle
  native::Invoke(kProbe, &handles[1]);
  EXPECT_EQ(handles[1], 0x42);
  EXPECT_EQ(handles[2], 13);
  EXPECT_TRUE(host.Faults().empty());
}

TEST_F(NativeWordsTest, GameThatWritesHandlesWideLeavesTheNeighbouringSlots) {
  sim::World& world = host.GetWorld();
  std::int32_t slots[3] = {};
  for (std::int32_t& slot : slots) {
    sim::Ped ped;
    ped.heldByScript = true;
    slot = world.AddPed(ped);
  }
  sim::FaultInjector injector(host);
  injector.Arm(sim::FaultKind::kHandleWrittenWide, 1, true);
  const std::int32_t last = slots[2];
  native::Invoke(sim::natives::kDeletePed, &slots[1]);
  EXPECT_EQ(injector.Injected(), 1u);
  EXPECT_EQ(slots[1], 0);
  EXPECT_EQ(slots[2], last);
  EXPECT_NE(world.FindPed(last), nullptr);
  EXPECT_TRUE(host.Faults().empty());
}

}  // namespace
