// check-ini: the plug-in's settings reader run on a player's file held in memory, with an
// explanation of where each value came from. Every rule it explains (defaults, ranges, how a
// position reads, which key a frame tests first) comes from the plug-in's own tables.
#include "player/check_ini.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <vector>

#include "player/arguments.h"
#include "player/ini_lines.h"
#include "player/ini_numbers.h"
#include "player/key_names.h"
#include "player/setting_fixes.h"
#include "profile/profile_text.h"
#include "runtime/frame_steps.h"
#include "runtime/keyboard.h"
#include "sentences/text.h"
#include "settings/position.h"
#include "settings/settings_schema.h"
#include "spawner/placement_keys.h"

namespace {

// The setting's text in the file, whole, however long: at most the file's length. Empty when the
// file does not give it.
std::string TextGiven(const ProfileSource& file, const SettingDescription& setting,
                      std::size_t fileLength) {
  std::vector<char> buffer(fileLength + 1);
  const std::uint32_t length = file.GetString(setting.section, setting.key, buffer.data(),
                                              static_cast<std::uint32_t>(buffer.size()));
  return std::string(buffer.data(), length);
}

// Adds a problem of the setting, its sentence ended with the fix's words, and the values the fix
// names.
void AddProblem(IniExplanation& explanation, ProblemKind kind, const std::string& sentence,
                const SettingDescription& setting, const SettingFix& fix) {
  explanation.problems.push_back(
      {.kind = kind, .sentence = sentence + (fix.words.empty() ? "" : "; " + fix.words)});
  if (!fix.values.empty()) {
    explanation.fixes.push_back(
        {.section = setting.section, .key = setting.key, .values = fix.values});
  }
}

// The setting's value as the game reads it: a flag's on or off, a count, a key code with its
// key's name.
std::string ValueRead(const SettingDescription& setting, std::uint32_t integer) {
  switch (setting.kind) {
    case SettingKind::kFlag:
      return integer != 0 ? "on" : "off";
    case SettingKind::kCount:
      return std::to_string(static_cast<std::int32_t>(integer));
    case SettingKind::kKeyCode:
      return std::to_string(integer) + (IsKeyCode(integer) ? " (" + KeyName(integer) + ")" : "");
    case SettingKind::kPosition:
      break;
  }
  return "";
}

// ", which" and the predicate, for a predicate that there is.
std::string Which(const std::string& predicate) {
  return predicate.empty() ? "" : ", which" + predicate;
}

// What the file's text of an integer setting makes the game read, when that is not the number
// plainly written: not a number at all, a number followed by more text than a comment, or one
// beyond 32 bits.
// `then` says what the game does with the value read when that differs from it (" is outside
// 10..512 and becomes 10").
// Adds the problems to `explanation`; true when there are none: the game reads the number
// written.
bool ExplainNumberText(const SettingDescription& setting, const SettingReading& reading,
                       const std::string& given, const std::string& then, SettingExplanation& line,
                       IniExplanation& explanation) {
  if (!ReadsAsNumber(given)) {
    line.origin = "not a number: read as 0";
    line.problem = true;
    std::string problem = line.key + ": " + line.origin;
    if (setting.kind == SettingKind::kKeyCode && !KeyCodeNamed(given)) {
      problem += ", which no key sends, so " + line.key + " never fires";
    }
    AddProblem(explanation, ProblemKind::kNotANumber, problem, setting,
               NotANumberFix(setting, given));
    return false;
  }
  const NumberText number = ExamineNumber(given, setting.kind != SettingKind::kKeyCode);
  const std::string read = ValueRead(setting, reading.integer);
  if (number.overflowed) {
    line.origin = "file; " + number.read + " is too large and reads as " + read;
    line.problem = true;
    AddProblem(explanation, ProblemKind::kNumberMisread,
               line.key + "=" + number.read +
                   " is more than the game's 32-bit numbers hold: it wraps around to " + read +
                   Which(then),
               setting, KindFix(setting));
  }
  if (!number.ignored.empty() && !number.overflowed && IsInlineComment(number.ignored)) {
    return true;  // a comment after the number: the game reads the number, as meant
  }
  if (!number.ignored.empty()) {
    line.origin += "; only \"" + number.read + "\" is read";
    line.problem = true;
    AddProblem(explanation, ProblemKind::kNumberMisread,
               line.key + "=" + given + ": the game reads " + number.read + " and ignores \"" +
                   number.ignored + "\"" +
                   (number.overflowed || then.empty() ? "" : "; " + number.read + then),
               setting, IgnoredTextFix(setting, number));
  }
  return !number.overflowed && number.ignored.empty();
}

// Explains a flag, count or key code; problems go to `explanation`, keys that fire to
// `actionsByKey`.
SettingExplanation ExplainInteger(const SettingDescription& setting, const SettingReading& reading,
                                  const Settings& record, const std::string& given,
                                  IniExplanation& explanation,
                                  std::map<std::uint32_t, std::vector<std::string>>& actionsByKey) {
  std::vector<Problem>& problems = explanation.problems;
  SettingExplanation line{
      .section = setting.section, .key = setting.key, .origin = given.empty() ? "default" : "file"};
  std::string then;
  if (setting.kind == SettingKind::kCount &&
      static_cast<std::int32_t>(reading.integer) != record.*setting.count) {
    then = " is outside " + std::to_string(setting.minimum) + ".." +
           std::to_string(setting.maximum) + " and becomes " +
           std::to_string(record.*setting.count);
  }
  // Whether the file gives the number the game reads, as written; and whether its text is no
  // number at all, which already says that the value reads as 0 and fires nothing.
  const bool readAsWritten =
      !given.empty() && ExplainNumberText(setting, reading, given, then, line, explanation);
  const bool notANumber = !given.empty() && !ReadsAsNumber(given);
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
      if (readAsWritten) {
        line.origin = "clamped: the file says " + std::to_string(read) + ", allowed are " + range;
        problems.push_back({.kind = ProblemKind::kOutOfRange,
                            .sentence = line.key + " " + std::to_string(read) + then});
      } else {
        line.origin += "; clamped to " + line.value + ", allowed are " + range;
      }
      break;
    }
    case SettingKind::kKeyCode: {
      const std::uint32_t code = record.*setting.keyCode;
      line.value = ValueRead(setting, code);
      if (code >= kKeyStateCount) {
        line.problem = true;
        line.origin +=
            "; can never fire (key codes stop at " + std::to_string(kKeyStateCount - 1) + ")";
        problems.push_back(
            {.kind = ProblemKind::kKeyNeverFires,
             .sentence = line.key + " = " + std::to_string(code) + " can never fire"});
      } else if (!IsKeyCode(code)) {
        line.problem = true;
        if (!notANumber) {
          line.origin += "; no key sends this code";
          problems.push_back(
              {.kind = ProblemKind::kKeyNeverFires,
               .sentence = line.key + " = " + std::to_string(code) +
                           " never fires: no key sends code " + std::to_string(code) +
                           " (holdout check-ini --key-codes lists the codes keys send)"});
        }
      } else if (code == kInputMethodKey) {
        line.problem = true;
        line.origin += "; no key of its own";
        AddProblem(explanation, ProblemKind::kKeyNeverFires,
                   line.key + " = " + std::to_string(code) + " (" + KeyName(code) +
                       ") never fires as one key: an input method (Chinese, Japanese, Korean) "
                       "sends this code in place of the keys it takes",
                   setting, KindFix(setting));
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

// Why a position given in the file was refused, or how much of it was read; `cut` when the
// plug-in reads it otherwise than its whole text reads.
std::string PositionOrigin(const PositionReading& reading, const std::string& given, bool cut) {
  const std::string cutWords =
      cut ? "; only its first " + std::to_string(kPositionBufferSize - 1) + " characters are read"
          : "";
  switch (reading.verdict) {
    case PositionVerdict::kUsed:
      return "file" + cutWords;
    case PositionVerdict::kPartlyRead:
      return "file, partly read: " + std::to_string(reading.componentsRead) +
             " of 3 components, the others are 0" + cutWords;
    case PositionVerdict::kNothingRead:
      return "rejected: \"" + given.substr(0, kPositionBufferSize - 1) +
             "\" does not read as {x,y,z}; the default stays" + cutWords;
    case PositionVerdict::kNotFinite:
      return "rejected: a component is not a finite number; the default stays";
    case PositionVerdict::kOrigin:
      return "rejected: {0,0,0} cannot be configured; the default stays";
  }
  return "";
}

// Whether two readings of a position give the same: the same verdict, components and values.
bool SameReading(const PositionReading& a, const PositionReading& b) {
  return a.verdict == b.verdict && a.componentsRead == b.componentsRead &&
         (!IsUsable(a.verdict) ||
          (a.value.x == b.value.x && a.value.y == b.value.y && a.value.z == b.value.z));
}

// Explains a position: how the plug-in read it, and the fix when that is not as meant.
SettingExplanation ExplainPosition(const SettingDescription& setting, const PositionReading& read,
                                   Settings& record, const std::string& given,
                                   IniExplanation& explanation) {
  SettingExplanation line{.section = setting.section,
                          .key = setting.key,
                          .value = FormatPosition(setting.position(record)),
                          .origin = "default"};
  if (given.empty()) {
    return line;
  }
  // The plug-in reads only the text's first characters; a text longer than that is cut where it
  // matters only when its whole reads otherwise (a brace or a comment after the last number do
  // not).
  const bool cut =
      given.size() >= kPositionBufferSize && !SameReading(read, ReadPosition(given.c_str()));
  line.origin = PositionOrigin(read, given, cut);
  line.problem = read.verdict != PositionVerdict::kUsed || cut;
  if (HasDecimalCommas(given)) {
    line.origin = read.verdict == PositionVerdict::kUsed && !cut
                      ? "file, misread: its decimal commas separate the numbers"
                      : line.origin + "; its decimal commas separate the numbers";
    line.problem = true;
  }
  if (line.problem) {
    AddProblem(explanation, ProblemKind::kPositionRefused, line.key + ": " + line.origin, setting,
               PositionFix(given));
  }
  return line;
}

// One key a frame tests for a release: the action's name, and the key when it is fixed.
struct ReleaseTest {
  std::string action;          // a binding's settings key, or what the fixed key does
  bool fixed = false;          // a fixed key, tested only while Debug is on
  std::uint32_t fixedKey = 0;  // the fixed key's code
  bool menuSelect = false;     // a menu select key, tested only while a menu is open
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
        order.push_back({.action = BindingKey(step.binding)});
        break;
      case StepKeys::kMenuSelect:
        for (const SettingDescription& setting : MenuSelectSettings()) {
          order.push_back({.action = setting.key, .menuSelect = true});
        }
        break;
      case StepKeys::kDebugFixedKey:
        order.push_back({.action = step.description, .fixed = true, .fixedKey = step.fixedKey});
        break;
    }
  }
  return order;
}

// Whether `binding` is among the actions `held` of one key.
bool Holds(const std::vector<std::string>& held, std::uint32_t Settings::*binding) {
  return binding != nullptr &&
         std::find(held.begin(), held.end(), BindingKey(binding)) != held.end();
}

// What never comes of a placement action whose key a key tested before it takes.
const char* NeverDone(PlacementAction action) {
  switch (action) {
    case PlacementAction::kTurn:
      return "the object never turns";
    case PlacementAction::kSetDown:
      return "the object is never set down";
  }
  return "";
}

// What holding a key bound to placement actions does while an object is being placed, as the
// placement tests the held keys (spawner/placement_keys.h): the first entry whose key it is
// acts alone, and a later one never does; an entry before that whose reverse key alone it is
// acts instead, the other way, when that entry's own key is held too. Only a turn has a reverse
// key.
std::string HeldSentence(const std::string& key, const std::vector<std::string>& held,
                         bool alsoPressed) {
  const auto has = [&held](std::uint32_t Settings::*binding) { return Holds(held, binding); };
  const std::string holding = alsoPressed ? "holding it while placing an object also "
                                          : "holding " + key + " while placing an object ";
  const PlacementKey* acting = nullptr;
  std::string otherwise;  // what acts instead with another key held too
  std::string never;      // what never fires
  for (const PlacementKey& entry : kPlacementKeys) {
    if (!has(entry.key)) {
      if (acting == nullptr && has(entry.reverseKey)) {
        otherwise += ", or, with " + BindingKey(entry.key) + "'s key held too, " +
                     BindingKey(entry.reverseKey);
      }
    } else if (acting == nullptr) {
      acting = &entry;
    } else {
      never += "; " + BindingKey(entry.key) +
               ", bound to the same key, never fires: " + NeverDone(entry.action);
    }
  }
  if (acting == nullptr) {
    return holding + "triggers " + Listed(held);
  }
  const std::string acts = has(acting->reverseKey)
                               ? "turns it the other way (" + BindingKey(acting->key) + " with " +
                                     BindingKey(acting->reverseKey) + "), never the first way"
                               : "triggers " + BindingKey(acting->key);
  return holding + acts + otherwise + never;
}

// What pressing a key bound to several actions does. A frame tests the key for a release once
// per action, in the frame's order, and the first test that finds the release consumes it: the
// first action tested in every frame takes every press, one tested only while a menu is open
// takes the presses made then. The placement actions test the key held down instead
// (HeldSentence), consuming nothing.
std::string SharedKeySentence(std::uint32_t code, const std::vector<std::string>& actions) {
  const std::string key = KeyName(code) + " (" + std::to_string(code) + ")";
  std::vector<ReleaseTest> released;
  for (const ReleaseTest& test : ReleaseOrder()) {
    if (std::find(actions.begin(), actions.end(), test.action) != actions.end()) {
      released.push_back(test);
    }
  }
  std::vector<std::string> held;
  for (const std::string& action : actions) {
    if (std::none_of(released.begin(), released.end(),
                     [&action](const ReleaseTest& test) { return test.action == action; })) {
      held.push_back(action);
    }
  }
  std::string sentence;
  if (!released.empty()) {
    const ReleaseTest& first = released.front();
    sentence = "pressing " + key + " triggers " + first.action +
               (first.menuSelect ? " while a menu is open" : "");
    for (std::size_t i = 1; i < released.size(); ++i) {
      sentence += "; " + released[i].action +
                  (first.menuSelect && !released[i].menuSelect
                       ? " only while no menu is open"
                       : ", bound to the same key, never fires (" + first.action +
                             " takes the press first)");
    }
  }
  if (!held.empty()) {
    sentence += (sentence.empty() ? "" : "; ") + HeldSentence(key, held, !sentence.empty());
  }
  // The menu key's step comes before the placement's in a frame, and while an object is being
  // placed it cancels the placement: the release that ends a turn, either way, removes the
  // object turned. A key that sets the object down as soon as it is held leaves no placement,
  // so its release opens the menu.
  const bool menuTakesRelease =
      !released.empty() && released.front().action == BindingKey(&Settings::SpawnerMenu);
  const PlacementKey* alone = nullptr;  // the entry the key acts as when held by itself
  bool turns = false;                   // it turns the object, by itself or with another key
  for (const PlacementKey& entry : kPlacementKeys) {
    if (alone == nullptr && Holds(held, entry.key)) {
      alone = &entry;
    }
    turns = turns || (entry.action == PlacementAction::kTurn &&
                      (Holds(held, entry.key) || Holds(held, entry.reverseKey)));
  }
  if (menuTakesRelease && alone != nullptr && alone->action == PlacementAction::kSetDown) {
    sentence += ", which sets the object down at once; letting go of " + KeyName(code) +
                " then triggers SpawnerMenu, which opens the menu";
  } else if (menuTakesRelease && turns) {
    sentence += ", but letting go of " + KeyName(code) +
                " triggers SpawnerMenu, which cancels the placement and removes the object: an "
                "object can never be turned with " +
                KeyName(code) + " and kept";
  }
  return sentence;
}

}  // namespace

