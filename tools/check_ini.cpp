// check-ini: the plug-in's settings reader run on a player's file held in memory, with an
// explanation of where each value came from. Every rule it explains (defaults, ranges, how a
// position reads, which key a frame tests first) comes from the plug-in's own tables.
#include "check_ini.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "arguments.h"
#include "core/profile_text.h"
#include "key_names.h"
#include "runtime/frame_steps.h"
#include "runtime/keyboard.h"
#include "settings/position.h"
#include "settings/settings_schema.h"

namespace {

// The setting's text in the file, read one character further than a position is, so that a
// cut position shows; empty when the file does not give it.
struct GivenText {
  std::string text;
  bool cutAsPosition = false;  // longer than the plug-in reads a position
};

GivenText TextGiven(const ProfileSource& file, const SettingDescription& setting) {
  char buffer[kPositionBufferSize + 1] = {};
  const std::uint32_t length = file.GetString(setting.section, setting.key, buffer, sizeof buffer);
  return {std::string(buffer, length), length == kPositionBufferSize};
}

// Explains a flag, count or key code; problems go to `problems`, shared keys to `actionsByKey`.
SettingExplanation ExplainInteger(const SettingDescription& setting, const SettingReading& reading,
                                  const Settings& record, const GivenText& given,
                                  std::vector<std::string>& problems,
                                  std::map<std::uint32_t, std::vector<std::string>>& actionsByKey) {
  SettingExplanation line{setting.section, setting.key, "", given.text.empty() ? "default" : "file",
                          false};
  if (!given.text.empty() && !ReadsAsNumber(given.text)) {
    line.origin = "not a number: read as 0";
    line.problem = true;
    problems.push_back(line.key + ": " + line.origin);
  }
  switch (setting.kind) {
    case SettingKind::kFlag:
      line.value = record.*setting.flag ? "on" : "off";
      break;
    case SettingKind::kCount: {
      const std::int32_t stored = record.*setting.count;
      const std::int32_t read = static_cast<std::int32_t>(reading.integer);
      line.value = std::to_string(stored);
      if (read == stored) {
        break;
      }
      const std::string range =
          std::to_string(setting.minimum) + " to " + std::to_string(setting.maximum);
      line.problem = true;
      if (line.origin == "file") {
        line.origin = "clamped: the file says " + std::to_string(read) + ", allowed are " + range;
        problems.push_back(line.key + " " + std::to_string(read) + " is outside " +
                           std::to_string(setting.minimum) + ".." +
                           std::to_string(setting.maximum) + " and becomes " + line.value);
      } else {
        line.origin += "; clamped to " + line.value + ", allowed are " + range;
      }
      break;
    }
    case SettingKind::kKeyCode: {
      const std::uint32_t code = record.*setting.keyCode;
      line.value = std::to_string(code) + " (" + KeyName(code) + ")";
      if (code >= kKeyStateCount) {
        line.value = std::to_string(code);
        line.problem = true;
        line.origin +=
            "; can never fire (key codes stop at " + std::to_string(kKeyStateCount - 1) + ")";
        problems.push_back(line.key + " = " + std::to_string(code) + " can never fire");
      } else {
        actionsByKey[code].push_back(line.key);
      }
      break;
    }
    case SettingKind::kPosition:
      break;
  }
  return line;
}

// Why a position given in the file was refused, or how much of it was read.
std::string PositionOrigin(const PositionReading& reading, const GivenText& given) {
  const std::string cut =
      given.cutAsPosition
          ? "; only its first " + std::to_string(kPositionBufferSize - 1) + " characters are read"
          : "";
  switch (reading.verdict) {
    case PositionVerdict::kUsed:
      return "file" + cut;
    case PositionVerdict::kPartlyRead:
      return "file, partly read: " + std::to_string(reading.componentsRead) +
             " of 3 components, the others are 0" + cut;
    case PositionVerdict::kNothingRead:
      return "rejected: \"" + given.text.substr(0, kPositionBufferSize - 1) +
             "\" does not read as {x,y,z}; the default stays" + cut;
    case PositionVerdict::kNotFinite:
      return "rejected: a component is not a finite number; the default stays";
    case PositionVerdict::kOrigin:
      return "rejected: {0,0,0} cannot be configured; the default stays";
  }
  return "";
}

// One key a frame tests for a release: the action's name, and the key when it is fixed.
struct ReleaseTest {
  std::string action;          // a binding's settings key, or what the fixed key does
  bool fixed = false;          // a fixed key, tested only while Debug is on
  std::uint32_t fixedKey = 0;  // the fixed key's code
};

// The settings key of a key binding.
std::string BindingKey(std::uint32_t Settings::*binding) {
  for (const SettingDescription& setting : SettingsSchema()) {
    if (setting.keyCode == binding) {
      return setting.key;
    }
  }
  return "";
}

// The keys a frame tests for a release, first to last, as the frame loop's steps test them.
std::vector<ReleaseTest> ReleaseOrder() {
  std::vector<ReleaseTest> order;
  for (const FrameStep& step : kFrameSteps) {
    switch (step.keys) {
      case StepKeys::kNone:
        break;
      case StepKeys::kBinding:
        order.push_back({BindingKey(step.binding)});
        break;
      case StepKeys::kMenuSelect:
        for (const SettingDescription& setting : MenuSelectSettings()) {
          order.push_back({setting.key});
        }
        break;
      case StepKeys::kDebugFixedKey:
        order.push_back({step.description, true, step.fixedKey});
        break;
    }
  }
  return order;
}

// The actions bound to one key, and which of them a release reaches first.
std::string SharedKeySentence(std::uint32_t code, const std::vector<std::string>& actions) {
  std::string sentence = "key " + std::to_string(code) + " (" + KeyName(code) + ") is bound to";
  for (std::size_t i = 0; i < actions.size(); ++i) {
    sentence += (i == 0 ? " " : (i + 1 == actions.size() ? " and " : ", ")) + actions[i];
  }
  for (const ReleaseTest& test : ReleaseOrder()) {
    if (std::find(actions.begin(), actions.end(), test.action) != actions.end()) {
      sentence += "; a release reaches " + test.action + " first";
      break;
    }
  }
  return sentence;
}

}  // namespace

