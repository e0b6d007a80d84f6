// Terminal key strokes to key messages.
#include "developer/terminal_keys.h"

#include <curses.h>

namespace {

constexpr std::uint32_t kShiftKey = 0x10;
// Before the terminal's auto-repeat starts (typically after 250-500 ms) a lone character may
// still be the start of a hold; once repeats run, a gap longer than a few repeats ends it.
constexpr std::uint64_t kFirstRepeatWaitMs = 550;
constexpr std::uint64_t kRepeatGapMs = 150;

}  // namespace

TerminalKeys::TerminalKeys(std::set<std::uint32_t> heldKeys, Send send)
    : heldKeys_(std::move(heldKeys)), send_(std::move(send)) {}

std::uint32_t TerminalKeys::VirtualKeyOf(int terminalKey, bool& withShift) {
  withShift = false;
  if (terminalKey >= KEY_F(1) && terminalKey <= KEY_F(24)) {
    return static_cast<std::uint32_t>(0x70 + terminalKey - KEY_F(1));
  }
  if (terminalKey >= 'a' && terminalKey <= 'z') {
    return static_cast<std::uint32_t>(terminalKey - 'a' + 'A');
  }
  if (terminalKey >= 'A' && terminalKey <= 'Z') {
    withShift = true;
    return static_cast<std::uint32_t>(terminalKey);
  }
  if (terminalKey >= '0' && terminalKey <= '9') {
    return static_cast<std::uint32_t>(terminalKey);
  }
  return 0;
}

void TerminalKeys::OnTerminalKey(int terminalKey, std::uint64_t nowMs) {
  bool withShift = false;
  const std::uint32_t key = VirtualKeyOf(terminalKey, withShift);
  if (key == 0) {
    return;
  }
  if (heldKeys_.count(key) == 0 && !(withShift && heldKeys_.count(kShiftKey) != 0)) {
    Tap(key, withShift);
    return;
  }
  const auto held = down_.find(key);
  if (held == down_.end()) {
    if (withShift) {
      send_(kShiftKey, false, false);
    }
    send_(key, false, false);
    down_[key] = Held{nowMs, false, withShift};
    return;
  }
  held->second.lastSeenMs = nowMs;
  held->second.repeating = true;
  // Only the key pressed last repeats, as on Windows: the letter, not the Shift held with it.
  send_(key, true, false);
}

void TerminalKeys::Update(std::uint64_t nowMs) {
  for (auto held = down_.begin(); held != down_.end();) {
    const std::uint64_t wait = held->second.repeating ? kRepeatGapMs : kFirstRepeatWaitMs;
    if (nowMs - held->second.lastSeenMs > wait) {
      Release(held->first, held->second);
      held = down_.erase(held);
    } else {
      ++held;
    }
  }
}

void TerminalKeys::Tap(std::uint32_t key, bool withShift) {
  if (withShift) {
    send_(kShiftKey, false, false);
  }
  send_(key, false, false);
  send_(key, true, true);
  if (withShift) {
    send_(kShiftKey, true, true);
  }
}

void TerminalKeys::Release(std::uint32_t key, const Held& held) {
  send_(key, true, true);
  if (held.withShift) {
    send_(kShiftKey, true, true);
  }
}