IniExplanation ExplainIni(const std::string& text) {
  const profile::ProfileText file(text);
  Settings record = DefaultSettings();
  IniExplanation explanation;
  std::map<std::uint32_t, std::vector<std::string>> actionsByKey;
  // Position problems come after those of keys shared, which are known only at the end.
  IniExplanation positions;
  for (const SettingDescription& setting : SettingsSchema()) {
    const SettingReading reading = ReadSetting(setting, file, record);
    const std::string given = TextGiven(file, setting, text.size());
    // A number's text is taken as far as a position's is read and one character further: the
    // integer reader stops long before that, and a problem quotes no more of a long line.
    explanation.settings.push_back(
        setting.kind == SettingKind::kPosition
            ? ExplainPosition(setting, reading.position, record, given, positions)
            : ExplainInteger(setting, reading, record, given.substr(0, kPositionBufferSize),
                             explanation, actionsByKey));
  }
  // The fixed keys listen only while Debug is on.
  for (const ReleaseTest& test : ReleaseOrder()) {
    if (test.fixed && record.Debug) {
      actionsByKey[test.fixedKey].push_back(test.action);
    }
  }
  for (const auto& [code, actions] : actionsByKey) {
    if (actions.size() > 1) {
      explanation.problems.push_back(
          {.kind = ProblemKind::kSharedKey, .sentence = SharedKeySentence(code, actions)});
    }
  }
  explanation.problems.insert(explanation.problems.end(), positions.problems.begin(),
                              positions.problems.end());
  explanation.fixes.insert(explanation.fixes.end(), positions.fixes.begin(), positions.fixes.end());
  IgnoredLinesFound ignored = IgnoredLines(text);
  explanation.problems.insert(explanation.problems.end(), ignored.problems.begin(),
                              ignored.problems.end());
  explanation.lineFixes = std::move(ignored.fixes);
  return explanation;
}

