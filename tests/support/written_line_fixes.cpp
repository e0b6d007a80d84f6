// Applying check-ini's fixes of ignored lines. The file is taken as lines, a header being a line
// that starts with '[' and holds a ']', and a key line one holding '='; a section is the lines
// from its header to the next. What a line was meant to give is what the profile reader gives for
// it alone under its section's header.
#include "support/written_line_fixes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "player/check_ini.h"
#include "sentences/text.h"
#include "settings/settings_schema.h"
#include "support/written_fixes.h"

namespace holdout_test {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct FileLine {
  std::string text;    // without its line end
  bool fixed = false;  // written or moved by the fix
};

bool IsHeader(const FileLine& line) {
  const std::string trimmed = Trimmed(line.text);
  return !trimmed.empty() && trimmed[0] == '[' && trimmed.find(']') != std::string::npos;
}

// A header's section name in lower case.
std::string SectionOf(const FileLine& line) {
  const std::string trimmed = Trimmed(line.text);
  return Lower(Trimmed(trimmed.substr(1, trimmed.find(']') - 1)));
}

// A key line's key in lower case; empty for any other line.
std::string KeyOf(const FileLine& line) {
  const std::size_t equals = line.text.find('=');
  return IsHeader(line) || equals == std::string::npos
             ? ""
             : Lower(Trimmed(line.text.substr(0, equals)));
}

std::size_t SectionEnd(const std::vector<FileLine>& lines, std::size_t header) {
  std::size_t end = header + 1;
  while (end < lines.size() && !IsHeader(lines[end])) {
    ++end;
  }
  return end;
}

// The index of the first header of `section`, other than `except`; lines.size() when none.
std::size_t FirstHeader(const std::vector<FileLine>& lines, const std::string& section,
                        std::size_t except) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != except && IsHeader(lines[i]) && SectionOf(lines[i]) == Lower(section)) {
      return i;
    }
  }
  return lines.size();
}

// Puts `line` into the first section `section`, in place of the first line there naming its key,
// or at the section's end; a section that is not there is added at the file's end.
void PutUnder(std::vector<FileLine>& lines, const std::string& section, FileLine line) {
  const std::size_t header = FirstHeader(lines, section, lines.size());
  if (header == lines.size()) {
    lines.push_back({.text = "[" + section + "]", .fixed = true});
    lines.push_back(std::move(line));
    return;
  }
  const std::size_t end = SectionEnd(lines, header);
  const auto named = std::find_if(lines.begin() + static_cast<std::ptrdiff_t>(header) + 1,
                                  lines.begin() + static_cast<std::ptrdiff_t>(end),
                                  [&line](const FileLine& l) { return KeyOf(l) == KeyOf(line); });
  if (named != lines.begin() + static_cast<std::ptrdiff_t>(end)) {
    *named = std::move(line);
  } else {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), std::move(line));
  }
}

// The setting `key` names in `section` (case aside); null when it names none there.
const SettingDescription* SettingIn(const std::string& section, const std::string& key) {
  for (const SettingDescription& setting : SettingsSchema()) {
    if (Lower(setting.section) == section && Lower(setting.key) == key) {
      return &setting;
    }
  }
  return nullptr;
}

// Marks the header at `header` and the first line naming each key under it as the fix's.
void MarkSection(std::vector<FileLine>& lines, std::size_t header) {
  lines[header].fixed = true;
  std::vector<std::string> keys;
  for (std::size_t i = header + 1; i < SectionEnd(lines, header); ++i) {
    const std::string key = KeyOf(lines[i]);
    lines[i].fixed = std::find(keys.begin(), keys.end(), key) == keys.end();
    keys.push_back(key);
  }
}

}  // namespace

FixedText WithLineFix(const std::string& text, const LineFix& fix) {
  const std::string lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<FileLine> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t stop = text.find('\n', start);
    stop = stop == std::string::npos ? text.size() : stop;
    std::string line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back({.text = line});
    start = stop + 1;
  }
  const auto at = static_cast<std::size_t>(fix.line - 1);
  EXPECT_LT(at, lines.size()) << "a fix of no line of\n" << text;
  if (at >= lines.size()) {
    return {.text = text};
  }
  switch (fix.kind) {
    case LineFixKind::kKeyLine: {
      const std::string& line = lines[at].text;
      FileLine written{.text = fix.key + line.substr(line.find('=')), .fixed = true};
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
      PutUnder(lines, fix.section, std::move(written));
      break;
    }
    case LineFixKind::kSectionLines: {
      const std::size_t end = SectionEnd(lines, at);
      MarkSection(lines, at);
      if (FirstHeader(lines, fix.section, at) == lines.size()) {
        lines[at].text = "[" + fix.section + "]";
        break;
      }
      const std::vector<FileLine> moved(lines.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                        lines.begin() + static_cast<std::ptrdiff_t>(end));
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at),
                  lines.begin() + static_cast<std::ptrdiff_t>(end));
      for (const FileLine& line : moved) {
        if (line.fixed) {
          PutUnder(lines, fix.section, line);
        } else {
          // A key named again in the moved lines stays ignored, after the first.
          lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(
                                           lines, FirstHeader(lines, fix.section, lines.size()))),
                       line);
        }
      }
      break;
    }
    case LineFixKind::kNoMark:
      EXPECT_EQ(lines[0].text.rfind(kUtf8Mark, 0), 0u) << text;
      lines[0].text.erase(0, kUtf8Mark.size());
      MarkSection(lines, 0);
      break;
  }
  FixedText fixed;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    fixed.text += lines[i].text + lineEnd;
    if (lines[i].fixed) {
      fixed.lines.push_back(static_cast<int>(i + 1));
    }
  }
  return fixed;
}

std::size_t ExpectLineFixesHold(const std::string& text) {
  const IniExplanation explanation = ExplainIni(text);
  for (const LineFix& fix : explanation.lineFixes) {
    const FixedText fixed = WithLineFix(text, fix);
    SCOPED_TRACE("line " + std::to_string(fix.line) + " fixed:\n" + fixed.text);
    // The fixed lines check-ini must not name: headers, and lines naming a setting of theirs.
    std::vector<int> checked;
    std::string section;
    for (std::size_t start = 0, number = 1; start < fixed.text.size(); ++number) {
      const std::size_t stop = fixed.text.find('\n', start);
      const FileLine line{.text = fixed.text.substr(start, stop - start)};
      start = stop + 1;
      const bool isFixed = std::find(fixed.lines.begin(), fixed.lines.end(),
                                     static_cast<int>(number)) != fixed.lines.end();
      section = IsHeader(line) ? SectionOf(line) : section;
      const SettingDescription* setting = SettingIn(section, KeyOf(line));
      if (isFixed && IsHeader(line)) {
        checked.push_back(static_cast<int>(number));
      }
      if (!isFixed || setting == nullptr) {
        continue;
      }
      checked.push_back(static_cast<int>(number));
      const std::string alone = "[" + std::string(setting->section) + "]\n" + line.text + "\n";
      EXPECT_EQ(ValueIn(fixed.text, *setting), ValueIn(alone, *setting))
          << setting->key << " does not take the value of line " << number;
    }
    EXPECT_FALSE(checked.empty()) << "the fix wrote no line a setting reads";
    for (const Problem& problem : ExplainIni(fixed.text).problems) {
      for (const int number : checked) {
        EXPECT_FALSE(problem.kind == ProblemKind::kIgnoredLine &&
                     problem.sentence.rfind("line " + std::to_string(number) + ": ", 0) == 0)
            << problem.sentence;
      }
    }
  }
  return explanation.lineFixes.size();
}

}  // namespace holdout_test
