// The keyboard state table in the simulated host: a release is reported once and only within
// 100 ms, a press or repeat counts as held for 5000 ms, codes of 255 and more are never seen,
// and both windows hold across the tick count's 32-bit wrap. Releases are observed through the
// frame loop (the spawner menu key steps the menu pages) and through the two questions asked
// directly on the host's clock.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/frame_steps.h"
#include "runtime/keyboard.h"
#include "support/default_keys.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "support/screen_reading.h"

namespace {

using holdout_test::MenuPageShown;
using holdout_test::Scenario;

const DWORD kMenuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
const DWORD kRotateKey = holdout_test::DefaultKey(&Settings::RotateObject);

SCENARIO_TEST(KeyRelease, IsReportedOnceInTheNextFrameWhateverItsFlags) {
  Scenario s;
  s.Start();
  s.host.TapKey(kMenuKey);
  s.RunFrame();
  EXPECT_EQ(MenuPageShown(s), 1) << "a tap between two frames is seen in the next frame";
  for (int i = 0; i < 10; ++i) {
    s.RunFrame();
    EXPECT_EQ(MenuPageShown(s), 1) << "the release was consumed; frame " << s.host.Frame();
  }

  s.host.PressKey(kMenuKey);
  for (int i = 0; i < 20; ++i) {
    s.host.RepeatKey(kMenuKey);
    s.RunFrame();
    EXPECT_EQ(MenuPageShown(s), 1) << "a key held down is not a release";
  }
  s.host.ReleaseKey(kMenuKey, /*withAlt=*/true);
  s.RunFrame();
  EXPECT_EQ(MenuPageShown(s), 2) << "a release with Alt down counts like any other";
  s.RunFrames(3);
  EXPECT_EQ(MenuPageShown(s), 2);
}

SCENARIO_TEST(KeyRelease, IsNeverReportedOnceItIsAHundredMillisecondsOld) {
  Scenario s;
  s.Start();
  const std::uint32_t frameMs = s.host.FrameDuration();

  // Seen by a frame 99 ms after the release.
  std::uint32_t releasedAt = s.host.TickCount();
  s.host.TapKey(kMenuKey);
  s.host.SetTickCount(releasedAt + 99 - frameMs);
  s.RunFrame();
  EXPECT_EQ(MenuPageShown(s), 1);

  // Not seen by a frame 100 ms after it, nor by any later frame, although the entry still
  // holds the release.
  releasedAt = s.host.TickCount();
  s.host.TapKey(kMenuKey);
  s.host.SetTickCount(releasedAt + 100 - frameMs);
  s.RunFrames(5);
  EXPECT_EQ(MenuPageShown(s), 1);
  EXPECT_TRUE(keyStateTable[kMenuKey].Load().keyUp);
  EXPECT_FALSE(IsKeyReleased(kMenuKey));
}

SCENARIO_TEST(KeyRelease, TheFirstQuestionConsumesIt) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n[KeyBinds]\nSpawnerMenu=113\n");
  s.Start();
  // The spawner menu step comes before the position capture and takes the release.
  s.host.TapKey(kPositionCaptureKey);
  s.RunFrame();
  EXPECT_EQ(MenuPageShown(s), 1);
  EXPECT_EQ(s.ReadLog(), "") << "the capture step no longer sees the release";

  s.host.TapKey(0x20);
  EXPECT_TRUE(IsKeyReleased(0x20));
  EXPECT_FALSE(IsKeyReleased(0x20));
  EXPECT_EQ(keyStateTable[0x20].word.load(), 0u) << "the whole entry is emptied";
}

SCENARIO_TEST(KeyHeld, LastsFiveSecondsAfterTheLastPressOrRepeat) {
  Scenario s;
  s.Load();
  const std::uint32_t t = s.host.TickCount();
  EXPECT_FALSE(IsKeyHeld(kRotateKey)) << "no message yet";
  s.host.PressKey(kRotateKey);
  s.host.SetTickCount(t + 4999);
  EXPECT_TRUE(IsKeyHeld(kRotateKey));
  EXPECT_FALSE(IsKeyReleased(kRotateKey)) << "a press is not a release";
  s.host.SetTickCount(t + 5000);
  EXPECT_FALSE(IsKeyHeld(kRotateKey)) << "still down, but no message for 5000 ms";

  s.host.RepeatKey(kRotateKey);
  s.host.SetTickCount(t + 9999);
  EXPECT_TRUE(IsKeyHeld(kRotateKey)) << "a repeat restamps the entry";
  EXPECT_TRUE(IsKeyHeld(kRotateKey)) << "asking does not change the entry";

  s.host.ReleaseKey(kRotateKey);
  EXPECT_FALSE(IsKeyHeld(kRotateKey)) << "right after the release";
  EXPECT_TRUE(IsKeyReleased(kRotateKey));
  EXPECT_FALSE(IsKeyHeld(kRotateKey)) << "after the release was consumed";
}

