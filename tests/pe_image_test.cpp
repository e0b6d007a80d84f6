// The PE reader on sound images and on every kind of damage a player's file may carry: each
// read either succeeds or names the damage the loader would stop on, and none reads outside the
// file.
#include <gtest/gtest.h>

#include "binary_reader/checked_bytes.h"
#include "binary_reader/pe_image.h"
#include "support/pe_builder.h"

namespace {

using holdout_test::BuildPe;
using holdout_test::BuiltPe;
using holdout_test::PeContents;
using holdout_test::Put16;
using holdout_test::Put32;
using holdout_test::Put64;

PeContents HostAndPlugin() {
  PeContents layout;
  layout.imports = {{"KERNEL32.dll", {"GetTickCount", "Sleep"}},
                    {"ScriptHookFrontier.dll", {"?scriptWait@@YAXK@Z"}}};
  layout.exports = {"?nativeCall@@YAPEA_KXZ", "?scriptWait@@YAXK@Z"};
  return layout;
}

// Reads bytes copied into a buffer of exactly their size, so that ASan sees any read past it.
PeReading ReadExactly(const std::vector<std::uint8_t>& bytes) {
  const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size() + 1]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return ReadPeImage(std::span<const std::uint8_t>(copy.get(), bytes.size()));
}

std::string ProblemOf(const std::vector<std::uint8_t>& bytes) {
  return ReadExactly(bytes).problem;
}

// The problem of the built image after `damage`.
template <typename Damage>
std::string ProblemAfter(const BuiltPe& built, Damage damage) {
  std::vector<std::uint8_t> bytes = built.bytes;
  damage(bytes);
  return ProblemOf(bytes);
}

bool Says(const std::string& text, const std::string& words) {
  return text.find(words) != std::string::npos;
}

TEST(PeImage, ReadsTheImportsOfASoundLibrary) {
  const PeReading reading = ReadExactly(BuildPe(HostAndPlugin()).bytes);
  ASSERT_EQ(reading.problem, "");
  const PeImage& image = reading.image;
  EXPECT_TRUE(image.isDll);
  ASSERT_EQ(image.imports.size(), 2u);
  EXPECT_EQ(image.imports[0].name, "KERNEL32.dll");
  ASSERT_EQ(image.imports[0].functions.size(), 2u);
  EXPECT_EQ(image.imports[0].functions[1].name, "Sleep");
  EXPECT_EQ(image.imports[1].functions[0].name, "?scriptWait@@YAXK@Z");
  ASSERT_NE(image.layout, nullptr);
  EXPECT_NE(image.layout->exports.rva, 0u);

  PeContents program = HostAndPlugin();
  program.dll = false;
  EXPECT_FALSE(ReadExactly(BuildPe(program).bytes).image.isDll);
}

TEST(PeImage, SaysWhatAFileIsWhenItIsNoImage) {
  const std::string text = "[Main]\r\nDebug=1\r\n";
  const struct {
    std::vector<std::uint8_t> bytes;
    const char* problem;
  } cases[] = {
      {{}, "it is empty"},
      {std::vector<std::uint8_t>(4096, 0), "nothing but zero bytes"},
      {std::vector<std::uint8_t>(text.begin(), text.end()), "a text file"},
      {{0x7F, 'E', 'L', 'F', 2, 1, 1, 0}, "does not start with the signature \"MZ\""},
      {{'M', 0}, "does not start with the signature \"MZ\""},
      {{'M', 'Z', 0, 0}, "ends inside its first header"},
  };
  for (const auto& example : cases) {
    EXPECT_TRUE(Says(ProblemOf(example.bytes), example.problem)) << ProblemOf(example.bytes);
  }

  std::vector<std::uint8_t> pastTheEnd = BuildPe(HostAndPlugin()).bytes;
  Put32(pastTheEnd, 0x3C, 0xFFFFFFF0);
  EXPECT_TRUE(Says(ProblemOf(pastTheEnd), "points past the end"));
  std::vector<std::uint8_t> dos = BuildPe(HostAndPlugin()).bytes;
  dos[0x40] = 'X';
  EXPECT_TRUE(Says(ProblemOf(dos), "signature \"PE\" is missing"));
}