int RunCheckIni(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    std::printf(
        "usage: holdout check-ini [PATH]\n"
        "       holdout check-ini --key-codes\n"
        "\n"
        "Reads PATH (default: ./Holdout.ini; for a folder, the Holdout.ini in it) exactly as\n"
        "the plug-in reads its settings file and prints every setting with its value and\n"
        "where it came from: the file, the default, clamped, or rejected and why; then the\n"
        "problems, each with what to write instead:\n"
        "positions that do not read, numbers the game reads otherwise than written, key codes\n"
        "that never fire, actions sharing one key, and every line the plug-in ignores\n"
        "(unknown sections and keys, lines before any section, repeated sections and keys).\n"
        "A folder without a Holdout.ini is no problem: every setting takes its default.\n"
        "--key-codes prints the code of every key, for the [KeyBinds] settings.\n"
        "exit codes: 0 no problems, 1 problems found, 2 bad usage, 3 the file cannot be read\n");
    return 0;
  }
  if (argc == 1 && std::strcmp(argv[0], "--key-codes") == 0) {
    std::printf("%s", KeyCodeTableText().c_str());
    return 0;
  }
  // Everything goes to standard output, so that a report redirected to a file holds it all;
  // the exit code tells the result.
  if (argc > 1) {
    std::printf("check-ini: expected at most one path; %s (see 'holdout check-ini --help')\n",
                QuoteHint("check-ini", argc, argv).c_str());
    return 2;
  }
  std::string path = argc == 1 ? argv[0] : "Holdout.ini";
  std::filesystem::path filePath = PathFromArgument(path);
  std::error_code error;
  // The settings file is optional: in a game folder (this one, when no path is given) that has
  // none, the plug-in takes every default.
  bool inFolder = argc == 0;
  if (std::filesystem::is_directory(filePath, error)) {
    inFolder = true;
    // A game folder: its Holdout.ini, the file the plug-in reads there.
    const char separator = path.find('\\') != std::string::npos ? '\\' : '/';
    path += (path.back() == '/' || path.back() == '\\' ? "" : std::string(1, separator)) +
            "Holdout.ini";
    filePath /= "Holdout.ini";
  }
  std::ifstream file(filePath, std::ios::binary);
  const int openError = errno;
  if (std::filesystem::is_directory(filePath, error)) {
    std::printf("check-ini: cannot read '%s': it is a directory\n", path.c_str());
    return 3;
  }
  if (!file && inFolder && openError == ENOENT) {
    std::printf("%s: not there; every setting takes its default\n", path.c_str());
    return 0;
  }
  if (!file) {
    std::printf("check-ini: cannot read '%s': %s\n", path.c_str(), std::strerror(openError));
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
  for (const Problem& problem : explanation.problems) {
    std::printf("  - %s\n", problem.sentence.c_str());
  }
  return 1;
}
