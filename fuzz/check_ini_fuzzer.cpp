// Fuzz target: any bytes as a player's Holdout.ini, through check-ini's whole analysis (the
// settings explained, their numbers examined, every line the plug-in ignores named) and through
// the command itself on the bytes written to a file. Besides what the sanitizers catch, it holds
// check-ini to what its report promises, judged by the settings reader itself:
// - every line of the file is read, reported, or a comment (a reported header covers the lines
//   up to the next header: every line under it is ignored);
// - a line reported as ignored is never read, and the line a repeat names as the one read is;
// - every line number said lies within the file, and a repeat names an earlier line;
// - the exit status is 1 exactly when problems are reported (also when a setting's own line
//   says it has one), and 0 otherwise;
// - every value a fix tells the player to write, written as its setting's value, is read from
//   the file as written and is no problem.
// Which lines the reader reads is found by asking it: every key line gets a value of its own,
// every header a block of every setting's key with a value of its own right under it, and the
// values the reader then answers name the lines it took them from.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/check_ini.h"
#include "profile/profile_reader.h"
#include "settings/settings_schema.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

void Check(bool holds, const std::string& what) {
  if (!holds) {
    Fail(what);
  }
}

// Starts the values that stand for a line: no settings file holds it by chance.
constexpr std::string_view kLineMark = "\x01line-mark\x02";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// One line of the file as the reader splits it: its bytes without the '\n'.
struct FileLine {
  std::string_view text;
  std::string_view trimmed;
};

std::vector<FileLine> SplitLines(std::string_view text) {
  std::vector<FileLine> lines;
  for (std::size_t position = 0; position <= text.size();) {
    std::size_t end = text.find('\n', position);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    const std::string_view line = text.substr(position, end - position);
    lines.push_back({line, profile::TrimProfileSpace(line)});
    position = end + 1;
  }
  return lines;
}

// A line the reader takes for a section header.
bool IsHeader(const FileLine& line) {
  return !line.trimmed.empty() && line.trimmed.front() == '[' &&
         line.trimmed.find(']') != std::string_view::npos;
}

// A line a player sees as a comment or as empty (a UTF-8 mark on the first line is invisible).
bool IsComment(const FileLine& line, std::size_t index) {
  std::string_view shown = line.trimmed;
  if (index == 0 && StartsWith(shown, kUtf8Mark)) {
    shown = profile::TrimProfileSpace(shown.substr(kUtf8Mark.size()));
  }
  return shown.empty() || shown.front() == ';' || shown.front() == '#';
}

std::string LineMark(std::size_t index) {
  return std::string(kLineMark) + std::to_string(index);
}

// The number after `prefix` at the start of `text`, and where it ends; nothing without digits.
std::optional<std::size_t> NumberAfter(std::string_view text, std::string_view prefix,
                                       std::size_t& end) {
  if (!StartsWith(text, prefix)) {
    return std::nullopt;
  }
  // Numbers beyond any file's line count stay at that bound.
  constexpr std::size_t kBeyondAnyLine = 1000000000;
  std::size_t number = 0;
  end = prefix.size();
  for (; end < text.size() && text[end] >= '0' && text[end] <= '9'; ++end) {
    number = std::min(number * 10 + static_cast<std::size_t>(text[end] - '0'), kBeyondAnyLine);
  }
  return end > prefix.size() ? std::optional<std::size_t>(number) : std::nullopt;
}

// The lines (by index) whose values the reader answers for the settings of `text`, where each
// value is a line's mark.
std::vector<bool> LinesAnswered(const std::string& text, std::size_t lineCount) {
  std::vector<bool> answered(lineCount, false);
  for (const SettingDescription& setting : SettingsSchema()) {
    const std::optional<std::string> value = profile::FindValue(text, setting.section, setting.key);
    std::size_t end = 0;
    const std::optional<std::size_t> index =
        value ? NumberAfter(*value, kLineMark, end) : std::nullopt;
    if (index) {
      Check(end == value->size() && *index < lineCount, "a value read is a line's mark");
      answered[*index] = true;
    }
  }
  return answered;
}

// The lines the settings reader reads: key lines it takes a value from (a line without '=' is
// asked as if it had one) and the headers it takes settings from.
std::vector<bool> LinesRead(const std::vector<FileLine>& lines) {
  std::string keysMarked;
  std::string headersMarked;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    const std::string separator = i + 1 < lines.size() ? "\n" : "";
    if (IsHeader(lines[i])) {
      keysMarked.append(text).append(separator);
      headersMarked.append(text);
      for (const SettingDescription& setting : SettingsSchema()) {
        headersMarked.append("\n").append(setting.key).append("=").append(LineMark(i));
      }
      headersMarked.append(separator);
      continue;
    }
    // The key part keeps its bytes, so that the text decodes as the file does; no value of the
    // file is left to pose as a mark.
    const std::string_view keyPart = text.substr(0, text.find('='));
    keysMarked.append(keyPart).append("=").append(LineMark(i)).append(separator);
    headersMarked.append(keyPart).append(separator);
  }
  std::vector<bool> read = LinesAnswered(keysMarked, lines.size());
  const std::vector<bool> headersRead = LinesAnswered(headersMarked, lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    read[i] = read[i] || headersRead[i];
  }
  return read;
}

