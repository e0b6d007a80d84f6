// The one table of Windows virtual-key codes that keys of a keyboard send, with the names players
// know them by ("F3", "Q", "Shift"). Tools name a binding's key from it, check-ini tells from it
// which codes no key sends and which number a key name written in the file stands for, and the
// player's guide prints it (check-ini --key-codes).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The code an input method (Chinese, Japanese, Korean) sends in place of each key it takes, the
// letters among them, while it is on: VK_PROCESSKEY. It stands for no key of its own.
constexpr std::uint32_t kInputMethodKey = 0xE5;

// One key: its virtual-key code, as the keyboard handler receives it, and its name.
struct KeyCode {
  std::uint32_t code = 0;
  std::string name;
};

// Every key in the table, by code.
std::span<const KeyCode> KeyCodes();

// The key's name, or "key 0x97" for a code no key of the table sends.
std::string KeyName(std::uint32_t virtualKey);

// Whether a key of the table sends this code.
bool IsKeyCode(std::uint32_t virtualKey);

// The code of the key of this name, without regard to case, also with a "VK_" in front; nothing
// for a text that names no key.
std::optional<std::uint32_t> KeyCodeNamed(std::string_view name);

// The table as text for the player's guide: rows of columns "name  code", lines ending in '\n'.
std::string KeyCodeTableText();
