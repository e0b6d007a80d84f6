// The fixes check-ini gives. Each one is a text that, written in place of the player's, the
// plug-in reads as the player meant; the tests write every fix back into its file and read it
// through the plug-in's own settings reader.
#include "player/setting_fixes.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>

#include "player/key_names.h"
#include "profile/profile_reader.h"
#include "sentences/text.h"
#include "settings/position.h"

namespace {

// "2726" or "-1067": a signed run of digits, the whole part of a decimal-comma number.
bool IsWholePart(const std::string& text) {
  return IsDigits(!text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text);
}

// Whether the setting takes this number as it is: a flag 0 or 1, a count in its range, a code a
// key of its own sends.
bool Takes(const SettingDescription& setting, long long value) {
  switch (setting.kind) {
    case SettingKind::kFlag:
      return value == 0 || value == 1;
    case SettingKind::kCount:
      return value >= setting.minimum && value <= setting.maximum;
    case SettingKind::kKeyCode:
      return value >= 0 && value <= 0xFFFF && IsKeyCode(static_cast<std::uint32_t>(value)) &&
             value != kInputMethodKey;
    case SettingKind::kPosition:
      break;
  }
  return false;
}

std::string Trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) {
    return "";
  }
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::string TrimmedLeft(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

// The text between the opening brace and the closing one (or the end), split at `separator`,
// each piece without the blanks around it.
std::vector<std::string> BracedPieces(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  const std::string trimmed = TrimmedLeft(text);
  if (trimmed.empty() || trimmed[0] != '{') {
    return pieces;
  }
  const std::string inside = trimmed.substr(1, trimmed.find('}') - 1);
  std::size_t start = 0;
  for (std::size_t end = inside.find(separator);; end = inside.find(separator, start)) {
    pieces.push_back(Trimmed(inside.substr(start, end - start)));
    if (end == std::string::npos) {
      return pieces;
    }
    start = end + 1;
  }
}

// The three numbers of a decimal-comma position with a decimal point each; empty when the text
// is not one.
std::vector<std::string> PointedNumbers(const std::string& text) {
  std::vector<std::string> numbers;
  const std::vector<std::string> six = BracedPieces(text, ',');
  if (six.size() == 6) {
    for (std::size_t i = 0; i < 6; i += 2) {
      if (!IsWholePart(six[i]) || !IsDigits(six[i + 1])) {
        return {};
      }
      numbers.push_back(six[i] + "." + six[i + 1]);
    }
    return numbers;
  }
  for (const std::string& piece : BracedPieces(text, ';')) {
    const std::size_t comma = piece.find(',');
    if (comma == std::string::npos || !IsWholePart(Trimmed(piece.substr(0, comma))) ||
        !IsDigits(Trimmed(piece.substr(comma + 1)))) {
      return {};
    }
    numbers.push_back(Trimmed(piece.substr(0, comma)) + "." + Trimmed(piece.substr(comma + 1)));
  }
  return numbers.size() == 3 ? numbers : std::vector<std::string>{};
}

// The text without the blanks right before a comma or a closing brace, where the reader stops.
std::string WithoutBlanksBeforeSeparators(const std::string& text) {
  std::string rewritten;
  for (const char c : TrimmedLeft(text)) {
    if (c == ',' || c == '}') {
      while (!rewritten.empty() && (rewritten.back() == ' ' || rewritten.back() == '\t')) {
        rewritten.pop_back();
      }
    }
    rewritten += c;
  }
  return rewritten;
}

// A position with each component in the fewest digits that read back as the same float: at most
// 15 characters each (nine digits, "-1.23456789e-38"), 49 in all, so the whole fits in what the
// plug-in reads.
std::string ShortestPosition(const Vector3& position) {
  std::string text = "{";
  for (const float component : {position.x, position.y, position.z}) {
    char digits[32];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, component);
    text.append(digits, written.ptr);
    text += ',';
  }
  text.back() = '}';
  return text;
}

// The value the setting takes nearest to `value`: a count clamped into its range, a flag's 1 for
// any value but 0; nothing for a key code no key sends.
std::optional<long long> NearestTaken(const SettingDescription& setting, long long value) {
  switch (setting.kind) {
    case SettingKind::kFlag:
      return value != 0 ? 1 : 0;
    case SettingKind::kCount:
      return std::clamp<long long>(value, setting.minimum, setting.maximum);
    case SettingKind::kKeyCode:
    case SettingKind::kPosition:
      break;
  }
  return std::nullopt;
}

