// The keyboard's state and the messages it makes, under one lock so that presses and releases
// from several threads come out in one order, each with the flags of the state it changed.
#include "core/windows_keyboard.h"

namespace sim {

namespace {

constexpr DWORD kAltKey = 0x12;       // VK_MENU
constexpr DWORD kLeftAltKey = 0xA4;   // VK_LMENU
constexpr DWORD kRightAltKey = 0xA5;  // VK_RMENU

BOOL Flag(bool value) {
  return value ? TRUE : FALSE;
}

}  // namespace

void WindowsKeyboard::Press(DWORD key, bool withAlt) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const bool wasDown = IsDown(key);
  SetDown(key, true);
  repeating_ = key;
  DeliverLocked({key, 1, 0, FALSE, Flag(withAlt || AltDown()), Flag(wasDown), FALSE});
}

bool WindowsKeyboard::Repeat(DWORD key, WORD repeats) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!IsDown(key) || repeating_ != key) {
    return false;
  }
  DeliverLocked({key, repeats, 0, FALSE, Flag(AltDown()), TRUE, FALSE});
  return true;
}

void WindowsKeyboard::Release(DWORD key, bool withAlt) {
  const std::lock_guard<std::mutex> lock(mutex_);
  SetDown(key, false);
  if (repeating_ == key) {
    repeating_ = kNoKey;
  }
  DeliverLocked({key, 1, 0, FALSE, Flag(withAlt || AltDown()), TRUE, TRUE});
}

void WindowsKeyboard::SetFocused(bool focused) {
  const std::lock_guard<std::mutex> lock(mutex_);
  focused_ = focused;
}

bool WindowsKeyboard::Focused() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return focused_;
}

bool WindowsKeyboard::AnyKeyDown() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (const bool down : down_) {
    if (down) {
      return true;
    }
  }
  return false;
}

void WindowsKeyboard::Send(const KeyStroke& stroke) {
  const std::lock_guard<std::mutex> lock(mutex_);
  DeliverLocked(stroke);
}

void WindowsKeyboard::SetDown(DWORD key, bool down) {
  if (key < kKeyCount) {
    down_[key] = down;
  }
}

bool WindowsKeyboard::AltDown() const {
  return down_[kAltKey] || down_[kLeftAltKey] || down_[kRightAltKey];
}

void WindowsKeyboard::DeliverLocked(const KeyStroke& stroke) {
  if (focused_) {
    deliver_(stroke);
  }
}

}  // namespace sim
