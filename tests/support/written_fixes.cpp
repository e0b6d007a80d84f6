// Writing check-ini's fixes back. The line a fix replaces is found as the profile reader finds
// it (the first section of the name, the first line naming the key in it, names compared without
// regard to case or blanks); what a position was meant to be is read from the player's text by
// the C library, independently of the plug-in's reader.
#include "support/written_fixes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <vector>

#include "player/check_ini.h"
#include "profile/profile_text.h"
#include "sentences/text.h"
#include "settings/settings.h"
#include "settings/settings_schema.h"
#include "support/written_line_fixes.h"

namespace holdout_test {
namespace {

const SettingDescription* Setting(const std::string& key) {
  for (const SettingDescription& setting : SettingsSchema()) {
    if (key == setting.key) {
      return &setting;
    }
  }
  return nullptr;
}

// The position a player's text was meant to give: its numbers read by strtof, six of them taken
// as three with decimal commas.
std::vector<float> MeantPosition(const std::string& written) {
  std::vector<std::string> numbers;
  const std::regex number(R"([-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?)");
  for (auto match = std::sregex_iterator(written.begin(), written.end(), number);
       match != std::sregex_iterator(); ++match) {
    numbers.push_back(match->str());
  }
  if (numbers.size() == 6) {
    numbers = {numbers[0] + "." + numbers[1], numbers[2] + "." + numbers[3],
               numbers[4] + "." + numbers[5]};
  }
  std::vector<float> meant;
  for (const std::string& text : numbers) {
    meant.push_back(std::strtof(text.c_str(), nullptr));
  }
  return meant;
}

// Expects the plug-in to store for `setting`, reading `fixed`, the value written, `value`.
void ExpectStoredAsWritten(const SettingDescription& setting, const std::string& fixed,
                           const std::string& value, const std::string& playerValue) {
  Settings record = DefaultSettings();
  ReadSettings(profile::ProfileText(fixed), record);
  const long long written = std::strtoll(value.c_str(), nullptr, 0);
  switch (setting.kind) {
    case SettingKind::kFlag:
      EXPECT_EQ(record.*setting.flag, written != 0) << fixed;
      EXPECT_TRUE(written == 0 || written == 1) << value;
      break;
    case SettingKind::kCount:
      EXPECT_EQ(record.*setting.count, written) << "clamped:\n" << fixed;
      break;
    case SettingKind::kKeyCode:
      EXPECT_EQ(record.*setting.keyCode, written) << fixed;
      break;
    case SettingKind::kPosition: {
      const Vector3 stored = setting.position(record);
      EXPECT_EQ(MeantPosition(playerValue), (std::vector<float>{stored.x, stored.y, stored.z}))
          << "the player wrote " << playerValue << "; the fix " << value << " reads as "
          << FormatPosition(stored);
      break;
    }
  }
}

}  // namespace

std::string Trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t\r");
  return start == std::string::npos
             ? ""
             : text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

std::string ValueIn(const std::string& text, const SettingDescription& setting) {
  std::vector<char> buffer(text.size() + 1);
  const std::uint32_t length = profile::ProfileText(text).GetString(
      setting.section, setting.key, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
  return std::string(buffer.data(), length);
}

std::string WithValue(const std::string& text, const std::string& section, const std::string& key,
                      const std::string& value) {
  std::string fixed;
  bool inSection = false;
  bool sectionSeen = false;
  bool done = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, end - start);
    start = end;
    const std::string trimmed = Trimmed(line);
    if (!trimmed.empty() && trimmed[0] == '[' && trimmed.find(']') != std::string::npos) {
      const bool named = Lower(Trimmed(trimmed.substr(1, trimmed.find(']') - 1))) == Lower(section);
      inSection = named && !sectionSeen;
      sectionSeen = sectionSeen || named;
    } else if (inSection && !done && trimmed.find('=') != std::string::npos &&
               Lower(Trimmed(trimmed.substr(0, trimmed.find('=')))) == Lower(key)) {
      const std::size_t lineEnd = line.find_first_of("\r\n");
      line = key + "=" + value + (lineEnd == std::string::npos ? "" : line.substr(lineEnd));
      done = true;
    }
    fixed += line;
  }
  EXPECT_TRUE(done) << "no line the plug-in reads for " << section << "/" << key << " in\n" << text;
  return fixed;
}

std::size_t ExpectFixesHold(const std::string& text) {
  std::size_t written = ExpectLineFixesHold(text);
  for (const SettingFixGiven& fix : ExplainIni(text).fixes) {
    const SettingDescription* setting = Setting(fix.key);
    if (setting == nullptr) {
      ADD_FAILURE() << "a fix for no setting: " << fix.key;
      continue;
    }
    for (const std::string& value : fix.values) {
      const std::string fixed = WithValue(text, fix.section, fix.key, value);
      ++written;
      ExpectStoredAsWritten(*setting, fixed, value, ValueIn(text, *setting));
      const IniExplanation after = ExplainIni(fixed);
      for (const SettingExplanation& line : after.settings) {
        EXPECT_FALSE(line.key == fix.key && line.problem)
            << fix.key << "=" << value << " is still a problem: " << line.origin;
      }
      for (const Problem& problem : after.problems) {
        EXPECT_NE(problem.sentence.rfind(fix.key, 0), 0u)
            << fix.key << "=" << value << ": " << problem.sentence;
      }
    }
  }
  return written;
}

}  // namespace holdout_test