TEST(PeImage, RefusesImagesFor32BitAndOtherMachines) {
  const BuiltPe built = BuildPe(HostAndPlugin());
  const struct {
    std::size_t offset;
    std::uint16_t value;
    const char* problem;
  } cases[] = {
      {built.machineOffset, 0x014C, "32-bit library"},
      {built.machineOffset, 0xAA64, "ARM64"},
      {built.machineOffset, 0x01C4, "another kind of machine (code 0x01C4)"},
      {built.magicOffset, 0x010B, "32-bit image"},
      {built.magicOffset, 0x0107, "headers are damaged"},
      {built.sectionCountOffset, 0, "no sections"},
      {built.sectionCountOffset, 97, "at most 96"},
      {built.sectionCountOffset, 40, "ends inside its section table"},
  };
  for (const auto& example : cases) {
    std::vector<std::uint8_t> bytes = built.bytes;
    Put16(bytes, example.offset, example.value);
    EXPECT_TRUE(Says(ProblemOf(bytes), example.problem))
        << example.problem << ": " << ProblemOf(bytes);
  }
}

// The loader reads a file in 512-byte sectors: a file cut inside its last sector loads, with
// zeros for what is missing; a file cut anywhere before does not.
TEST(PeImage, EveryCutBeforeTheLastSectorIsReportedAndNoneIsReadPastItsEnd) {
  const std::vector<std::uint8_t> whole = BuildPe(HostAndPlugin()).bytes;
  ASSERT_EQ(whole.size() % 512, 0u);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + length);
    const bool inLastSector = length > whole.size() - 512;
    EXPECT_EQ(ProblemOf(cut).empty(), inLastSector) << "cut at " << length;
  }
  EXPECT_TRUE(
      Says(ProblemOf(std::vector<std::uint8_t>(whole.begin(), whole.end() - 512)), "cut short"));
}

TEST(PeImage, TheLayoutIsCheckedAsTheLoaderChecksIt) {
  const BuiltPe built = BuildPe(HostAndPlugin());
  const std::size_t optional = built.magicOffset;
  const std::size_t section = built.sectionHeaderOffset;
  const struct {
    std::size_t offset;
    std::uint32_t value;
    const char* problem;
  } cases[] = {
      {optional + 32, 0x1800, "(6144 bytes) is not a power of two"},
      {optional + 32, 0, "(0 bytes) is not a power of two"},
      {optional + 36, 0x2000, "is smaller than in the file (8192 bytes)"},
      {optional + 56, 0x1000, "runs past the end of the image"},
      {optional + 60, 0x1200, "more than lie before its first section"},
      {section + 12, 0x1010, "does not start at a multiple"},
      {section + 16, 0x10000, "cut short: its sections run to byte"},
      {section + 20, 0x100000, "cut short: its sections run to byte"},
      {optional + 16, 0x5000, "its entry point"},
  };
  for (const auto& example : cases) {
    const std::string problem =
        ProblemAfter(built, [&](auto& bytes) { Put32(bytes, example.offset, example.value); });
    EXPECT_TRUE(Says(problem, example.problem)) << example.problem << ": " << problem;
  }
  // A second, empty section lies at address 0, inside the first.
  EXPECT_TRUE(Says(ProblemAfter(built, [&](auto& b) { Put16(b, built.sectionCountOffset, 2); }),
                   "(.rdata) and section 2 () overlap in memory"));
  // Code read from the headers is not the section's.
  EXPECT_TRUE(Says(ProblemAfter(built,
                                [&](auto& b) {
                                  Put32(b, section + 20, 0x100);
                                  Put32(b, section + 36, 0x60000020);
                                }),
                   "code of section 1 (.rdata) would be read from its headers"));
  // An unaligned file offset is read from the start of its sector, as the loader reads it.
  EXPECT_EQ(ProblemAfter(built,
                         [&](auto& b) {
                           Put32(b, section + 16, 0x1FF);
                           Put32(b, section + 20, 0x201);
                         }),
            "");
}