SCENARIO_TEST(KeyCodes, CodesOf255AndAboveAreNeverRecordedNorReported) {
  Scenario s;
  s.Start();
  const DWORD codes[] = {255, 256, kMenuKey + 256, kMenuKey + 0x80000000u, 0xFFFFFFFFu};
  for (const DWORD code : codes) {
    s.host.PressKey(code);
    EXPECT_FALSE(IsKeyHeld(code)) << code;
    s.host.ReleaseKey(code);
    EXPECT_FALSE(IsKeyReleased(code)) << code;
  }
  for (std::uint32_t key = 0; key < kKeyStateCount; ++key) {
    EXPECT_EQ(keyStateTable[key].word.load(), 0u) << "no entry aliases code " << key;
  }
  s.RunFrame();
  EXPECT_EQ(MenuPageShown(s), 0) << "code 0x143 is not the C key";
}

// How many bytes on each side of the key table are watched for stray writes: two entries' worth.
constexpr std::size_t kWatchedBytes = 2 * sizeof(KeyState);

// The bytes just before and just after the key table. They belong to whatever the linker put
// there (under AddressSanitizer, to the table's guard zones), so they are read without the
// sanitizer's checks and through addresses computed as integers.
__attribute__((no_sanitize("address"))) std::array<unsigned char, 2 * kWatchedBytes>
BytesAroundKeyTable() {
  const auto begin = reinterpret_cast<std::uintptr_t>(&keyStateTable);
  const std::uintptr_t end = begin + sizeof keyStateTable;
  std::array<unsigned char, 2 * kWatchedBytes> bytes{};
  for (std::size_t i = 0; i < kWatchedBytes; ++i) {
    bytes[i] = *reinterpret_cast<const volatile unsigned char*>(begin - kWatchedBytes + i);
    bytes[kWatchedBytes + i] = *reinterpret_cast<const volatile unsigned char*>(end + i);
  }
  return bytes;
}

// Asks `question` about `key` while the two entries' worth of bytes just past the key table
// hold `word`, then puts those bytes back: a question that read past the table's end would find
// a fresh message there and answer true. The bytes are written without the sanitizer's checks,
// which still report any read of them by the question itself.
__attribute__((no_sanitize("address"))) bool AskWithWordPastKeyTable(
    std::uint64_t word, bool (*question)(std::uint32_t), std::uint32_t key) {
  const std::uintptr_t end =
      reinterpret_cast<std::uintptr_t>(&keyStateTable) + sizeof keyStateTable;
  unsigned char planted[sizeof word];
  std::memcpy(planted, &word, sizeof word);
  std::array<unsigned char, kWatchedBytes> kept{};
  for (std::size_t i = 0; i < kWatchedBytes; ++i) {
    auto* byte = reinterpret_cast<volatile unsigned char*>(end + i);
    kept[i] = *byte;
    *byte = planted[i % sizeof word];
  }
  const bool answer = question(key);
  for (std::size_t i = 0; i < kWatchedBytes; ++i) {
    *reinterpret_cast<volatile unsigned char*>(end + i) = kept[i];
  }
  return answer;
}

std::array<std::uint64_t, kKeyStateCount> TableWords() {
  std::array<std::uint64_t, kKeyStateCount> words{};
  for (std::uint32_t key = 0; key < kKeyStateCount; ++key) {
    words[key] = keyStateTable[key].word.load();
  }
  return words;
}

// Every message is sent to the plug-in's own handler and table, so that a write past the table's
// end lands in real memory: the bytes watched around it here, or the guard zone that the
// AddressSanitizer build reports.
SCENARIO_TEST(KeyCodes, TheLastCodeWorksAndNoCodePastItTouchesTheTableOrItsNeighbours) {
  Scenario s;
  s.Load();
  // Every entry holds a press, so that a message written to the wrong entry changes its stamp.
  for (std::uint32_t key = 0; key < kKeyStateCount; ++key) {
    s.host.PressKey(key);
  }
  const struct {
    DWORD code;
    bool works;
  } cases[] = {{254, true}, {255, false}, {256, false}, {0xFFFFFFFFu, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "key code " << c.code);
    s.host.SetTickCount(s.host.TickCount() + 1000);
    std::array<std::uint64_t, kKeyStateCount> expected = TableWords();
    const std::array<unsigned char, 2 * kWatchedBytes> around = BytesAroundKeyTable();

    s.host.PressKey(c.code);
    EXPECT_EQ(IsKeyHeld(c.code), c.works);
    s.host.RepeatKey(c.code);
    EXPECT_EQ(IsKeyHeld(c.code), c.works);
    s.host.ReleaseKey(c.code);
    EXPECT_FALSE(IsKeyHeld(c.code));
    EXPECT_EQ(IsKeyReleased(c.code), c.works);
    s.host.ReleaseKey(c.code);
    if (c.works) {
      // The Alt keys are among those held, so the release comes as a system-key message.
      expected[c.code] = PackKeyMessage({s.host.TickCount(), true, true, true});
    }
    EXPECT_EQ(TableWords(), expected) << "only the code's own entry changes";
    EXPECT_EQ(BytesAroundKeyTable(), around) << "nothing beside the table changes";
    if (!c.works) {
      const std::uint32_t now = s.host.TickCount();
      EXPECT_FALSE(
          AskWithWordPastKeyTable(PackKeyMessage({now, false, false, false}), &IsKeyHeld, c.code));
      EXPECT_FALSE(AskWithWordPastKeyTable(PackKeyMessage({now, false, true, true}), &IsKeyReleased,
                                           c.code));
    }
  }
}

