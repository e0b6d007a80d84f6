// The simulated host's profile reader, pinned to the answers the system's reader gives (the
// full corpus is compared under Wine; these are the cases that matter most to the plug-in and
// the ones where the system's rules are least obvious).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/code_page.h"
#include "core/scratch_directory.h"
#include "platform/win32_functions.h"
#include "profile/profile_reader.h"

namespace {

using profile::GetInt;
using profile::GetString;

struct IntCase {
  const char* what;
  std::string text;
  const char* section;
  const char* key;
  std::int32_t defaultValue;
  std::uint32_t expected;
};

TEST(ProfileReaderTest, IntegerReads) {
  const std::string numbers =
      "[N]\nplus=+5\nminus=-5\nhex=0x1F\nupperHex=0X1f\noctal=0o17\nbinary=0b101\nzeroLed=010\n"
      "trailing=12abc\nwide=4294967296\nhuge=99999999999\nbelow=-2147483649\nfloat=1.5\n"
      "quoted=\" 7\"\nword=abc\nlong=" +
      std::string(28, '0') + "12\n";
  const std::vector<IntCase> cases = {
      {"names ignore case", "[Main]\nDebug=1\n", "MAIN", "dEBUG", 0, 1},
      {"white space around names and '='", "[ Main ]\n\tKey \t=\t 8 \t\n", "Main", "Key", 0, 8},
      {"looked-up names are trimmed", "[Main]\nKey=8\n", " Main ", " Key ", 0, 8},
      {"a sign", numbers, "N", "plus", -7, 5},
      {"a minus sign", numbers, "N", "minus", -7, 0xFFFFFFFBu},
      {"hexadecimal", numbers, "N", "hex", -7, 31},
      {"an upper-case prefix is no prefix", numbers, "N", "upperHex", -7, 0},
      {"octal prefix", numbers, "N", "octal", -7, 15},
      {"binary prefix", numbers, "N", "binary", -7, 5},
      {"a leading zero is still decimal", numbers, "N", "zeroLed", -7, 10},
      {"digits up to trailing text", numbers, "N", "trailing", -7, 12},
      {"past 32 bits wraps", numbers, "N", "wide", -7, 0},
      {"far past 32 bits wraps", numbers, "N", "huge", -7, 1215752191},
      {"below -2^31 wraps", numbers, "N", "below", -7, 2147483647},
      {"a fraction stops at the point", numbers, "N", "float", -7, 1},
      {"quotes go before the number is read", numbers, "N", "quoted", -7, 7},
      {"no digits reads as 0", numbers, "N", "word", -7, 0},
      {"only the first 29 characters count", numbers, "N", "long", -7, 1},
      {"an empty value gives the default", "[M]\nK=\n", "M", "K", 70, 70},
      {"a blank value gives the default", "[M]\nK=   \n", "M", "K", 70, 70},
      {"an absent key gives the default", "[M]\nK=1\n", "M", "Other", -1, 0xFFFFFFFFu},
      {"an absent section gives the default", "[M]\nK=1\n", "X", "K", 114, 114},
      {"a key without '=' gives the default", "[M]\nK\nK=5\n", "M", "K", 70, 70},
      {"a comment line is a key with a ';' in its name", "[M]\n;K=1\n", "M", "K", 9, 9},
      {"the first of two keys wins", "[M]\nK=1\nK=2\n", "M", "K", 0, 1},
      {"only the first of two sections is read", "[M]\nK=1\n[O]\n[m]\nL=4\n", "M", "L", -1,
       0xFFFFFFFFu},
      {"keys before any header are in section \"\"", "G=3\n[M]\nK=1\n", "", "G", 0, 3},
      {"a \"[]\" header is never reached", "[M]\n[]\nH=8\n", "", "H", -1, 0xFFFFFFFFu},
      {"an unclosed header is no header", "[A]\n[B\nE=5\n", "A", "E", 0, 5},
      {"CRLF line ends", "[M]\r\nA=1\r\nB=2\r\n", "M", "B", 0, 2},
      {"no line end after the last line", "[M]\nA=1\nB=2", "M", "B", 0, 2},
      {"a UTF-8 byte-order mark hides a header right after it",
       "\xEF\xBB\xBF[Main]\r\nMaxEnemies=90\r\n", "Main", "MaxEnemies", 70, 70},
      {"a UTF-8 byte-order mark on a line of its own",
       "\xEF\xBB\xBF\r\n[Main]\r\nMaxEnemies=90\r\n", "Main", "MaxEnemies", 70, 90},
      {"UTF-16, little-endian",
       std::string("\xFF\xFE[\0M\0]\0\n\0K\0=\0"
                   "9\0",
                   16),
       "M", "K", 0, 9},
      {"UTF-16, big-endian",
       std::string("\xFE\xFF\0[\0M\0]\0\n\0K\0=\0"
                   "9",
                   16),
       "M", "K", 0, 9},
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(GetInt(c.text, c.section, c.key, c.defaultValue), c.expected) << c.what;
  }
  EXPECT_EQ(GetInt(std::nullopt, "Main", "MaxEnemies", 70), 70u) << "no file";
}

struct StringCase {
  const char* what;
  std::string text;
  const char* key;
  const char* defaultValue;
  std::uint32_t size;
  std::string expected;  // the returned length is its length
};

TEST(ProfileReaderTest, StringReads) {
  const std::string text =
      "[P]\nPos = {2726.1582,-1067.7278,47.4046}  \nDouble=\"a b\"\nSingle='c'\nOpen=\"x\n"
      "Mixed='x\"\nInner=\"a\"b\"\nTrail=\"x\" y\nEmpty=\"\"\nHash=1 # not a comment\n"
      "Long=" +
      std::string(60, 'd') + "\nQuotedLong=\"" + std::string(55, 'e') + "\"\nBare\n";
  const std::vector<StringCase> cases = {
      {"a position, trimmed", text, "Pos", "", 52, "{2726.1582,-1067.7278,47.4046}"},
      {"double quotes go", text, "Double", "", 52, "a b"},
      {"single quotes go", text, "Single", "", 52, "c"},
      {"an unmatched quote stays", text, "Open", "", 52, "\"x"},
      {"mismatched quotes stay", text, "Mixed", "", 52, "'x\""},
      {"only the outer pair goes", text, "Inner", "", 52, "a\"b"},
      {"quotes not around the whole value stay", text, "Trail", "", 52, "\"x\" y"},
      {"an empty quoted value", text, "Empty", "d", 52, ""},
      {"text after '#' or ';' is part of the value", text, "Hash", "", 52, "1 # not a comment"},
      {"a long value is cut to 51 characters", text, "Long", "", 52, std::string(51, 'd')},
      {"quotes go before the cut", text, "QuotedLong", "", 52, std::string(51, 'e')},
      {"a small buffer", text, "Double", "", 2, "a"},
      {"a one-byte buffer holds the terminator only", text, "Pos", "", 1, ""},
      {"a key without '=' gives the default", text, "Bare", "dflt", 52, "dflt"},
      {"an absent key gives the default", text, "None", "fallback", 52, "fallback"},
      {"the default loses trailing spaces only", text, "None", "  pad  ", 52, "  pad"},
      {"the default keeps a trailing tab", text, "None", "tab\t", 52, "tab\t"},
      {"the default loses its quotes", text, "None", "\"q\"", 52, "q"},
      {"the default is cut too", text, "None", "default", 5, "defa"},
  };
  for (const StringCase& c : cases) {
    std::vector<char> buffer(c.size + 8, '#');
    const std::uint32_t length =
        GetString(c.text, "P", c.key, c.defaultValue, buffer.data(), c.size);
    EXPECT_EQ(length, c.expected.size()) << c.what;
    EXPECT_EQ(std::string(buffer.data()), c.expected) << c.what;
    EXPECT_EQ(std::string(buffer.data() + c.size, 8), std::string(8, '#'))
        << c.what << ": written past the buffer";
  }
  char untouched = '#';
  EXPECT_EQ(GetString(text, "P", "Pos", "", &untouched, 0), 0u);
  EXPECT_EQ(untouched, '#') << "a buffer of size 0 gets nothing written";
}

// The plug-in's own path on Linux: a Windows path with '\\' separators, read through the Win32
// functions the simulated host provides.
TEST(ProfileReaderTest, WindowsPathsReachTheFile) {
  std::string error;
  const std::optional<sim::ScratchDirectory> scratch =
      sim::ScratchDirectory::Create("holdout-profile-reader", error);
  ASSERT_TRUE(scratch) << error;
  const std::filesystem::path& directory = scratch->Path();
  std::filesystem::create_directories(directory / "sub");
  std::ofstream(directory / "sub" / "Holdout.ini") << "[Main]\r\nMaxEnemies=90\r\n";
  const std::u16string path = sim::Utf16FromUtf8(directory.string() + "\\sub\\Holdout.ini");
  EXPECT_EQ(GetPrivateProfileIntW(u"Main", u"MaxEnemies", 70, path.c_str()), 90u);
  EXPECT_EQ(GetPrivateProfileIntW(u"Main", u"MaxEnemies", 70, (path + u".missing").c_str()), 70u);
}

}  // namespace
