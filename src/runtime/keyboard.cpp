// The keyboard state table and its two questions. Ages are measured as the unsigned difference
// between now and the stamp, so the windows hold across the tick count's 49.7-day wrap.
#include "runtime/keyboard.h"

KeyStateTable keyStateTable;

namespace {

// True when a message stamped `stamp` is less than `windowMs` old. A stamp of 0 is no message.
bool WithinWindow(std::uint32_t stamp, std::uint32_t windowMs) {
  return stamp != 0 && GetTickCount() - stamp < windowMs;
}

}  // namespace

void OnKeyboardMessage(DWORD key, WORD, BYTE, BOOL, BOOL isWithAlt, BOOL wasDownBefore,
                       BOOL isUpNow) {
  if (key >= KeyStateCount) {
    return;
  }
  KeyState& entry = keyStateTable[key];
  const std::uint32_t now = GetTickCount();
  // A stamp of 0 marks an entry that never had a message, so a message at tick 0 is stamped
  // one millisecond earlier: its age is then 1 ms at once rather than 4294967295 ms until the
  // next tick, and its windows are cut by that millisecond only.
  entry.stamp.store(now == 0 ? 0xFFFFFFFFu : now);
  entry.altDown.store(static_cast<std::uint32_t>(isWithAlt));
  entry.wasDown.store(static_cast<std::uint32_t>(wasDownBefore));
  entry.keyUp.store(static_cast<std::uint32_t>(isUpNow));
}

bool IsKeyReleased(std::uint32_t key) {
  if (key >= KeyStateCount) {
    return false;
  }
  KeyState& entry = keyStateTable[key];
  if (entry.keyUp.load() == 0 || !WithinWindow(entry.stamp.load(), KeyReleaseWindowMs)) {
    return false;
  }
  // Zeroed in the reverse of the handler's order, stamp last. A message that arrives meanwhile
  // then either ends up whole in the entry (its stamp written after the zeroing) or is lost
  // with a zero stamp, which both questions read as no message; it never leaves its stamp
  // beside a zeroed keyUp, which would read as a key held down for 5000 ms.
  entry.keyUp.store(0);
  entry.wasDown.store(0);
  entry.altDown.store(0);
  entry.stamp.store(0);
  return true;
}

bool IsKeyHeld(std::uint32_t key) {
  if (key >= KeyStateCount) {
    return false;
  }
  const KeyState& entry = keyStateTable[key];
  return entry.keyUp.load() == 0 && WithinWindow(entry.stamp.load(), KeyHoldWindowMs);
}
