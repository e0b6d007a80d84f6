// The fixes check-ini gives. Each one is a text that, written in place of the player's, the
// plug-in reads as the player meant; the tests read every fix back through the plug-in's own
// settings reader.
#include "player/setting_fixes.h"

#include <cstdlib>
#include <vector>

#include "player/key_names.h"
#include "sentences/text.h"
#include "settings/position.h"

namespace {

// "2726" or "-1067": a signed run of digits, the whole part of a decimal-comma number.
bool IsWholePart(const std::string& text) {
  return IsDigits(!text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text);
}

// A whole number written in decimal, short enough to hold.
bool IsDecimal(const std::string& text) {
  return IsWholePart(text) && text.size() <= 13;
}

// Whether the setting takes this decimal number as it is: a flag 0 or 1, a count in its range,
// a code a key sends.
bool Takes(const SettingDescription& setting, const std::string& decimal) {
  const long long value = std::strtoll(decimal.c_str(), nullptr, 10);
  switch (setting.kind) {
    case SettingKind::kFlag:
      return value == 0 || value == 1;
    case SettingKind::kCount:
      return value >= setting.minimum && value <= setting.maximum;
    case SettingKind::kKeyCode:
      return value >= 0 && value <= 0xFFFF && IsKeyCode(static_cast<std::uint32_t>(value));
    case SettingKind::kPosition:
      break;
  }
  return false;
}

std::string TrimmedLeft(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

// The text between the opening brace and the closing one (or the end), split at `separator`.
std::vector<std::string> BracedPieces(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  const std::string trimmed = TrimmedLeft(text);
  if (trimmed.empty() || trimmed[0] != '{') {
    return pieces;
  }
  const std::string inside = trimmed.substr(1, trimmed.find('}') - 1);
  std::size_t start = 0;
  for (std::size_t end = inside.find(separator);; end = inside.find(separator, start)) {
    pieces.push_back(inside.substr(start, end - start));
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
    if (comma == std::string::npos || !IsWholePart(piece.substr(0, comma)) ||
        !IsDigits(piece.substr(comma + 1))) {
      return {};
    }
    numbers.push_back(piece.substr(0, comma) + "." + piece.substr(comma + 1));
  }
  return numbers.size() == 3 ? numbers : std::vector<std::string>{};
}

}  // namespace

bool IsInlineComment(const std::string& ignored) {
  const std::string rest = TrimmedLeft(ignored);
  return !rest.empty() && (rest[0] == ';' || rest[0] == '#');
}

std::string WhatToWrite(const SettingDescription& setting) {
  switch (setting.kind) {
    case SettingKind::kFlag:
      return "0 or 1";
    case SettingKind::kCount:
      return "a number from " + std::to_string(setting.minimum) + " to " +
             std::to_string(setting.maximum);
    case SettingKind::kKeyCode:
      return "a key's code (holdout check-ini --key-codes lists them)";
    case SettingKind::kPosition:
      break;
  }
  return "";
}

std::string NotANumberFix(const SettingDescription& setting, const std::string& text) {
  if (!text.empty() && text[0] == '=' && ReadsAsNumber(text.substr(1))) {
    return "remove the extra '=': write " + std::string(setting.key) + "=" +
           TrimmedLeft(text.substr(1));
  }
  const std::string word = Lower(text);
  switch (setting.kind) {
    case SettingKind::kFlag:
      if (word == "true" || word == "yes" || word == "on") {
        return "write 1";
      }
      return word == "false" || word == "no" || word == "off" ? "write 0" : "write 0 or 1";
    case SettingKind::kCount:
      return "write " + WhatToWrite(setting);
    case SettingKind::kKeyCode:
    case SettingKind::kPosition:
      break;
  }
  return "";
}

std::string IgnoredTextFix(const SettingDescription& setting, const NumberText& number) {
  if (!number.joined.empty() && Takes(setting, number.joined)) {
    return "did you mean " + number.joined + "? write " + number.joined;
  }
  if (IsDecimal(number.instead) && !Takes(setting, number.instead)) {
    return "write " + WhatToWrite(setting);
  }
  return "write " + number.instead;
}

bool HasDecimalCommas(const std::string& text) {
  return !PointedNumbers(text).empty();
}

std::string PositionRewritten(const std::string& text) {
  std::string rewritten;
  if (const std::vector<std::string> numbers = PointedNumbers(text); !numbers.empty()) {
    rewritten = "{" + numbers[0] + "," + numbers[1] + "," + numbers[2] + "}";
  } else {
    for (const char c : TrimmedLeft(text)) {
      if (c == ',' || c == '}') {
        while (!rewritten.empty() && (rewritten.back() == ' ' || rewritten.back() == '\t')) {
          rewritten.pop_back();
        }
      }
      rewritten += c;
    }
  }
  const bool readsWhole = ReadPosition(rewritten.c_str()).verdict == PositionVerdict::kUsed;
  return readsWhole && rewritten != TrimmedLeft(text) ? rewritten : "";
}
