// The simulated keyboard sends what Windows sends to the game's window: auto-repeat for the key
// pressed last only, the repeat count and previous-state flag of each message, system-key
// messages while Alt is held, and nothing at all while the window is without the focus, not
// even the key-up of a key still down when the focus went.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "core/sim_host.h"

namespace {

constexpr DWORD kShift = 0x10;
constexpr DWORD kAlt = 0x12;
constexpr DWORD kQ = 0x51;
constexpr DWORD kE = 0x45;

struct Received {
  DWORD key;
  WORD repeats;
  BOOL withAlt;
  BOOL wasDown;
  BOOL isUp;
  bool operator==(const Received&) const = default;
};

std::mutex receivedMutex;
std::vector<Received> received;

void RecordingHandler(DWORD key, WORD repeats, BYTE, BOOL, BOOL withAlt, BOOL wasDown,
                      BOOL isUp) {
  const std::lock_guard<std::mutex> lock(receivedMutex);
  received.push_back({key, repeats, withAlt, wasDown, isUp});
}

// A host whose keyboard handler records every message.
struct RecordingHost {
  RecordingHost() {
    received.clear();
    keyboardHandlerRegister(RecordingHandler);
  }
  ~RecordingHost() { keyboardHandlerUnregister(RecordingHandler); }
  sim::SimHost host;
};

Received Press(DWORD key, BOOL alt = FALSE) {
  return {key, 1, alt, FALSE, FALSE};
}
Received Repeat(DWORD key, WORD repeats = 1, BOOL alt = FALSE) {
  return {key, repeats, alt, TRUE, FALSE};
}
Received Release(DWORD key, BOOL alt = FALSE) {
  return {key, 1, alt, TRUE, TRUE};
}

TEST(WindowsKeyboard, OnlyTheKeyPressedLastRepeatsAndAReleaseDoesNotRestartAnother) {
  RecordingHost r;
  r.host.PressKey(kShift);
  EXPECT_TRUE(r.host.RepeatKey(kShift));
  r.host.PressKey(kQ);
  EXPECT_FALSE(r.host.RepeatKey(kShift)) << "held, but no longer repeating";
  EXPECT_TRUE(r.host.RepeatKey(kQ, 3)) << "three repeats read as one message";
  r.host.ReleaseKey(kQ);
  EXPECT_FALSE(r.host.RepeatKey(kShift)) << "Shift stays silent after Q goes up";
  EXPECT_FALSE(r.host.RepeatKey(kQ)) << "a key that is up never repeats";
  r.host.ReleaseKey(kShift);
  const std::vector<Received> expected = {Press(kShift),   Repeat(kShift), Press(kQ),
                                          Repeat(kQ, 3),   Release(kQ),    Release(kShift)};
  EXPECT_EQ(received, expected);
}

TEST(WindowsKeyboard, APressOfAKeyAlreadyDownReportsItDownAndTakesOverTheRepeat) {
  RecordingHost r;
  r.host.PressKey(kQ);
  r.host.PressKey(kE);
  r.host.PressKey(kQ);  // as from a second keyboard
  EXPECT_TRUE(r.host.RepeatKey(kQ));
  EXPECT_FALSE(r.host.RepeatKey(kE));
  r.host.ReleaseKey(kQ);
  const std::vector<Received> expected = {Press(kQ), Press(kE), {kQ, 1, FALSE, TRUE, FALSE},
                                          Repeat(kQ), Release(kQ)};
  EXPECT_EQ(received, expected);
}

TEST(WindowsKeyboard, WhileAltIsDownMessagesAreSystemKeyMessages) {
  RecordingHost r;
  r.host.PressKey(kAlt);
  r.host.PressKey(kQ);
  EXPECT_TRUE(r.host.RepeatKey(kQ));
  r.host.ReleaseKey(kQ);
  r.host.ReleaseKey(kAlt);
  r.host.TapKey(kE);
  r.host.PressKey(0xA5);  // the right Alt key
  r.host.TapKey(kE);
  r.host.ReleaseKey(0xA5);
  r.host.PressKey(kQ, true);  // Alt held besides, as the caller says
  const std::vector<Received> expected = {
      Press(kAlt, TRUE), Press(kQ, TRUE),  Repeat(kQ, 1, TRUE), Release(kQ, TRUE),
      Release(kAlt),     Press(kE),        Release(kE),         Press(0xA5, TRUE),
      Press(kE, TRUE),   Release(kE, TRUE), Release(0xA5),      Press(kQ, TRUE)};
  EXPECT_EQ(received, expected);
}

TEST(WindowsKeyboard, AWindowWithoutTheFocusGetsNoKeyUpNorAnyOtherMessage) {
  RecordingHost r;
  r.host.PressKey(kQ);
  r.host.SetWindowFocused(false);
  EXPECT_FALSE(r.host.WindowFocused());
  r.host.ReleaseKey(kQ);  // released in another window
  r.host.PressKey(kE);
  EXPECT_TRUE(r.host.RepeatKey(kE)) << "the keyboard repeats, to the other window";
  r.host.SendKeyMessage(kE, 1, 0, FALSE, FALSE, TRUE, FALSE);
  EXPECT_EQ(received, std::vector<Received>{Press(kQ)}) << "no key-up for Q";
  EXPECT_TRUE(r.host.AnyKeyDown());

  r.host.SetWindowFocused(true);
  EXPECT_EQ(received.size(), 1u) << "regaining the focus sends nothing";
  EXPECT_TRUE(r.host.RepeatKey(kE));
  r.host.ReleaseKey(kE);
  EXPECT_FALSE(r.host.AnyKeyDown());
  const std::vector<Received> expected = {Press(kQ), Repeat(kE), Release(kE)};
  EXPECT_EQ(received, expected) << "E, down before the focus came back, repeats and goes up here";
}

TEST(WindowsKeyboard, PressesRepeatsAndReleasesComeOutInOneOrderFromAnyThread) {
  RecordingHost r;
  constexpr int kRounds = 2000;
  const auto typist = [&r](DWORD key) {
    for (int i = 0; i < kRounds; ++i) {
      r.host.PressKey(key);
      r.host.RepeatKey(key);
      r.host.ReleaseKey(key);
    }
  };
  std::thread other(typist, kE);
  typist(kQ);
  other.join();
  // Per key, presses and releases alternate, and a repeat comes only while its key is the
  // one pressed last.
  for (const DWORD key : {kQ, kE}) {
    bool down = false;
    int releases = 0;
    DWORD pressedLast = 0;
    for (const Received& m : received) {
      const bool press = !m.isUp && !m.wasDown;
      if (press) {
        pressedLast = m.key;
      }
      if (m.key != key) {
        continue;
      }
      if (press) {
        EXPECT_FALSE(down);
        down = true;
      } else if (m.isUp) {
        EXPECT_TRUE(down);
        down = false;
        ++releases;
      } else {
        EXPECT_EQ(pressedLast, key) << "a repeat after the other key went down";
      }
    }
    EXPECT_EQ(releases, kRounds);
  }
}

}  // namespace
