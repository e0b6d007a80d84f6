// The key table. The keyboard handler receives the codes of keystroke messages: Shift, Ctrl and
// Alt arrive as one code each, left and right alike (their separate left and right codes only
// answer state queries), and mouse buttons send no keystroke at all, so none of those are keys
// here. The table also holds the code an input method sends for the keys it takes, so that
// check-ini can name it and say that it is no key of its own. The punctuation keys are named as
// they are on a US keyboard; other layouts put other characters on the same codes.
#include "player/key_names.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "sentences/text.h"

namespace {

// Keys outside the runs of letters, digits, function keys and number-pad digits.
constexpr struct {
  std::uint32_t code;
  const char* name;
} kNamedKeys[] = {
    {0x03, "Break"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Enter"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {0x15, "Kana"},
    {0x19, "Kanji"},
    {0x1B, "Esc"},
    {0x1C, "Convert"},
    {0x1D, "Nonconvert"},
    {0x20, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2C, "Print Screen"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x5B, "Left Windows"},
    {0x5C, "Right Windows"},
    {0x5D, "Menu"},
    {0x5F, "Sleep"},
    {0x6A, "Numpad *"},
    {0x6B, "Numpad +"},
    {0x6D, "Numpad -"},
    {0x6E, "Numpad ."},
    {0x6F, "Numpad /"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xA6, "Browser Back"},
    {0xA7, "Browser Forward"},
    {0xA8, "Browser Refresh"},
    {0xA9, "Browser Stop"},
    {0xAA, "Browser Search"},
    {0xAB, "Browser Favorites"},
    {0xAC, "Browser Home"},
    {0xAD, "Volume Mute"},
    {0xAE, "Volume Down"},
    {0xAF, "Volume Up"},
    {0xB0, "Next Track"},
    {0xB1, "Previous Track"},
    {0xB2, "Stop Media"},
    {0xB3, "Play/Pause"},
    {0xB4, "Mail"},
    {0xB5, "Select Media"},
    {0xB6, "App 1"},
    {0xB7, "App 2"},
    {0xBA, ";"},
    {0xBB, "="},
    {0xBC, ","},
    {0xBD, "-"},
    {0xBE, "."},
    {0xBF, "/"},
    {0xC0, "`"},
    {0xDB, "["},
    {0xDC, "\\"},
    {0xDD, "]"},
    {0xDE, "'"},
    {0xE2, "<"},
    {kInputMethodKey, "IME Process"},
};

// The runs of keys named by a prefix and a number: each code from `first` on is named prefix +
// (the code's place in the run + `number`), or, for letters and digits, the character itself.
constexpr struct {
  std::uint32_t first;
  std::uint32_t last;
  const char* prefix;  // null: the code is the character
  std::uint32_t number;
} kRuns[] = {
    {'0', '9', nullptr, 0},
    {'A', 'Z', nullptr, 0},
    {0x60, 0x69, "Numpad ", 0},
    {0x70, 0x87, "F", 1},
};

std::vector<KeyCode> BuildTable() {
  std::vector<KeyCode> table;
  for (const auto& key : kNamedKeys) {
    table.push_back({key.code, key.name});
  }
  for (const auto& run : kRuns) {
    for (std::uint32_t code = run.first; code <= run.last; ++code) {
      table.push_back({code, run.prefix == nullptr
                                 ? std::string(1, static_cast<char>(code))
                                 : run.prefix + std::to_string(code - run.first + run.number)});
    }
  }
  std::sort(table.begin(), table.end(),
            [](const KeyCode& a, const KeyCode& b) { return a.code < b.code; });
  return table;
}

const KeyCode* Find(std::uint32_t virtualKey) {
  const std::span<const KeyCode> table = KeyCodes();
  const auto found =
      std::lower_bound(table.begin(), table.end(), virtualKey,
                       [](const KeyCode& key, std::uint32_t code) { return key.code < code; });
  return found != table.end() && found->code == virtualKey ? &*found : nullptr;
}

// Columns of the guide's table, and the width of a name in one.
constexpr std::size_t kColumns = 4;
constexpr int kNameWidth = 17;

}  // namespace

std::span<const KeyCode> KeyCodes() {
  static const std::vector<KeyCode> kTable = BuildTable();
  return kTable;
}

std::string KeyName(std::uint32_t virtualKey) {
  if (const KeyCode* key = Find(virtualKey)) {
    return key->name;
  }
  char text[24];
  std::snprintf(text, sizeof text, "key 0x%X", virtualKey);
  return text;
}

bool IsKeyCode(std::uint32_t virtualKey) {
  return Find(virtualKey) != nullptr;
}

std::optional<std::uint32_t> KeyCodeNamed(std::string_view name) {
  std::string lower = Lower(name);
  if (lower.rfind("vk_", 0) == 0) {
    lower.erase(0, 3);
  }
  for (const KeyCode& key : KeyCodes()) {
    if (Lower(key.name) == lower) {
      return key.code;
    }
  }
  return std::nullopt;
}

std::string KeyCodeTableText() {
  // Down the columns first, so that runs (A to Z, F1 to F24) read from top to bottom.
  const std::span<const KeyCode> table = KeyCodes();
  const std::size_t rows = (table.size() + kColumns - 1) / kColumns;
  std::string text;
  for (std::size_t row = 0; row < rows; ++row) {
    std::string line;
    for (std::size_t index = row; index < table.size(); index += rows) {
      char cell[64];
      std::snprintf(cell, sizeof cell, "  %-*s%4u", kNameWidth, table[index].name.c_str(),
                    static_cast<unsigned>(table[index].code));
      line += cell;
    }
    text += line + "\n";
  }
  return text;
}
