// Ignored lines: the file is walked line by line with the profile reader's rules (its text decoded
// as the reader decodes it, lines trimmed, a '[' line with a ']' a header, names compared without
// regard to case), keeping where each section and key was first seen, since only the first
// matching section and the first line naming a key in it are read. Lines starting with ';' or
// '#' are taken for comments: they name no key Holdout reads.
#include "player/ini_lines.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "profile/profile_reader.h"
#include "sentences/text.h"
#include "settings/settings_schema.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Characters of a line shown in a sentence at most.
constexpr std::size_t kShownLength = 40;

// A text from the file, safe to print and cut to a readable length.
std::string Shown(std::string_view text) {
  std::string shown = Printable(std::string(text.substr(0, kShownLength)));
  return text.size() > kShownLength ? shown + "..." : shown;
}

std::string At(int number) {
  return "line " + std::to_string(number) + ": ";
}

// The sections Holdout reads, in the order of the settings.
std::vector<std::string> KnownSections() {
  std::vector<std::string> sections;
  for (const SettingDescription& setting : SettingsSchema()) {
    if (std::find(sections.begin(), sections.end(), setting.section) == sections.end()) {
      sections.emplace_back(setting.section);
    }
  }
  return sections;
}

std::vector<std::string> KnownKeys() {
  std::vector<std::string> keys;
  for (const SettingDescription& setting : SettingsSchema()) {
    keys.emplace_back(setting.key);
  }
  return keys;
}

// The setting of this key, without regard to case; null when Holdout reads no such key.
const SettingDescription* SettingOf(std::string_view key) {
  const std::string lower = Lower(key);
  for (const SettingDescription& setting : SettingsSchema()) {
    if (Lower(setting.key) == lower) {
      return &setting;
    }
  }
  return nullptr;
}

