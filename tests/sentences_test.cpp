// The tools' words: names compared and printed as players' files need, limits read in their unit,
// and numbers put into a sentence in full, however wide the number.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "sentences/text.h"

namespace {

TEST(Sentences, NamesCompareWithoutCaseAndPrintSafely) {
  EXPECT_EQ(Lower("ScriptHookFrontier.DLL"), "scripthookfrontier.dll");
  EXPECT_EQ(Lower("\xC4pfel [KeyBinds]"), "\xC4pfel [keybinds]");  // other bytes stay
  EXPECT_EQ(Printable("Holdout\t\x01\x7F\xE4.asi"), "Holdout????.asi");
}

TEST(Sentences, ListsReadAsProse) {
  EXPECT_EQ(Listed({}), "");
  EXPECT_EQ(Listed({"a"}), "a");
  EXPECT_EQ(Listed({"a", "b"}), "a and b");
  EXPECT_EQ(Listed({"a", "b", "c"}), "a, b and c");
}

TEST(Sentences, LimitsAndNumbersReadInFull) {
  EXPECT_EQ(Mebibytes(std::uint64_t{64} << 20), "64 MiB");
  EXPECT_EQ(Mebibytes(16 << 20), "16 MiB");
  EXPECT_EQ(Formatted("section %llu of %llu", 3, std::uint8_t{96}), "section 3 of 96");
  EXPECT_EQ(Formatted("code 0x%04llX", std::uint16_t{0x1C4}), "code 0x01C4");
  EXPECT_EQ(Formatted("byte %llu", std::numeric_limits<std::uint64_t>::max()),
            "byte 18446744073709551615");
}

}  // namespace