// The earlier line a repeated section or key names as the one read, from the sentence after its
// "line N: ": "[Main] again: only the first [Main] (line M)" or "Key again in [Main]: only the
// first line naming it (line M)". Names are the schema's, so no text of the file can pose as one.
std::optional<std::size_t> LineOfFirst(std::string_view sentence) {
  for (const SettingDescription& setting : SettingsSchema()) {
    const std::string section(setting.section);
    const std::string key(setting.key);
    std::size_t end = 0;
    for (const std::string& prefix :
         {"[" + section + "] again: only the first [" + section + "] (line ",
          key + " again in [" + section + "]: only the first line naming it (line "}) {
      const std::optional<std::size_t> line = NumberAfter(sentence, prefix, end);
      if (line && sentence.substr(end, 10) == ") is read,") {
        return line;
      }
    }
  }
  return std::nullopt;
}

// True for the one sentence of a line that is read and still reported: a known key without '='.
bool SaysKeyHasNoValue(std::string_view sentence) {
  for (const SettingDescription& setting : SettingsSchema()) {
    if (StartsWith(sentence, std::string(setting.key) + " has no '=' and value")) {
      return true;
    }
  }
  return false;
}

void CheckLines(const std::string& text, const IniExplanation& explanation) {
  std::string storage;
  const std::vector<FileLine> lines = SplitLines(profile::DecodeText(text, storage));
  const std::vector<bool> read = LinesRead(lines);
  std::vector<bool> reported(lines.size(), false);
  std::vector<bool> coversLinesUnder(lines.size(), false);
  for (const Problem& found : explanation.problems) {
    const std::string& problem = found.sentence;
    std::size_t end = 0;
    const std::optional<std::size_t> number = NumberAfter(problem, "line ", end);
    if (!number || problem.compare(end, 2, ": ") != 0) {
      continue;
    }
    Check(*number >= 1 && *number <= lines.size(), "a line number said lies within the file");
    const std::size_t index = *number - 1;
    const std::string_view sentence = std::string_view(problem).substr(end + 2);
    reported[index] = true;
    // A header reported is a section whose lines are all ignored; so is a first line whose
    // byte-order mark hides the header after it.
    coversLinesUnder[index] =
        IsHeader(lines[index]) ||
        (index == 0 && StartsWith(lines[0].trimmed, kUtf8Mark) &&
         StartsWith(sentence, "the file starts with a UTF-8 byte-order mark right before"));
    Check(!read[index] || SaysKeyHasNoValue(sentence),
          "a line said to be ignored is not read: " + problem);
    if (const std::optional<std::size_t> first = LineOfFirst(sentence)) {
      Check(*first >= 1 && *first < *number, "a repeat names an earlier line: " + problem);
      Check(read[*first - 1], "the line a repeat names as read is read: " + problem);
    }
  }
  bool underIgnoredHeader = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsHeader(lines[i])) {
      underIgnoredHeader = false;
    }
    const std::string where = "line " + std::to_string(i + 1);
    if (underIgnoredHeader) {
      Check(!read[i], where + " lies under a header said to be ignored, yet it is read");
    } else if (IsComment(lines[i], i)) {
      Check(!read[i], where + " is a comment, yet it is read");
    } else {
      Check(read[i] || reported[i], where + " is neither read, reported nor a comment");
    }
    underIgnoredHeader = underIgnoredHeader || coversLinesUnder[i];
  }
  // A fix of an ignored line concerns a line said to be ignored: a key line, or a header whose
  // lines move.
  for (const LineFix& fix : explanation.lineFixes) {
    const auto index = static_cast<std::size_t>(fix.line) - 1;
    Check(fix.line >= 1 && index < lines.size() && reported[index],
          "a fix concerns a line said to be ignored");
    Check(fix.kind != LineFixKind::kKeyLine ||
              lines[index].trimmed.find('=') != std::string_view::npos,
          "a key line's fix keeps a value");
    Check(fix.kind != LineFixKind::kSectionLines || IsHeader(lines[index]),
          "a section's fix concerns a header");
  }
}

// Every value a fix names, written as the one line of its setting, is read as written.
void CheckFixes(const IniExplanation& explanation) {
  for (const SettingFixGiven& fix : explanation.fixes) {
    for (const std::string& value : fix.values) {
      const std::string written = fix.key + "=" + value;
      for (const SettingExplanation& line :
           ExplainIni("[" + fix.section + "]\n" + written + "\n").settings) {
        Check(line.key != fix.key || (line.origin == "file" && !line.problem),
              "the fix " + written + " reads as written: " + line.origin);
      }
    }
  }
}

// The check-ini command on the bytes as a file; its output goes nowhere.
int CheckIniExitStatus(const std::uint8_t* data, std::size_t size) {
  static const std::string kPath = (std::filesystem::temp_directory_path() /
                                    ("holdout-check-ini-fuzz-" + std::to_string(getpid()) + ".ini"))
                                       .string();
  static const bool kQuiet = std::freopen("/dev/null", "w", stdout) != nullptr;
  Check(kQuiet, "the command's output can be put aside");
  {
    std::ofstream file(kPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Check(file.good(), "the input can be written to a file");
  }
  std::string argument = kPath;
  char* argv[] = {argument.data()};
  const int status = RunCheckIni(1, argv);
  std::remove(kPath.c_str());
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const IniExplanation explanation = ExplainIni(text);
  CheckLines(text, explanation);
  CheckFixes(explanation);

  bool settingWithProblem = false;
  for (const SettingExplanation& line : explanation.settings) {
    settingWithProblem = settingWithProblem || line.problem;
  }
  Check(!settingWithProblem || !explanation.problems.empty(),
        "a setting explained as a problem is among the problems");
  const int status = CheckIniExitStatus(data, size);
  Check(status == (explanation.problems.empty() ? 0 : 1),
        "the exit status is 1 exactly when problems are reported");
  return 0;
}
