// The argument words and result reads of the native invocation layer, checked against what the
// simulated host receives and returns.
#include <gtest/gtest.h>

#include "core/sim_host.h"
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
  EXPECT_EQ(words[5], reinterpret_cast<std::uintptr_t>(&handle));
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

}  // namespace
