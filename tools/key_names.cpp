// Virtual-key code names.
#include "key_names.h"

#include <cstdio>

std::string KeyName(std::uint32_t virtualKey) {
  if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
    return std::string(1, static_cast<char>(virtualKey));
  }
  if (virtualKey >= 0x70 && virtualKey <= 0x87) {
    return "F" + std::to_string(virtualKey - 0x70 + 1);
  }
  if (virtualKey >= 0x60 && virtualKey <= 0x69) {
    return "Numpad " + std::to_string(virtualKey - 0x60);
  }
  switch (virtualKey) {
    case 0x08:
      return "Backspace";
    case 0x09:
      return "Tab";
    case 0x0D:
      return "Enter";
    case 0x10:
      return "Shift";
    case 0x11:
      return "Ctrl";
    case 0x12:
      return "Alt";
    case 0x1B:
      return "Esc";
    case 0x20:
      return "Space";
    case 0x21:
      return "Page Up";
    case 0x22:
      return "Page Down";
    case 0x23:
      return "End";
    case 0x24:
      return "Home";
    case 0x25:
      return "Left";
    case 0x26:
      return "Up";
    case 0x27:
      return "Right";
    case 0x28:
      return "Down";
    case 0x2D:
      return "Insert";
    case 0x2E:
      return "Delete";
    default:
      break;
  }
  char text[24];
  std::snprintf(text, sizeof text, "key 0x%X", virtualKey);
  return text;
}