IniExplanation ExplainIni(const std::string& text) {
  const sim::profile::ProfileText file(text);
  Settings record;
  IniExplanation explanation;
  std::map<std::uint32_t, std::vector<std::string>> actionsByKey;
  std::vector<std::string> positionProblems;
  for (const SettingDescription& setting : SettingsSchema()) {
    const SettingReading reading = ReadSetting(setting, file, record);
    const GivenText given = TextGiven(file, setting);
    if (setting.kind != SettingKind::kPosition) {
      explanation.settings.push_back(
          ExplainInteger(setting, reading, record, given, explanation.problems, actionsByKey));
      continue;
    }
    SettingExplanation line{setting.section, setting.key, FormatPosition(setting.position(record)),
                            "default", false};
    if (!given.text.empty()) {
      line.origin = PositionOrigin(reading.position, given);
      line.problem = line.origin != "file";
    }
    if (line.problem) {
      positionProblems.push_back(line.key + ": " + line.origin);
    }
    explanation.settings.push_back(line);
  }
  // The fixed keys listen only while Debug is on.
  for (const ReleaseTest& test : ReleaseOrder()) {
    if (test.fixed && record.Debug) {
      actionsByKey[test.fixedKey].push_back(test.action);
    }
  }
  for (const auto& [code, actions] : actionsByKey) {
    if (actions.size() > 1) {
      explanation.problems.push_back(SharedKeySentence(code, actions));
    }
  }
  explanation.problems.insert(explanation.problems.end(), positionProblems.begin(),
                              positionProblems.end());
  return explanation;
}

int RunCheckIni(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    std::printf(
        "usage: holdout check-ini [PATH]\n"
        "\n"
        "Reads PATH (default: ./Holdout.ini) exactly as the plug-in reads its settings file and\n"
        "prints every setting with its value and where it came from: the file, the default,\n"
        "clamped, or rejected and why; then the problems: positions that do not read, key\n"
        "codes that can never fire, actions sharing one key.\n"
        "exit codes: 0 no problems, 1 problems found, 2 bad usage, 3 the file cannot be read\n");
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr,
                 "check-ini: expected at most one path; %s (see 'holdout check-ini --help')\n",
                 QuoteHint("check-ini", argc, argv).c_str());
    return 2;
  }
  const std::string path = argc == 1 ? argv[0] : "Holdout.ini";
  const std::filesystem::path filePath = PathFromArgument(path);
  if (std::filesystem::is_directory(filePath)) {
    std::fprintf(stderr, "check-ini: cannot read '%s': it is a directory\n", path.c_str());
    return 3;
  }
  std::ifstream file(filePath, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "check-ini: cannot read '%s': %s\n", path.c_str(), std::strerror(errno));
    return 3;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  const IniExplanation explanation = ExplainIni(contents.str());

  std::printf("%s, as the plug-in reads it:\n", path.c_str());
  std::string section;
  for (const SettingExplanation& line : explanation.settings) {
    if (line.section != section) {
      section = line.section;
      std::printf("[%s]\n", section.c_str());
    }
    std::printf("  %-22s = %-34s %s\n", line.key.c_str(), line.value.c_str(), line.origin.c_str());
  }
  if (explanation.problems.empty()) {
    std::printf("no problems found\n");
    return 0;
  }
  std::printf("problems:\n");
  for (const std::string& problem : explanation.problems) {
    std::printf("  - %s\n", problem.c_str());
  }
  return 1;
}