// The name as written, reduced to what a slip of the keyboard leaves alone: lower case, without
// spaces, '_' and '-'.
std::string Reduced(std::string_view name) {
  std::string reduced;
  for (const char c : Lower(name)) {
    if (c != ' ' && c != '_' && c != '-') {
      reduced += c;
    }
  }
  return reduced;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) {
    row[j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// Where the walk is: what happens to a key line at this point of the file.
enum class Place {
  kBeforeAnySection,  // ignored, and said so line by line
  kRead,              // in the first header of a section Holdout reads
  kIgnoredSection,    // under a header already said to be ignored: its lines are not named again
};

// The end of a fix's sentence naming the lines it replaces: `lead` and "in place of line 4", or
// nothing when it replaces none.
std::string InPlaceOf(const std::string& lead, const std::vector<int>& lines) {
  std::vector<std::string> numbers;
  for (const int line : lines) {
    numbers.push_back(std::to_string(line));
  }
  return numbers.empty()
             ? ""
             : lead + "in place of line" + (numbers.size() > 1 ? "s " : " ") + Listed(numbers);
}

class Walk {
 public:
  std::vector<std::string> said;
  std::vector<LineFix> fixes;

  // Ends each fix's sentence with the lines it replaces, known once the whole file is walked:
  // the line naming the same key in the first section of that name, which a line moved or
  // renamed there would otherwise follow and so be ignored.
  void Finish() {
    for (std::size_t i = 0; i < fixes.size(); ++i) {
      const LineFix& fix = fixes[i];
      std::string& sentence = said[fixSentences_[i]];
      if (fix.kind == LineFixKind::kKeyLine) {
        const auto replaced = keyLines_.find(Lower(fix.section + "\n" + fix.key));
        sentence += InPlaceOf(
            sentence.back() == '?' ? " write it " : ", ",
            replaced == keyLines_.end() ? std::vector<int>{} : std::vector<int>{replaced->second});
      }
      if (fix.kind != LineFixKind::kSectionLines) {
        continue;
      }
      const auto first = sectionLines_.find(Lower(fix.section));
      if (first == sectionLines_.end() || first->second == fix.line) {
        continue;  // no other section of that name: the header is renamed, nothing replaced
      }
      if (sentence.back() == '?') {
        sentence += " move its lines into [" + fix.section + "] (line " +
                    std::to_string(first->second) + ")";
      }
      std::vector<int> replaced;
      for (const std::string& key : movedKeys_[i]) {
        const auto line = keyLines_.find(Lower(fix.section + "\n" + key));
        if (line != keyLines_.end() &&
            std::find(replaced.begin(), replaced.end(), line->second) == replaced.end()) {
          replaced.push_back(line->second);
        }
      }
      sentence += InPlaceOf(", ", replaced);
    }
  }

  void Line(int number, std::string_view line) {
    if (number == 1 && line.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
      line = profile::TrimProfileSpace(line.substr(kUtf8Mark.size()));
      if (!line.empty() && line.front() == '[' && line.find(']') != std::string_view::npos) {
        const std::string header(line.substr(0, line.find(']') + 1));
        said.push_back(At(number) + "the file starts with a UTF-8 byte-order mark right before " +
                       Shown(header) +
                       ": Windows reads the mark as part of that line, so it finds no " +
                       Shown(header) +
                       " and every setting under it takes its default; Wine skips the mark and "
                       "reads " +
                       Shown(header) +
                       " as written, so the game differs between the two; save the file as ANSI "
                       "(or UTF-8 without the mark), or leave line 1 empty");
        AddFix({.kind = LineFixKind::kNoMark, .line = number});
        place_ = Place::kIgnoredSection;
        return;
      }
    }
    if (line.empty() || line.front() == ';' || line.front() == '#') {
      return;
    }
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close == std::string_view::npos) {
        said.push_back(At(number) + "\"" + Shown(line) +
                       "\" lacks its closing ']', so it is no section header and is ignored");
        return;
      }
      Header(number, profile::TrimProfileSpace(line.substr(1, close - 1)));
      return;
    }
    const std::size_t equals = line.find('=');
    const std::string_view key = profile::TrimProfileSpace(line.substr(0, equals));
    const SettingDescription* setting = SettingOf(key);
    if (place_ == Place::kIgnoredSection) {
      // A line under a header whose lines are to move: the key it may replace where they go.
      if (movingLines_ && setting != nullptr && equals != std::string_view::npos) {
        movedKeys_.back().emplace_back(setting->key);
      }
      return;
    }
    if (place_ == Place::kBeforeAnySection) {
      said.push_back(At(number) + "\"" + Shown(line) +
                     "\" comes before any section header, so it is ignored; move it under " +
                     (setting != nullptr ? "[" + std::string(setting->section) + "]"
                                         : std::string("its section")));
      if (setting != nullptr && equals != std::string_view::npos) {
        AddFix({.line = number, .section = setting->section, .key = setting->key});
      }
      return;
    }
    if (setting == nullptr || Lower(setting->section) != Lower(section_)) {
      UnknownKey(number, line, key, equals != std::string_view::npos, setting);
      return;
    }
    const auto [first, isFirst] = keyLines_.emplace(Lower(section_ + "\n" + setting->key), number);
    if (!isFirst) {
      said.push_back(At(number) + setting->key + " again in [" + section_ +
                     "]: only the first line naming it (line " + std::to_string(first->second) +
                     ") is read, so this one is ignored");
    } else if (equals == std::string_view::npos) {
      said.push_back(At(number) + setting->key + " has no '=' and value, so " + setting->key +
                     " takes its default (and later lines naming it are ignored); write " +
                     setting->key + "=value");
    }
  }

 private:
  // Adds the fix of the sentence said last.
  void AddFix(LineFix fix) {
    movingLines_ = fix.kind == LineFixKind::kSectionLines;
    fixes.push_back(std::move(fix));
    fixSentences_.push_back(said.size() - 1);
    movedKeys_.emplace_back();
  }

  void Header(int number, std::string_view name) {
    movingLines_ = false;
    const std::vector<std::string> sections = KnownSections();
    const auto known = std::find_if(sections.begin(), sections.end(), [name](const std::string& s) {
      return Lower(s) == Lower(name);
    });
    place_ = Place::kIgnoredSection;
    if (known == sections.end()) {
      const std::string nearest = NearestName(std::string(name), sections);
      std::vector<std::string> headers;
      for (const std::string& section : sections) {
        headers.push_back("[" + section + "]");
      }
      said.push_back(At(number) + "[" + Shown(name) +
                     "] is no section Holdout reads, so every line under it is ignored; " +
                     (nearest.empty() ? "Holdout reads " + Listed(headers)
                                      : "did you mean [" + nearest + "]?"));
      if (!nearest.empty()) {
        AddFix({.kind = LineFixKind::kSectionLines, .line = number, .section = nearest});
      }
      return;
    }
    const auto [first, isFirst] = sectionLines_.emplace(Lower(*known), number);
    if (!isFirst) {
      said.push_back(At(number) + "[" + *known + "] again: only the first [" + *known + "] (line " +
                     std::to_string(first->second) +
                     ") is read, so every line under this one is ignored; move them into the "
                     "first");
      AddFix({.kind = LineFixKind::kSectionLines, .line = number, .section = *known});
      return;
    }
    section_ = *known;
    place_ = Place::kRead;
  }

  void UnknownKey(int number, std::string_view line, std::string_view key, bool hasEquals,
                  const SettingDescription* setting) {
    if (setting != nullptr) {
      said.push_back(At(number) + setting->key + " is read from [" + setting->section + "], not [" +
                     section_ + "], so it is ignored here; move it under [" + setting->section +
                     "]");
      if (hasEquals) {
        AddFix({.line = number, .section = setting->section, .key = setting->key});
      }
      return;
    }
    if (!hasEquals) {
      said.push_back(At(number) + "\"" + Shown(line) +
                     "\" is neither a key=value line nor a comment (start a comment with ';'), "
                     "so it is ignored");
      return;
    }
    const std::string nearest = NearestName(std::string(key), KnownKeys());
    const SettingDescription* meant = SettingOf(nearest);
    // A near name read from another section is written there.
    const std::string elsewhere =
        meant != nullptr && Lower(meant->section) != Lower(section_)
            ? ", read from [" + std::string(meant->section) + "]? write it there"
            : "?";
    said.push_back(At(number) + Shown(key) + " is no setting Holdout reads, so it is ignored" +
                   (meant == nullptr ? std::string("") : "; did you mean " + nearest + elsewhere));
    if (meant != nullptr) {
      AddFix({.line = number, .section = meant->section, .key = meant->key});
    }
  }

  Place place_ = Place::kBeforeAnySection;
  std::string section_;
  std::map<std::string, int> sectionLines_;  // a section's name in lower case, its first header
  std::map<std::string, int> keyLines_;      // "section\nkey" in lower case, its first line
  std::vector<std::size_t> fixSentences_;    // for each fix, the index of its sentence in `said`
  std::vector<std::vector<std::string>> movedKeys_;  // for each fix, the keys of the lines it moves
  bool movingLines_ = false;                         // under a header whose lines a fix moves
};

}  // namespace

std::string NearestName(const std::string& name, const std::vector<std::string>& known) {
  const std::string reduced = Reduced(name);
  std::string nearest;
  std::size_t best = std::max<std::size_t>(2, reduced.size() / 3) + 1;
  for (const std::string& candidate : known) {
    const std::size_t distance = EditDistance(reduced, Reduced(candidate));
    if (distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

IgnoredLinesFound IgnoredLines(const std::string& text) {
  std::string storage;
  const std::string_view decoded = profile::DecodeText(text, storage);
  Walk walk;
  int number = 0;
  for (std::size_t position = 0; position <= decoded.size(); ++number) {
    std::size_t end = decoded.find('\n', position);
    if (end == std::string_view::npos) {
      end = decoded.size();
    }
    walk.Line(number + 1, profile::TrimProfileSpace(decoded.substr(position, end - position)));
    position = end + 1;
  }
  walk.Finish();
  IgnoredLinesFound found{.fixes = std::move(walk.fixes)};
  for (std::string& sentence : walk.said) {
    found.problems.push_back({.kind = ProblemKind::kIgnoredLine, .sentence = std::move(sentence)});
  }
  return found;
}
