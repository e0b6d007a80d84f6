// The keyboard state table and its two questions, asked of the table's entries on the host's
// tick count. Ages are measured as the unsigned difference between now and the stamp, so the
// windows hold across the tick count's 49.7-day wrap.
#include "runtime/keyboard.h"

KeyStateTable keyStateTable;

namespace {

// The clock of the two key tests.
std::uint32_t TickCount() {
  return GetTickCount();
}

}  // namespace

void OnKeyboardMessage(DWORD key, WORD, BYTE, BOOL, BOOL isWithAlt, BOOL wasDownBefore,
                       BOOL isUpNow) noexcept {
  if (key >= kKeyStateCount) {
    return;
  }
  const std::uint32_t now = GetTickCount();
  // A stamp of 0 marks an entry that never had a message, so a message at tick 0 is stamped
  // one millisecond earlier: its age is then 1 ms at once rather than 4294967295 ms until the
  // next tick, and its windows are cut by that millisecond only.
  const KeyMessage message{now == 0 ? 0xFFFFFFFFu : now, isWithAlt != 0, wasDownBefore != 0,
                           isUpNow != 0};
  keyStateTable[key].word.store(PackKeyMessage(message));
}

void ForgetKeys() {
  for (KeyState& entry : keyStateTable) {
    entry.word.store(0);
  }
}

bool IsKeyReleased(std::uint32_t key) {
  return key < kKeyStateCount && TakeKeyRelease(keyStateTable[key].word, &TickCount);
}

bool IsKeyHeld(std::uint32_t key) {
  return key < kKeyStateCount && ReadKeyHeld(keyStateTable[key].word, &TickCount);
}
