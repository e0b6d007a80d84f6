// The settings examples players read, in the guide and in the comments of the shipped
// Holdout.ini, are lines of the form "Key=value   -> claim". Each one is loaded here by the
// plug-in's own settings code, and the outcome must be what its claim says: "used as written",
// "partly read as {x,y,z}", "kept: the default stays", "clamped to N" or "read as N". A change to
// the texts or to the loading code that makes them disagree fails here instead of misleading a
// player.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "player/check_ini.h"
#include "support/fresh_process.h"

namespace {

struct Example {
  std::string where;  // file and line, for the failure message
  std::string key;
  std::string value;
  std::string claim;
};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) {
    return "";
  }
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

const SettingExplanation* Find(const IniExplanation& explanation, const std::string& key) {
  const auto found =
      std::find_if(explanation.settings.begin(), explanation.settings.end(),
                   [&key](const SettingExplanation& line) { return line.key == key; });
  return found == explanation.settings.end() ? nullptr : &*found;
}

// The example lines of a file. With `commentsOnly`, only lines after a ';' count (the shipped
// Holdout.ini's own settings are checked by the shipped-file test). A line that starts with a
// setting's name and '=' but carries no claim fails: every example must say what it does.
std::vector<Example> ExamplesIn(const char* path, bool commentsOnly) {
  const IniExplanation defaults = ExplainIni("");
  std::vector<Example> examples;
  std::ifstream file(path);
  EXPECT_TRUE(file) << path;
  std::string text;
  for (int number = 1; std::getline(file, text); ++number) {
    std::string line = Trimmed(text);
    if (commentsOnly) {
      if (line.empty() || line[0] != ';') {
        continue;
      }
      line = Trimmed(line.substr(1));
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || Find(defaults, line.substr(0, equals)) == nullptr) {
      continue;
    }
    const std::string where = std::string(path) + ":" + std::to_string(number);
    const std::size_t arrow = line.find(" -> ");
    if (arrow == std::string::npos) {
      ADD_FAILURE() << where << ": an example without a claim: " << line;
      continue;
    }
    examples.push_back({where, line.substr(0, equals),
                        Trimmed(line.substr(equals + 1, arrow - equals - 1)),
                        Trimmed(line.substr(arrow + 4))});
  }
  return examples;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Both texts read as {x,y,z} and name the same point (check-ini prints five decimals).
bool SamePosition(const std::string& claimed, const std::string& actual) {
  float a[3] = {};
  float b[3] = {};
  if (std::sscanf(claimed.c_str(), "{%f,%f,%f}", &a[0], &a[1], &a[2]) != 3 ||
      std::sscanf(actual.c_str(), "{%f,%f,%f}", &b[0], &b[1], &b[2]) != 3) {
    return false;
  }
  for (int i = 0; i < 3; ++i) {
    if (std::fabs(a[i] - b[i]) > 0.001f) {
      return false;
    }
  }
  return true;
}

void ExpectClaimHolds(const Example& example) {
  const IniExplanation defaults = ExplainIni("");
  const std::string section = Find(defaults, example.key)->section;
  const IniExplanation read =
      ExplainIni("[" + section + "]\n" + example.key + "=" + example.value + "\n");
  const SettingExplanation& outcome = *Find(read, example.key);
  const std::string& defaultValue = Find(defaults, example.key)->value;
  SCOPED_TRACE(example.where + ": " + example.key + "=" + example.value + " -> " + example.claim +
               "; read as " + outcome.value + ", " + outcome.origin);

  const std::string partly = "partly read as ";
  const std::string clamped = "clamped to ";
  const std::string readAs = "read as ";
  if (example.claim == "used as written") {
    EXPECT_EQ(outcome.origin, "file");
    if (example.value[0] == '{') {
      EXPECT_TRUE(SamePosition(example.value, outcome.value));
    }
  } else if (StartsWith(example.claim, partly)) {
    EXPECT_TRUE(StartsWith(outcome.origin, "file, partly read"));
    EXPECT_TRUE(SamePosition(example.claim.substr(partly.size()), outcome.value));
  } else if (example.claim == "kept: the default stays") {
    EXPECT_NE(outcome.origin, "file");
    EXPECT_EQ(outcome.value, defaultValue);
  } else if (StartsWith(example.claim, clamped)) {
    EXPECT_TRUE(StartsWith(outcome.origin, "clamped"));
    EXPECT_EQ(outcome.value, example.claim.substr(clamped.size()));
  } else if (StartsWith(example.claim, readAs)) {
    // A number other than written: the value's number, before any key name after it.
    EXPECT_NE(outcome.origin, "file");
    EXPECT_EQ(outcome.value.substr(0, outcome.value.find(' ')),
              example.claim.substr(readAs.size()));
  } else {
    ADD_FAILURE() << "a claim this test does not know";
  }
}

SCENARIO_TEST(SettingsExamples, TheGuidesExamplesDoWhatTheGuideSays) {
  const std::vector<Example> examples = ExamplesIn(HOLDOUT_PLAYERS_GUIDE, false);
  EXPECT_GE(examples.size(), 9u) << "the guide's examples were not found";
  for (const Example& example : examples) {
    ExpectClaimHolds(example);
  }
}

SCENARIO_TEST(SettingsExamples, TheShippedIniCommentsDoWhatTheySay) {
  const std::vector<Example> examples = ExamplesIn(HOLDOUT_SHIPPED_INI, true);
  EXPECT_GE(examples.size(), 2u) << "the shipped Holdout.ini's examples were not found";
  for (const Example& example : examples) {
    ExpectClaimHolds(example);
  }
}

}  // namespace
