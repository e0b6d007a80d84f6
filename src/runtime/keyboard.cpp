// The keyboard state table and its two questions. Ages are measured as the unsigned difference
// between now and the stamp, so the windows hold across the tick count's 49.7-day wrap.
#include "runtime/keyboard.h"

KeyStateTable keyStateTable;

namespace {

// The age of a stamped message, correct across the tick count's wrap.
std::uint32_t AgeOf(const KeyState& entry) {
  return GetTickCount() - entry.stamp.load();
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
  if (entry.stamp.load() == 0 || entry.keyUp.load() == 0 || AgeOf(entry) >= KeyReleaseWindowMs) {
    return false;
  }
  entry.stamp.store(0);
  entry.altDown.store(0);
  entry.wasDown.store(0);
  entry.keyUp.store(0);
  return true;
}

bool IsKeyHeld(std::uint32_t key) {
  if (key >= KeyStateCount) {
    return false;
  }
  const KeyState& entry = keyStateTable[key];
  return entry.stamp.load() != 0 && entry.keyUp.load() == 0 && AgeOf(entry) < KeyHoldWindowMs;
}
