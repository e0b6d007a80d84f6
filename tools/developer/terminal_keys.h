// Turns terminal key strokes into the key messages the plug-in expects. A terminal reports no
// key releases: a key bound to a one-shot action (a release test) becomes a press and a release
// at once; a key bound to a held action is pressed on its first character, kept down by the
// terminal's auto-repeat, and released once the repeats stop. An upper-case letter is the letter
// with Shift held.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>

class TerminalKeys {
 public:
  // Delivers one key message: virtual-key code, and whether it is a release.
  using Send = std::function<void(std::uint32_t key, bool wasDown, bool isUp)>;

  // `heldKeys`: the virtual-key codes of held actions; every other key is tapped.
  TerminalKeys(std::set<std::uint32_t> heldKeys, Send send);

  // The virtual-key code a terminal key stands for (ncurses codes for function keys), or 0.
  static std::uint32_t VirtualKeyOf(int terminalKey, bool& withShift);

  // A character arrived at `nowMs`.
  void OnTerminalKey(int terminalKey, std::uint64_t nowMs);
  // Releases held keys whose repeats have stopped; call once per frame.
  void Update(std::uint64_t nowMs);

 private:
  struct Held {
    std::uint64_t lastSeenMs;
    bool repeating;
    bool withShift;
  };
  void Tap(std::uint32_t key, bool withShift);
  void Release(std::uint32_t key, const Held& held);

  std::set<std::uint32_t> heldKeys_;
  Send send_;
  std::map<std::uint32_t, Held> down_;
};
