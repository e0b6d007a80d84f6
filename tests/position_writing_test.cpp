// The position writer against the C runtime's "%.5f": the float's exact value rounded to five
// decimals, ties to even, at each place where the arithmetic changes: ties and their
// neighbours, carries through nines into the whole part, the largest float and the one below
// it, subnormals, negative zero and negative values that round to zero, and every power of two.
// glibc's printf writes the exact decimal value, so it serves as the oracle here; the Windows
// C runtime is compared over the position corpus under Wine.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "settings/position.h"

namespace {

// One coordinate as the plug-in writes it, taken out of "{x,0.00000,0.00000}".
std::string Written(float value) {
  const std::string text = FormatPosition(Vector3{value, 0.0f, 0.0f});
  return text.substr(1, text.find(',') - 1);
}

std::string RuntimeWrites(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.5f", static_cast<double>(value));
  return text;
}

float Below(float value) {
  return std::nextafter(value, -std::numeric_limits<float>::infinity());
}

float Above(float value) {
  return std::nextafter(value, std::numeric_limits<float>::infinity());
}

TEST(PositionWriting, TiesRoundToEvenAndTheirNeighboursToTheNearest) {
  // j/64 for odd j are the floats exactly halfway between two five-decimal values.
  EXPECT_EQ(Written(0.015625f), "0.01562");
  EXPECT_EQ(Written(0.046875f), "0.04688");
  EXPECT_EQ(Written(-0.015625f), "-0.01562");
  EXPECT_EQ(Written(Below(0.015625f)), "0.01562");
  EXPECT_EQ(Written(Above(0.015625f)), "0.01563");
  EXPECT_EQ(Written(Below(0.046875f)), "0.04687");
  EXPECT_EQ(Written(Above(0.046875f)), "0.04688");
  EXPECT_EQ(Written(2726.015625f), "2726.01562");
}

TEST(PositionWriting, ACarryRunsThroughTheNinesIntoTheWholePart) {
  EXPECT_EQ(Written(0.9999999f), "1.00000");
  EXPECT_EQ(Written(-0.9999999f), "-1.00000");
  EXPECT_EQ(Written(9.999999f), "10.00000");
  EXPECT_EQ(Written(0.99999f), "0.99999");
  EXPECT_EQ(Written(0.999994f), "0.99999");
}

TEST(PositionWriting, TheLargestFloatsAreWrittenWhole) {
  const float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(Written(largest), "340282346638528859811704183484516925440.00000");
  EXPECT_EQ(Written(-largest), "-340282346638528859811704183484516925440.00000");
  EXPECT_EQ(Written(Below(largest)), "340282326356119256160033759537265639424.00000");
  EXPECT_EQ(Written(std::numeric_limits<float>::infinity()), "inf");
  EXPECT_EQ(Written(-std::numeric_limits<float>::infinity()), "-inf");
}

TEST(PositionWriting, TinyAndNegativeZeroValuesKeepTheirSign) {
  EXPECT_EQ(Written(0.0f), "0.00000");
  EXPECT_EQ(Written(-0.0f), "-0.00000");
  EXPECT_EQ(Written(std::numeric_limits<float>::denorm_min()), "0.00000");
  EXPECT_EQ(Written(-std::numeric_limits<float>::denorm_min()), "-0.00000");
  EXPECT_EQ(Written(std::numeric_limits<float>::min()), "0.00000");
  // 0.000005 lies between two floats: the one below rounds down, the one above up.
  EXPECT_EQ(Written(-Below(0.000005f)), "-0.00000");
  EXPECT_EQ(Written(-Above(0.000005f)), "-0.00001");
  EXPECT_EQ(Written(-0.000004f), "-0.00000");
}

TEST(PositionWriting, MatchesTheCRuntimeAtEveryPowerOfTwoAndItsNeighbours) {
  for (int exponent = -149; exponent <= 127; ++exponent) {
    const float power = std::ldexp(1.0f, exponent);
    for (const float value : {Below(power), power, Above(power)}) {
      ASSERT_EQ(Written(value), RuntimeWrites(value)) << std::hexfloat << value;
      ASSERT_EQ(Written(-value), RuntimeWrites(-value)) << std::hexfloat << -value;
    }
  }
}

TEST(PositionWriting, MatchesTheCRuntimeOverRandomFloats) {
  std::mt19937 random(5);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_real_distribution<float> nearby(-20000.0f, 20000.0f);
  for (int i = 0; i < 300000; ++i) {
    const float anyFloat = std::bit_cast<float>(bits(random));
    if (!std::isnan(anyFloat)) {
      ASSERT_EQ(Written(anyFloat), RuntimeWrites(anyFloat)) << std::hexfloat << anyFloat;
    }
    const float position = nearby(random);
    ASSERT_EQ(Written(position), RuntimeWrites(position)) << std::hexfloat << position;
  }
}

}  // namespace