// The fix for the number after a doubled '=' ("==5000"): the line with one '=' and the number,
// or the value the setting takes in its place.
SettingFix ExtraEqualsFix(const SettingDescription& setting, const std::string& afterEquals) {
  const std::string key = setting.key;
  const NumberText number = ExamineNumber(afterEquals, setting.kind != SettingKind::kKeyCode);
  if (!number.overflowed && (number.ignored.empty() || IsInlineComment(number.ignored))) {
    const std::uint32_t bits = profile::ReadInteger(number.read).value;
    const long long value = setting.kind == SettingKind::kKeyCode
                                ? static_cast<long long>(bits)
                                : static_cast<long long>(static_cast<std::int32_t>(bits));
    if (Takes(setting, value)) {
      return {"remove the extra '=': write " + key + "=" + number.read, {number.read}};
    }
    if (const std::optional<long long> taken = NearestTaken(setting, value)) {
      const std::string then =
          setting.kind == SettingKind::kCount
              ? ", but " + number.read + " is outside " + std::to_string(setting.minimum) + ".." +
                    std::to_string(setting.maximum) + " and becomes " + std::to_string(*taken)
              : "";
      return {"remove the extra '='" + then + ": write " + key + "=" + std::to_string(*taken),
              {std::to_string(*taken)}};
    }
    const SettingFix kind = KindFix(setting);
    return {"remove the extra '=', but no key of its own sends " + number.read + ": " + kind.words,
            kind.values};
  }
  const SettingFix rest = number.overflowed ? KindFix(setting) : IgnoredTextFix(setting, number);
  return {"remove the extra '='; " + rest.words, rest.values};
}

}  // namespace

bool IsInlineComment(const std::string& ignored) {
  const std::string rest = TrimmedLeft(ignored);
  return !rest.empty() && (rest[0] == ';' || rest[0] == '#');
}

SettingFix KindFix(const SettingDescription& setting) {
  switch (setting.kind) {
    case SettingKind::kFlag:
      return {"write 0 or 1", {"0", "1"}};
    case SettingKind::kCount: {
      const std::string low = std::to_string(setting.minimum);
      const std::string high = std::to_string(setting.maximum);
      return {"write a number from " + low + " to " + high, {low, high}};
    }
    case SettingKind::kKeyCode:
      return {"write a key's code (holdout check-ini --key-codes lists them)", {}};
    case SettingKind::kPosition:
      break;
  }
  return {};
}

SettingFix NotANumberFix(const SettingDescription& setting, const std::string& text) {
  if (!text.empty() && text[0] == '=' && ReadsAsNumber(text.substr(1))) {
    return ExtraEqualsFix(setting, TrimmedLeft(text.substr(1)));
  }
  const std::string word = Lower(text);
  switch (setting.kind) {
    case SettingKind::kFlag:
      if (word == "true" || word == "yes" || word == "on") {
        return {"write 1", {"1"}};
      }
      if (word == "false" || word == "no" || word == "off") {
        return {"write 0", {"0"}};
      }
      break;
    case SettingKind::kKeyCode:
      if (const std::optional<std::uint32_t> code = KeyCodeNamed(text)) {
        return {"it names a key: write " + std::to_string(*code) + " for " + KeyName(*code),
                {std::to_string(*code)}};
      }
      break;
    case SettingKind::kCount:
    case SettingKind::kPosition:
      break;
  }
  return KindFix(setting);
}

SettingFix IgnoredTextFix(const SettingDescription& setting, const NumberText& number) {
  if (!number.joined.empty() && Takes(setting, std::strtoll(number.joined.c_str(), nullptr, 10))) {
    return {"did you mean " + number.joined + "? write " + number.joined, {number.joined}};
  }
  if (number.meant && Takes(setting, *number.meant)) {
    std::string words = "write " + number.instead[0];
    for (std::size_t i = 1; i < number.instead.size(); ++i) {
      words += " or " + number.instead[i];
    }
    return {words, number.instead};
  }
  return KindFix(setting);
}

bool HasDecimalCommas(const std::string& text) {
  return !PointedNumbers(WithoutBlanksBeforeSeparators(text)).empty();
}

SettingFix PositionFix(const std::string& text) {
  std::string rewritten = WithoutBlanksBeforeSeparators(text);
  if (const std::vector<std::string> numbers = PointedNumbers(rewritten); !numbers.empty()) {
    rewritten = "{" + numbers[0] + "," + numbers[1] + "," + numbers[2] + "}";
  }
  // The position alone, without what follows its closing brace.
  if (const std::size_t brace = rewritten.find('}'); brace != std::string::npos) {
    rewritten.erase(brace + 1);
  }
  // Read whole, as meant, not cut as the plug-in cuts it.
  const PositionReading whole = ReadPosition(rewritten.c_str());
  if (whole.verdict != PositionVerdict::kUsed) {
    return {};
  }
  const std::string read = rewritten.substr(0, kPositionBufferSize - 1);
  const PositionReading cut = ReadPosition(read.c_str());
  if (rewritten.size() > kPositionBufferSize || cut.verdict != PositionVerdict::kUsed ||
      cut.value.x != whole.value.x || cut.value.y != whole.value.y ||
      cut.value.z != whole.value.z) {
    // Longer than the plug-in reads (its closing brace aside), or read otherwise when cut: the
    // same numbers in fewer digits.
    rewritten = ShortestPosition(whole.value);
  }
  if (rewritten == TrimmedLeft(text)) {
    return {};
  }
  return {"write " + rewritten, {rewritten}};
}
