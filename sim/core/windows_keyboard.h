// The keyboard as Windows reports it to the game's window, which the host's keyboard handler
// passes on: a key going down is a press (repeat count 1, previous state up); only the key
// pressed last auto-repeats, so a key held while another goes down sends nothing more until it
// is released; each auto-repeat message carries the repeats it stands for (several when they
// came faster than the game read them) with the previous state down; a release has the repeat
// count 1 and the previous state down. While an Alt key is down, messages arrive as system-key
// messages, with the Alt flag set. A window without the keyboard focus gets no message at all:
// the keys still down when it loses the focus send no key-up, and keys released meanwhile none
// either. Any thread may press, repeat and release; the messages come out in one order.
#pragma once

#include <array>
#include <functional>
#include <mutex>

#include "runtime/host.h"

namespace sim {

// One key message in the words the keyboard handler takes.
struct KeyStroke {
  DWORD key = 0;
  WORD repeats = 1;
  BYTE scanCode = 0;
  BOOL isExtended = FALSE;
  BOOL withAlt = FALSE;
  BOOL wasDown = FALSE;
  BOOL isUp = FALSE;
};

class WindowsKeyboard {
 public:
  // `deliver` takes each message the focused window gets.
  explicit WindowsKeyboard(std::function<void(const KeyStroke&)> deliver)
      : deliver_(std::move(deliver)) {}

  // The key goes down (`withAlt`: an Alt key is held besides, as if pressed before) and is
  // the one that auto-repeats. A key already down (on a second keyboard) reports its previous
  // state down.
  void Press(DWORD key, bool withAlt);
  // The auto-repeat of `key`, standing for `repeats` repeats: sent only while the key is down
  // and the last one pressed; false when nothing was sent for that reason.
  bool Repeat(DWORD key, WORD repeats);
  // The key goes up. Sent even for a key that went down while the window had no focus, as
  // Windows sends the key-up to the window that has the focus at the release.
  void Release(DWORD key, bool withAlt);
  // The window gains or loses the keyboard focus (the player switching windows). Losing it
  // sends nothing; the keys down stay down until released, wherever the focus then is.
  void SetFocused(bool focused);
  bool Focused() const;
  // True while any key is down.
  bool AnyKeyDown() const;
  // A message as given, to the window when it has the focus.
  void Send(const KeyStroke& stroke);

 private:
  static constexpr std::size_t kKeyCount = 256;
  static constexpr DWORD kNoKey = 0;

  bool IsDown(DWORD key) const { return key < kKeyCount && down_[key]; }
  void SetDown(DWORD key, bool down);
  // True while either Alt key (or the generic Alt code) is down.
  bool AltDown() const;
  void DeliverLocked(const KeyStroke& stroke);

  std::function<void(const KeyStroke&)> deliver_;
  mutable std::mutex mutex_;
  std::array<bool, kKeyCount> down_{};
  DWORD repeating_ = kNoKey;  // the key auto-repeat goes to
  bool focused_ = true;
};

}  // namespace sim
