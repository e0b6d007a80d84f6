// The tools' SHA-256 against the standard's examples and against `sha256sum`: lengths on each
// side of the padding's limits (a message that leaves room in its last block for the 1 bit and
// the 64-bit length, 55 bytes, one that does not, 56, and the block's own size, 64, each one
// below and one above), a long message, and every byte value.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "player/sha256.h"

namespace {

TEST(Sha256, GivesTheStandardsExamples) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// `head -c N /dev/zero | tr '\0' a | sha256sum`.
TEST(Sha256, AgreesWithSha256sumAroundThePaddingsLimits) {
  const std::pair<std::size_t, const char*> cases[] = {
      {1, "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb"},
      {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {57, "f13b2d724659eb3bf47f2dd6af1accc87b81f09f59f2b75e5c0bed6589dfe8c6"},
      {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
      {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
      {120, "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
      {121, "e9615320128cc7a3d6078e9af05603188e5ccbf0d07d8b735d3df5e8e0c1281f"},
  };
  for (const auto& [length, digest] : cases) {
    EXPECT_EQ(Sha256Hex(std::string(length, 'a')), digest) << length << " bytes";
  }
}

// Bytes 0 to 255, three times: no byte value is taken for a sign or a terminator.
TEST(Sha256, ReadsEveryByteValue) {
  std::string bytes;
  for (int round = 0; round < 3; ++round) {
    for (int value = 0; value < 256; ++value) {
      bytes.push_back(static_cast<char>(value));
    }
  }
  EXPECT_EQ(Sha256Hex(bytes), "f3a25aa93aa2fbba28d79260535bbd6a5eb0fc1c24a8b0f04e12b484c1dfe363");
}

}  // namespace