TEST(PeImage, ImportTablesAreWalkedAsTheLoaderWalksThem) {
  const BuiltPe built = BuildPe(HostAndPlugin());
  const std::size_t first = built.importDescriptorOffset;
  const std::size_t second = first + 20;
  const auto imports = [&built](auto damage) {
    std::vector<std::uint8_t> bytes = built.bytes;
    damage(bytes);
    return ReadExactly(bytes);
  };
  // A descriptor without a name or without an address list ends the table.
  EXPECT_EQ(imports([&](auto& b) { Put32(b, second + 12, 0); }).image.imports.size(), 1u);
  EXPECT_EQ(imports([&](auto& b) { Put32(b, second + 16, 0); }).image.imports.size(), 1u);
  // Without a lookup list the functions are read from the address list.
  const PeReading noLookup = imports([&](auto& b) { Put32(b, first, 0); });
  ASSERT_EQ(noLookup.problem, "");
  EXPECT_EQ(noLookup.image.imports[0].functions.size(), 2u);
  // The same descriptor twice binds the same entries again.
  const PeReading twice = imports(
      [&](auto& b) { std::copy(b.begin() + first, b.begin() + first + 20, b.begin() + second); });
  EXPECT_EQ(twice.problem, "");
  EXPECT_EQ(twice.image.imports.size(), 1u);

  const auto problem = [&](auto damage) { return imports(damage).problem; };
  EXPECT_TRUE(Says(problem([&](auto& b) { Put32(b, first + 16, built.listRvas[1]); }),
                   "the address list for KERNEL32.dll and the address list for "
                   "ScriptHookFrontier.dll overlap"));
  EXPECT_TRUE(Says(problem([&](auto& b) { Put32(b, first, built.listRvas[0] + 8); }),
                   "the list of functions it imports from KERNEL32.dll ends before the address "
                   "list for KERNEL32.dll does"));
  EXPECT_TRUE(Says(problem([&](auto& b) { Put32(b, first + 16, 0x7FFFF000); }),
                   "the address list for KERNEL32.dll lies outside the file's data"));
  EXPECT_TRUE(
      Says(problem([&](auto& b) { Put64(b, built.At(built.listRvas[1]), (1ull << 40) | 0x1000); }),
           "imports from ScriptHookFrontier.dll holds a damaged entry"));
  EXPECT_TRUE(Says(problem([&](auto& b) { Put32(b, built.importDirectoryEntry, 0x7FFF0000); }),
                   "import table lies outside the file's data"));
  PeContents longName = HostAndPlugin();
  longName.imports[0].name = std::string(300, 'K') + ".dll";
  EXPECT_TRUE(Says(ProblemOf(BuildPe(longName).bytes), "imported library 1 never ends"));
  // The headers' table of addresses covers both lists; the table cut after the first leaves the
  // second unfilled.
  EXPECT_TRUE(Says(problem([&](auto& b) {
                     Put32(b, built.exportDirectoryEntry + 12 * 8, built.listRvas[0]);
                     Put32(b, built.exportDirectoryEntry + 12 * 8 + 4,
                           built.lastListEndRva + 8 - built.listRvas[0]);
                     Put32(b, second + 12, 0);
                   }),
                   "holds entries that no import fills"));
}

// The bytes a file is sniffed by when it is no image: all of a short file, no more of a long one.
TEST(PeImage, AFileStartIsAllOfAShortFileAndNoMoreOfALongOne) {
  const std::uint8_t bytes[] = {'M', 'Z', 0, 1, 2};
  const CheckedBytes file(bytes);
  EXPECT_EQ(file.Start(512).size(), 5u);
  EXPECT_EQ(file.Start(2).size(), 2u);
  EXPECT_EQ(file.Start(0).size(), 0u);
  EXPECT_EQ(CheckedBytes(std::span<const std::uint8_t>()).Start(512).size(), 0u);
}

}  // namespace
