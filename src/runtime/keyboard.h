// The keyboard state table: the host's keyboard handler stamps each key's entry with the time
// and flags of its last message; the frame loop and the object placement then ask whether a
// key was just released (a one-shot event the question consumes) or is being held down.
// The handler may run on another thread than the script, so each entry is one atomic 64-bit
// word (key_entry.h), published and consumed whole; no locks are taken.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "runtime/host.h"
#include "runtime/key_entry.h"

static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
              "the keyboard handler must never wait for the script");

// One key's entry: its last message as one word (PackKeyMessage); 0 until the first message.
struct KeyState {
  std::atomic<std::uint64_t> word{0};

  // The message the entry holds now.
  KeyMessage Load() const { return UnpackKeyMessage(word.load()); }
};

constexpr std::uint32_t kKeyStateCount = 255;  // virtual-key codes 0..254

// One entry per virtual-key code.
using KeyStateTable = std::array<KeyState, kKeyStateCount>;

// The key state table: OnKeyboardMessage stamps an entry, IsKeyReleased consumes it.
extern KeyStateTable keyStateTable;

// The handler registered with the host: records the message in the key's entry. Nothing in it
// can throw, so no exception ever unwinds into the host's frames.
void OnKeyboardMessage(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended, BOOL isWithAlt,
                       BOOL wasDownBefore, BOOL isUpNow) noexcept;
// Empties every entry, as right after load: no key message from before the script function
// started again fires.
void ForgetKeys();

// True once for a release less than 100 ms old; consumes the entry. False for codes >= 255.
bool IsKeyReleased(std::uint32_t key);

// True while the key's last message is a press or repeat less than 5000 ms old.
bool IsKeyHeld(std::uint32_t key);