// The binding under test in BindingNeverFires; set before each fresh process is forked.
const char* spawnerMenuBinding = "";

void BindingNeverFires() {
  Scenario s;
  s.WriteIni(std::string("[KeyBinds]\nSpawnerMenu=") + spawnerMenuBinding + "\n");
  s.Start();
  for (const DWORD key : {kMenuKey, kMenuKey + 256, 0xFFu, 0xFFFFFFFFu}) {
    s.host.TapKey(key);
    s.RunFrame();
    EXPECT_EQ(MenuPageShown(s), 0) << "SpawnerMenu=" << spawnerMenuBinding << ", key " << key;
  }
}

TEST(KeyCodes, BindingOf255OrMoreNeverFires) {
  // 323 (0x143) would reach the C key's entry if the code were cut to a byte; -1 reads as
  // 0xFFFFFFFF.
  for (const char* binding : {"323", "-1", "255"}) {
    spawnerMenuBinding = binding;
    holdout_test::RunInFreshProcess(&BindingNeverFires);
  }
}

SCENARIO_TEST(KeyWrap, WindowsHoldAcrossTheTickCountWrap) {
  Scenario s;
  s.Start();
  const std::uint32_t beforeWrap = 0xFFFFFFFFu - 30;

  s.host.SetTickCount(beforeWrap);
  s.host.ReleaseKey(0x20);
  s.host.SetTickCount(beforeWrap + 99);  // 68 after the wrap
  EXPECT_TRUE(IsKeyReleased(0x20));
  s.host.SetTickCount(beforeWrap);
  s.host.ReleaseKey(0x20);
  s.host.SetTickCount(beforeWrap + 100);
  EXPECT_FALSE(IsKeyReleased(0x20));

  s.host.SetTickCount(beforeWrap);
  s.host.PressKey(kRotateKey);
  s.host.SetTickCount(beforeWrap + 4999);
  EXPECT_TRUE(IsKeyHeld(kRotateKey));
  s.host.SetTickCount(beforeWrap + 5000);
  EXPECT_FALSE(IsKeyHeld(kRotateKey));

  // Through the frame loop: released just before the wrap, asked just after it.
  s.host.SetTickCount(0xFFFFFFFFu - 10);
  s.host.TapKey(kMenuKey);
  s.RunFrame();
  ASSERT_LT(s.host.TickCount(), 100u);
  EXPECT_EQ(MenuPageShown(s), 1);
}

SCENARIO_TEST(KeyWrap, AnEntryWithoutMessagesIsNeverHeldAndAMessageAtTickZeroCounts) {
  Scenario s;
  s.Load();
  for (const std::uint32_t now : {0u, 1u, 16u, 4999u}) {
    s.host.SetTickCount(now);
    for (std::uint32_t key = 0; key < kKeyStateCount; ++key) {
      ASSERT_FALSE(IsKeyHeld(key)) << "key " << key << " at tick " << now;
      ASSERT_FALSE(IsKeyReleased(key)) << "key " << key << " at tick " << now;
    }
  }

  // A message that arrives at tick 0 is seen at once, and for its whole window.
  s.host.SetTickCount(0);
  s.host.PressKey(kRotateKey);
  EXPECT_TRUE(IsKeyHeld(kRotateKey));
  s.host.SetTickCount(4998);
  EXPECT_TRUE(IsKeyHeld(kRotateKey));
  s.host.SetTickCount(0);
  s.host.ReleaseKey(0x20);
  EXPECT_TRUE(IsKeyReleased(0x20));
  s.host.ReleaseKey(0x20);
  s.host.SetTickCount(98);
  EXPECT_TRUE(IsKeyReleased(0x20));
}

}  // namespace
