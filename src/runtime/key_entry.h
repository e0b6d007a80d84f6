// One key's entry of the keyboard state table as a single 64-bit word: the tick count of the
// key's last message in the low half and the message's three flags above it. The keyboard
// handler publishes a message with one store and the release test consumes it with one
// compare-and-swap, so a message that arrives while a test runs is neither lost nor mixed with
// the message before it. The two tests are templates over the word and the clock so that a test
// can step between their accesses; the table uses them with std::atomic and GetTickCount.
#pragma once

#include <cstdint>

constexpr std::uint32_t kKeyReleaseWindowMs = 100;
constexpr std::uint32_t kKeyHoldWindowMs = 5000;

// One key's last message, unpacked from its word.
struct KeyMessage {
  std::uint32_t stamp = 0;  // tick count at its arrival; 0 = no message
  bool altDown = false;     // Alt flag, recorded but not consulted
  bool wasDown = false;     // was-down-before flag, recorded but not consulted
  bool keyUp = false;       // true for a release, false for a press or repeat
};

constexpr std::uint64_t kKeyUpBit = std::uint64_t{1} << 32;    // the message is a release
constexpr std::uint64_t kAltDownBit = std::uint64_t{1} << 33;  // Alt was down
constexpr std::uint64_t kWasDownBit = std::uint64_t{1} << 34;  // the key was down before

// The word holding `message`; an entry without a message is the word 0.
constexpr std::uint64_t PackKeyMessage(const KeyMessage& message) {
  return std::uint64_t{message.stamp} | (message.keyUp ? kKeyUpBit : 0) |
         (message.altDown ? kAltDownBit : 0) | (message.wasDown ? kWasDownBit : 0);
}

// The message a word holds.
constexpr KeyMessage UnpackKeyMessage(std::uint64_t word) {
  return KeyMessage{static_cast<std::uint32_t>(word), (word & kAltDownBit) != 0,
                    (word & kWasDownBit) != 0, (word & kKeyUpBit) != 0};
}

// True when a message stamped `stamp` is less than `windowMs` old, its age being the unsigned
// difference between the clock and the stamp (so that windows hold across the tick count's
// wrap). A stamp of 0 is no message; the clock is read only for a real stamp.
template <typename Clock>
bool WithinKeyWindow(std::uint32_t stamp, Clock& now, std::uint32_t windowMs) {
  return stamp != 0 && now() - stamp < windowMs;
}

// The release test on one entry: true for a release less than 100 ms old, which it removes.
// Word offers load() and compare_exchange_strong(); Clock is called for the tick count.
template <typename Word, typename Clock>
bool TakeKeyRelease(Word& word, Clock now) {
  std::uint64_t seen = word.load();
  const KeyMessage message = UnpackKeyMessage(seen);
  if (!message.keyUp || !WithinKeyWindow(message.stamp, now, kKeyReleaseWindowMs)) {
    return false;
  }
  // Empties the entry only while it still holds the release just read. When a newer message
  // has replaced it meanwhile, that message stays whole for the next question, and the release
  // read counts as consumed just before it arrived.
  word.compare_exchange_strong(seen, 0);
  return true;
}

// The hold test on one entry: true for a press or repeat less than 5000 ms old. Reads only.
template <typename Word, typename Clock>
bool ReadKeyHeld(Word& word, Clock now) {
  const KeyMessage message = UnpackKeyMessage(word.load());
  return !message.keyUp && WithinKeyWindow(message.stamp, now, kKeyHoldWindowMs);
}
