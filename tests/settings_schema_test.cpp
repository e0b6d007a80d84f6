// The settings reader over a profile source: one read per setting, with the defaults the
// shipped Holdout.ini tells players and the buffer a position is read into; the position verdicts
// that check-ini explains; positions written as text and read back; and which integer texts count
// as numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "profile/profile_text.h"
#include "settings/settings_schema.h"

namespace {

// A profile source that answers every question with its default and records the questions as
// "Section/Key default" (an integer) or "Section/Key text SIZE" (a text and its buffer size).
class RecordingSource : public ProfileSource {
 public:
  std::uint32_t GetInt(const char* section, const char* key,
                       std::int32_t defaultValue) const override {
    reads.push_back(std::string(section) + "/" + key + " " + std::to_string(defaultValue));
    return static_cast<std::uint32_t>(defaultValue);
  }
  std::uint32_t GetString(const char* section, const char* key, char* buffer,
                          std::uint32_t size) const override {
    reads.push_back(std::string(section) + "/" + key + " text " + std::to_string(size));
    buffer[0] = '\0';
    return 0;
  }
  mutable std::vector<std::string> reads;
};

// What the shipped Holdout.ini gives players, as the reader should ask for it: every integer
// setting with the value written there as its default, every position with the buffer a
// position is read into.
std::vector<std::string> ShippedReads() {
  std::ifstream file(HOLDOUT_SHIPPED_INI, std::ios::binary);
  std::vector<std::string> reads;
  std::string section;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line[0] == ';') {
      continue;
    }
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    reads.push_back(section + "/" + key + " " +
                    (value[0] == '{' ? "text " + std::to_string(kPositionBufferSize) : value));
  }
  return reads;
}

TEST(SettingsReader, ReadsEverySettingOnceWithTheDefaultPlayersAreShipped) {
  RecordingSource source;
  Settings record;
  ReadSettings(source, record);
  std::vector<std::string> reads = source.reads;
  std::vector<std::string> shipped = ShippedReads();
  ASSERT_FALSE(shipped.empty()) << HOLDOUT_SHIPPED_INI;
  std::sort(reads.begin(), reads.end());
  std::sort(shipped.begin(), shipped.end());
  EXPECT_EQ(reads, shipped);
}

TEST(SettingsReader, LeavesAPositionAloneUnlessTheFileGivesAUsableOne) {
  Settings record = DefaultSettings();
  record.EnemySpawnPositions[0] = {5.0f, 6.0f, 7.0f};
  ReadSettings(profile::ProfileText(std::string(
                   "[Positions]\nEnemySpawnPosition1={0,0,0}\nEnemySpawnPosition2={1,2}\n")),
               record);
  EXPECT_EQ(record.EnemySpawnPositions[0].x, 5.0f) << "an unusable position changes nothing";
  EXPECT_EQ(record.EnemySpawnPositions[1].x, 1.0f);
  EXPECT_EQ(record.EnemySpawnPositions[1].z, 0.0f);
  EXPECT_EQ(record.PlayerStartingPosition.x, DefaultSettings().PlayerStartingPosition.x);
}

TEST(PositionReading, SaysHowMuchWasReadAndWhyAValueIsRefused) {
  const struct {
    const char* text;
    PositionVerdict verdict;
    int components;
  } cases[] = {
      {"{1,2,3}", PositionVerdict::kUsed, 3},         {"{0,0,5}", PositionVerdict::kUsed, 3},
      {"{1.5,2.5}", PositionVerdict::kPartlyRead, 2}, {"{1 ,2,3}", PositionVerdict::kPartlyRead, 1},
      {"", PositionVerdict::kNothingRead, 0},         {"1,2,3", PositionVerdict::kNothingRead, 0},
      {"{x,1,2}", PositionVerdict::kNothingRead, 0},  {"{nan,1,2}", PositionVerdict::kNotFinite, 3},
      {"{1,2,1e39}", PositionVerdict::kNotFinite, 3}, {"{inf}", PositionVerdict::kNotFinite, 1},
      {"{0,0,0}", PositionVerdict::kOrigin, 3},       {"{-0,0}", PositionVerdict::kOrigin, 2},
  };
  for (const auto& c : cases) {
    const PositionReading reading = ReadPosition(c.text);
    EXPECT_EQ(reading.verdict, c.verdict) << c.text;
    EXPECT_EQ(reading.componentsRead, c.components) << c.text;
    Vector3 position{7.0f, 8.0f, 9.0f};
    EXPECT_EQ(ParsePosition(c.text, position), IsUsable(c.verdict)) << c.text;
  }
}

TEST(PositionText, FiveDecimalsAsLongAsTheCoordinatesNeedAndReadBackAlike) {
  EXPECT_EQ(FormatPosition({2726.1582f, -1067.7278f, 47.4046f}),
            "{2726.15820,-1067.72778,47.40460}");
  EXPECT_EQ(FormatPosition({3e38f, -1e-30f, 0.5f}),
            "{300000000549775575777803994281145270272.00000,-0.00000,0.50000}");
  for (const Vector3& position : {Vector3{2726.1582f, -1067.7278f, 47.4046f},
                                  Vector3{3e38f, -3e38f, 1.0f}, Vector3{-0.5f, 0.25f, 1e6f}}) {
    Vector3 readBack;
    ASSERT_TRUE(ParsePosition(FormatPosition(position).c_str(), readBack));
    EXPECT_EQ(readBack.x, position.x);
    EXPECT_EQ(readBack.y, position.y);
    EXPECT_EQ(readBack.z, position.z);
  }
}

TEST(IntegerText, ANumberStartsWithADigitAfterWhiteSpaceAndASign) {
  for (const char* text : {"0", "12", "-3", "+7", " 42", "0x72", "12abc", "0X1F"}) {
    EXPECT_TRUE(ReadsAsNumber(text)) << text;
  }
  for (const char* text : {"yes", "on", "true", "F3", "-", "+-1", "", " ", "x12", ".5"}) {
    EXPECT_FALSE(ReadsAsNumber(text)) << text;
  }
}

}  // namespace
