// The keyboard state table: the host's keyboard handler stamps each key's entry with the time
// and flags of its last message; the frame loop and the object placement then ask whether a
// key was just released (a one-shot event the question consumes) or is being held down.
// The handler may run on another thread than the script, so every word is an atomic 32-bit
// value; no locks are taken.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "runtime/host.h"

// One key's last message.
struct KeyState {
  std::atomic<std::uint32_t> stamp{0};    // tick count at its arrival; 0 = no message
  std::atomic<std::uint32_t> altDown{0};  // Alt flag, recorded but not consulted
  std::atomic<std::uint32_t> wasDown{0};  // was-down-before flag, recorded but not consulted
  std::atomic<std::uint32_t> keyUp{0};    // non-zero for a release, 0 for a press or repeat
};

constexpr std::uint32_t KeyStateCount = 255;  // virtual-key codes 0..254
constexpr std::uint32_t KeyReleaseWindowMs = 100;
constexpr std::uint32_t KeyHoldWindowMs = 5000;

using KeyStateTable = std::array<KeyState, KeyStateCount>;
extern KeyStateTable keyStateTable;

// The handler registered with the host: records the message in the key's entry.
void OnKeyboardMessage(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended, BOOL isWithAlt,
                       BOOL wasDownBefore, BOOL isUpNow);

// True once for a release less than 100 ms old; consumes the entry. False for codes >= 255.
bool IsKeyReleased(std::uint32_t key);

// True while the key's last message is a press or repeat less than 5000 ms old.
bool IsKeyHeld(std::uint32_t key);
