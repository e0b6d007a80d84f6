// Export lookups as the loader makes them: the hint first, then a binary search that only a
// sorted name table answers; ordinals through the ordinal table into the address table; damage
// reported only where the lookup reads it; forwarders taken apart by their last dot.
#include <gtest/gtest.h>

#include "binary_reader/pe_exports.h"
#include "binary_reader/pe_image.h"
#include "support/pe_builder.h"

namespace {

using holdout_test::BuildPe;
using holdout_test::BuiltPe;
using holdout_test::PeContents;
using holdout_test::Put16;
using holdout_test::Put32;
using Kind = PeExportTarget::Kind;

PeContents Exporting(std::vector<std::string> names) {
  PeContents layout;
  layout.exports = std::move(names);
  return layout;
}

std::shared_ptr<const PeLayout> Loaded(const std::vector<std::uint8_t>& bytes) {
  const PeReading reading = ReadPeImage(bytes);
  EXPECT_EQ(reading.problem, "");
  return reading.image.layout;
}

// Field `field` of the export directory of a built image.
std::size_t Field(const BuiltPe& built, std::size_t field) {
  return built.exportDirectoryOffset + field;
}

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(PeExports, FindsEveryNameByItsHintOrByTheSearch) {
  const std::vector<std::string> names = {"alpha", "beta", "delta", "gamma", "omega"};
  const auto image = Loaded(BuildPe(Exporting(names)).bytes);
  for (std::uint32_t i = 0; i < names.size(); ++i) {
    for (const std::optional<std::uint32_t> hint :
         {std::optional<std::uint32_t>(i), std::optional<std::uint32_t>((i + 1) % 5),
          std::optional<std::uint32_t>(70000), std::optional<std::uint32_t>()}) {
      EXPECT_EQ(FindExport(*image, names[i], hint).kind, Kind::kAddress) << names[i];
    }
    EXPECT_EQ(FindExportByOrdinal(*image, i + 1).kind, Kind::kAddress);
  }
  EXPECT_EQ(FindExport(*image, "alphabet", std::nullopt).kind, Kind::kMissing);
  EXPECT_EQ(FindExport(*image, "alph", std::nullopt).kind, Kind::kMissing);
  EXPECT_EQ(FindExportByOrdinal(*image, 0).kind, Kind::kMissing);
  EXPECT_EQ(FindExportByOrdinal(*image, 6).kind, Kind::kMissing);
  EXPECT_EQ(FindExport(*Loaded(BuildPe(PeContents{}).bytes), "alpha", 0).kind, Kind::kMissing);
}

TEST(PeExports, AnUnsortedNameTableHidesNamesFromTheSearchButNotFromTheHint) {
  const auto image = Loaded(BuildPe(Exporting({"gamma", "alpha", "beta"})).bytes);
  EXPECT_EQ(FindExport(*image, "gamma", std::nullopt).kind, Kind::kMissing);
  EXPECT_EQ(FindExport(*image, "gamma", 0).kind, Kind::kAddress);
  EXPECT_EQ(FindExport(*image, "alpha", std::nullopt).kind, Kind::kAddress);
}

TEST(PeExports, DamageIsReportedWhereTheLookupReadsIt) {
  const BuiltPe built = BuildPe(Exporting({"alpha", "beta", "gamma"}));
  const auto lookUp = [&built](auto damage, const std::string& name) {
    std::vector<std::uint8_t> bytes = built.bytes;
    damage(bytes);
    return FindExport(*Loaded(bytes), name, std::nullopt);
  };
  const std::uint32_t pastTheEnd = 0x7FFF0000;
  EXPECT_EQ(lookUp([&](auto& b) { Put32(b, Field(built, 36), pastTheEnd); }, "beta").problem,
            "its export ordinal table lies outside the file's data");
  EXPECT_EQ(lookUp([&](auto& b) { Put32(b, Field(built, 28), pastTheEnd); }, "beta").problem,
            "its export address table lies outside the file's data");
  EXPECT_EQ(lookUp([&](auto& b) { Put32(b, Field(built, 32), pastTheEnd); }, "beta").problem,
            "its table of exported names lies outside the file's data");
  EXPECT_EQ(
      lookUp([&](auto& b) { Put32(b, built.exportDirectoryEntry, pastTheEnd); }, "beta").problem,
      "its export table lies outside the file's data");
  // The first name points outside the image: the search for "beta" starts in the middle and
  // never reads it; the search for "alpha" does.
  const std::size_t firstName = built.At(Read32(built.bytes, Field(built, 32)));
  const auto firstNameDamaged = [&](auto& b) { Put32(b, firstName, pastTheEnd); };
  EXPECT_EQ(lookUp(firstNameDamaged, "beta").kind, Kind::kAddress);
  EXPECT_EQ(lookUp(firstNameDamaged, "alpha").problem,
            "exported name number 1 lies outside the file's data");
  // An ordinal past the address table and an address of 0 export nothing.
  const std::size_t ordinals = built.At(Read32(built.bytes, Field(built, 36)));
  EXPECT_EQ(lookUp([&](auto& b) { Put16(b, ordinals + 2, 3); }, "beta").kind, Kind::kMissing);
  const std::size_t addresses = built.At(Read32(built.bytes, Field(built, 28)));
  EXPECT_EQ(lookUp([&](auto& b) { Put32(b, addresses + 4, 0); }, "beta").kind, Kind::kMissing);
  // The loader's search bounds are signed: more than 2^31 names are never searched.
  EXPECT_EQ(lookUp([&](auto& b) { Put32(b, Field(built, 24), 0x80000001); }, "beta").kind,
            Kind::kMissing);
}

TEST(PeExports, ForwardersAreReadFromInsideTheExportTable) {
  PeContents layout = Exporting({"alpha", "beta"});
  layout.forwards = {{"beta", "KERNEL32.GetTickCount"}};
  const BuiltPe built = BuildPe(layout);
  const PeExportTarget beta = FindExport(*Loaded(built.bytes), "beta", std::nullopt);
  EXPECT_EQ(beta.kind, Kind::kForwarder);
  EXPECT_EQ(beta.forwarder, "KERNEL32.GetTickCount");
  // With the export table's size cut to its directory, the same address is a plain address.
  std::vector<std::uint8_t> bytes = built.bytes;
  Put32(bytes, built.exportDirectoryEntry + 4, 40);
  EXPECT_EQ(FindExport(*Loaded(bytes), "beta", std::nullopt).kind, Kind::kAddress);
}

TEST(PeExports, ForwardersAreTakenApartByTheirLastDot) {
  const struct {
    const char* text;
    const char* library;
    const char* function;
    std::optional<std::uint32_t> ordinal;
  } cases[] = {
      {"KERNEL32.GetTickCount", "KERNEL32.dll", "GetTickCount", std::nullopt},
      {"Helper.dll.Run", "Helper.dll", "Run", std::nullopt},
      {"Helper  .Run", "Helper.dll", "Run", std::nullopt},
      {"Helper.#12", "Helper.dll", "", 12},
      {"Helper.#x", "Helper.dll", "", 0},
      {"Helper.#-1", "Helper.dll", "", 0xFFFFFFFF},
  };
  for (const auto& example : cases) {
    const std::optional<PeForwarder> forwarder = ParseForwarder(example.text);
    ASSERT_TRUE(forwarder.has_value()) << example.text;
    EXPECT_EQ(forwarder->library, example.library) << example.text;
    EXPECT_EQ(forwarder->function, example.function) << example.text;
    EXPECT_EQ(forwarder->ordinal, example.ordinal) << example.text;
  }
  EXPECT_FALSE(ParseForwarder("NoDotAnywhere").has_value());
}

}  // namespace
