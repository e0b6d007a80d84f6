// The PE reader on sound images and on every kind of damage a player's file may carry: each
// read either succeeds or names the damage, and none reads outside the file.
#include <gtest/gtest.h>

#include "pe_image.h"
#include "support/pe_builder.h"

namespace {

using holdout_test::BuildPe;
using holdout_test::BuiltPe;
using holdout_test::PeSpec;
using holdout_test::Put16;
using holdout_test::Put32;

PeSpec HostAndPlugin() {
  PeSpec layout;
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

TEST(PeImage, ReadsTheImportsAndExportsOfASoundLibrary) {
  const PeReading reading = ReadExactly(BuildPe(HostAndPlugin()).bytes);
  ASSERT_EQ(reading.problem, "");
  const PeImage& image = reading.image;
  EXPECT_TRUE(image.isDll);
  ASSERT_EQ(image.imports.size(), 2u);
  EXPECT_EQ(image.imports[0].name, "KERNEL32.dll");
  ASSERT_EQ(image.imports[0].functions.size(), 2u);
  EXPECT_EQ(image.imports[0].functions[1].name, "Sleep");
  EXPECT_EQ(image.imports[1].functions[0].name, "?scriptWait@@YAXK@Z");
  EXPECT_EQ(image.exportNames,
            (std::vector<std::string>{"?nativeCall@@YAPEA_KXZ", "?scriptWait@@YAXK@Z"}));
  EXPECT_EQ(image.firstExportOrdinal, 1u);
  EXPECT_EQ(image.exportOrdinalCount, 2u);

  PeSpec program = HostAndPlugin();
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
    EXPECT_NE(ProblemOf(example.bytes).find(example.problem), std::string::npos)
        << ProblemOf(example.bytes);
  }

  std::vector<std::uint8_t> pastTheEnd = BuildPe(HostAndPlugin()).bytes;
  Put32(pastTheEnd, 0x3C, 0xFFFFFFF0);
  EXPECT_NE(ProblemOf(pastTheEnd).find("points past the end"), std::string::npos);
  std::vector<std::uint8_t> dos = BuildPe(HostAndPlugin()).bytes;
  dos[0x40] = 'X';
  EXPECT_NE(ProblemOf(dos).find("signature \"PE\" is missing"), std::string::npos);
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
    EXPECT_NE(ProblemOf(bytes).find(example.problem), std::string::npos)
        << example.problem << ": " << ProblemOf(bytes);
  }
}

TEST(PeImage, EveryCutLengthIsReportedAndNoneIsReadPastItsEnd) {
  const std::vector<std::uint8_t> whole = BuildPe(HostAndPlugin()).bytes;
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + length);
    EXPECT_NE(ProblemOf(cut), "") << "cut at " << length;
  }
  EXPECT_NE(ProblemOf(std::vector<std::uint8_t>(whole.begin(), whole.end() - 1)).find("cut short"),
            std::string::npos);
}

TEST(PeImage, DamagedTablesEndTheReadingWithAProblem) {
  const BuiltPe built = BuildPe(HostAndPlugin());
  const auto damaged = [&built](auto damage) {
    std::vector<std::uint8_t> bytes = built.bytes;
    damage(bytes);
    return ProblemOf(bytes);
  };
  EXPECT_NE(damaged([&](auto& b) {
              Put32(b, built.importDirectoryEntry, 0x7FFF0000);
            }).find("import table lies outside the file's data"),
            std::string::npos);
  EXPECT_NE(damaged([&](auto& b) {
              Put32(b, built.exportDirectoryEntry, 0xFFFFFFFF);
            }).find("export table lies outside the file's data"),
            std::string::npos);
  // The section ends just before the zero entry that ends the last import list.
  EXPECT_NE(damaged([&](auto& b) {
              Put32(b, built.sectionHeaderOffset + 8, built.lastListEndRva - built.sectionRva);
            }).find("imports from ScriptHookFrontier.dll never ends"),
            std::string::npos);
  EXPECT_NE(damaged([&](auto& b) {
              Put32(b, built.exportDirectoryOffset + 24, 0x10000000);
            }).find("more than 65536"),
            std::string::npos);
  EXPECT_NE(damaged([&](auto& b) {
              Put32(b, built.exportDirectoryOffset + 24, 60000);
            }).find("exported names lies outside"),
            std::string::npos);
  // Without imports the last exported name ends the section: cut, it never ends.
  PeSpec exportsOnly;
  exportsOnly.exports = {"first", "second"};
  const BuiltPe exporter = BuildPe(exportsOnly);
  std::vector<std::uint8_t> bytes = exporter.bytes;
  Put32(bytes, exporter.sectionHeaderOffset + 8, exporter.sectionSize - 2);
  EXPECT_NE(ProblemOf(bytes).find("exported name number 2 never ends"), std::string::npos)
      << ProblemOf(bytes);
}

}  // namespace
