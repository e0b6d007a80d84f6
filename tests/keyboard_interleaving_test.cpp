// One key message from the host against one key test on the same entry, in every order their
// steps can take. The test's steps are its accesses to the entry word and its read of the
// clock; a stepping word runs the handler (through the simulated host) before the chosen step,
// or after the test has returned. The handler's own clock read is the stamp it writes: at most
// the test's clock unless the message lands after the test read its clock, when it may also
// be a millisecond later. Every outcome must be that of the two running one after the other,
// in either order: the answer and the entry left behind, stamp and flags alike. The entries
// met first include stale ones: a release too old to report, over which a press arriving
// mid-test must neither read as a fresh release nor be lost.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "runtime/keyboard.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;

constexpr DWORD kKey = 0x43;

// A message the host delivers, and the stamp it leaves for a given tick count.
struct Message {
  const char* name;
  bool keyUp;
  bool altDown;
  bool wasDown;

  KeyMessage At(std::uint32_t tick) const {
    return KeyMessage{tick == 0 ? 0xFFFFFFFFu : tick, altDown, wasDown, keyUp};
  }
};

constexpr Message kPress{"press", false, false, false};
constexpr Message kRepeat{"repeat", false, false, true};
constexpr Message kPressWithAlt{"press with Alt", false, true, false};
constexpr Message kRelease{"release", true, false, true};
constexpr Message kReleaseWithAlt{"release with Alt", true, true, true};

// The entry before the test: nothing, or a message of the given age.
struct Before {
  const Message* message;  // null: an empty entry
  std::uint32_t ageMs;
};

// What the test answers and leaves, as the rules say it for one order.
struct Outcome {
  bool answer;
  KeyMessage entry;  // stamp 0: empty
};

bool Fresh(const KeyMessage& entry, std::uint32_t now, std::uint32_t windowMs) {
  return entry.stamp != 0 && now - entry.stamp < windowMs;
}

Outcome ReleaseRule(const KeyMessage& entry, std::uint32_t now) {
  if (entry.keyUp && Fresh(entry, now, kKeyReleaseWindowMs)) {
    return {true, KeyMessage{}};
  }
  return {false, entry};
}

Outcome HeldRule(const KeyMessage& entry, std::uint32_t now) {
  return {!entry.keyUp && Fresh(entry, now, kKeyHoldWindowMs), entry};
}

bool SameEntry(const KeyMessage& a, const KeyMessage& b) {
  return a.stamp == b.stamp && a.keyUp == b.keyUp && a.altDown == b.altDown &&
         a.wasDown == b.wasDown;
}

bool SameOutcome(const Outcome& a, const Outcome& b) {
  return a.answer == b.answer && SameEntry(a.entry, b.entry);
}

std::string Describe(const Outcome& outcome) {
  const KeyMessage& e = outcome.entry;
  return std::string(outcome.answer ? "true" : "false") + ", entry {stamp " +
         std::to_string(e.stamp) + (e.keyUp ? ", up" : "") + (e.altDown ? ", alt" : "") +
         (e.wasDown ? ", was down" : "") + "}";
}

// The table's entry word with a count of the steps taken on it; before step number `writeAt`
// it delivers the message. The test's clock read counts as a step too.
class SteppingWord {
 public:
  SteppingWord(std::atomic<std::uint64_t>& word, int writeAt, std::function<void()> deliver)
      : word_(word), writeAt_(writeAt), deliver_(std::move(deliver)) {}

  // The two operations of std::atomic the key table uses, under their standard names.
  // NOLINTNEXTLINE(readability-identifier-naming)
  std::uint64_t load() {
    Step();
    return word_.load();
  }
  // NOLINTNEXTLINE(readability-identifier-naming)
  bool compare_exchange_strong(std::uint64_t& expected, std::uint64_t desired) {
    Step();
    return word_.compare_exchange_strong(expected, desired);
  }
  // Counts the test's clock read as a step and answers `now`.
  std::uint32_t ReadClock(std::uint32_t now) {
    clockStep_ = steps_;
    Step();
    return now;
  }
  // Delivers the message if no step came to it.
  void Finish() {
    if (steps_ <= writeAt_) {
      deliver_();
    }
  }
  int Steps() const { return steps_; }
  // The number of the clock-read step; -1 when the test did not read the clock.
  int ClockStep() const { return clockStep_; }

 private:
  void Step() {
    if (steps_++ == writeAt_) {
      deliver_();
    }
  }

  std::atomic<std::uint64_t>& word_;
  int writeAt_;
  std::function<void()> deliver_;
  int steps_ = 0;
  int clockStep_ = -1;
};

void Send(Scenario& s, const Message& message, std::uint32_t tick) {
  s.host.SetTickCount(tick);
  s.host.SendKeyMessage(kKey, 1, 0, FALSE, message.altDown ? TRUE : FALSE,
                        message.wasDown ? TRUE : FALSE, message.keyUp ? TRUE : FALSE);
}

void SetEntry(Scenario& s, const Before& before, std::uint32_t now) {
  keyStateTable[kKey].word.store(0);
  if (before.message != nullptr) {
    Send(s, *before.message, now - before.ageMs);
  }
}

// Runs one key test (the release test, or else the hold test) over the entry `before` against
// each message, in every order, at the clock reading `now`.
void CheckEveryOrder(Scenario& s, bool releaseTest, std::uint32_t now, const Before& before,
                     std::initializer_list<const Message*> messages) {
  const auto rule = releaseTest ? &ReleaseRule : &HeldRule;
  for (const Message* message : messages) {
    // Stamped a millisecond before the test's clock reading, at it, or a millisecond after.
    for (const std::uint32_t arrivalTick : {now - 1, now, now + 1}) {
      for (int writeAt = 0;; ++writeAt) {
        SetEntry(s, before, now);
        const KeyMessage first = keyStateTable[kKey].Load();
        SteppingWord word(keyStateTable[kKey].word, writeAt,
                          [&] { Send(s, *message, arrivalTick); });
        const auto clock = [&] { return word.ReadClock(now); };
        const bool answer = releaseTest ? TakeKeyRelease(word, clock) : ReadKeyHeld(word, clock);
        word.Finish();
        const int steps = word.Steps();
        // A message stamped after the test's clock reading lands after that reading.
        if (arrivalTick == now + 1 && writeAt <= word.ClockStep()) {
          continue;
        }
        const Outcome seen{answer, keyStateTable[kKey].Load()};
        const KeyMessage arrived = message->At(arrivalTick);
        const Outcome testFirst{rule(first, now).answer, arrived};
        const Outcome writeFirst = rule(arrived, now);
        // Before the first step the message is in place; after the last it comes second.
        const bool allowed = writeAt == 0 ? SameOutcome(seen, writeFirst)
                             : writeAt >= steps
                                 ? SameOutcome(seen, testFirst)
                                 : SameOutcome(seen, writeFirst) || SameOutcome(seen, testFirst);
        EXPECT_TRUE(allowed) << (releaseTest ? "IsKeyReleased" : "IsKeyHeld") << " over "
                             << (before.message ? before.message->name : "an empty entry") << " "
                             << before.ageMs << " ms old, " << message->name << " stamped "
                             << arrivalTick << " before step " << writeAt << " of " << steps
                             << ", clock " << now << ": got " << Describe(seen)
                             << "; one after the other gives " << Describe(testFirst) << " or "
                             << Describe(writeFirst);
        if (writeAt >= steps) {
          break;
        }
      }
    }
  }
}

constexpr Before kEntries[] = {
    {nullptr, 0},           {&kRelease, 0},         {&kRelease, 50}, {&kReleaseWithAlt, 99},
    {&kRelease, 100},       {&kRelease, 6000},      {&kPress, 10},   {&kRepeat, 4999},
    {&kPressWithAlt, 5000}, {&kPress, 0x80000000u},
};

SCENARIO_TEST(KeyInterleaving, AReleaseTestAndAMessageInEveryOrderActAsOneAfterTheOther) {
  Scenario s;
  s.Load();
  // An ordinary clock, and one that has just wrapped, so that old stamps lie before the wrap.
  for (const std::uint32_t now : {1000000u, 40u}) {
    for (const Before& before : kEntries) {
      CheckEveryOrder(s, /*releaseTest=*/true, now, before,
                      {&kPress, &kRepeat, &kPressWithAlt, &kRelease, &kReleaseWithAlt});
    }
  }
}

SCENARIO_TEST(KeyInterleaving, AHoldTestAndAMessageInEveryOrderActAsOneAfterTheOther) {
  Scenario s;
  s.Load();
  for (const std::uint32_t now : {1000000u, 40u}) {
    for (const Before& before : kEntries) {
      CheckEveryOrder(s, /*releaseTest=*/false, now, before,
                      {&kPress, &kRepeat, &kRelease, &kReleaseWithAlt});
    }
  }
}

// The case the one-word entry exists for: a release too old to report, and a press arriving
// between the release test's look at the entry and its clock read. The press is neither
// reported as a release nor lost.
SCENARIO_TEST(KeyInterleaving, APressArrivingMidTestOverAStaleReleaseIsKeptAndNotReported) {
  Scenario s;
  s.Load();
  const std::uint32_t now = 1000000;
  SetEntry(s, {&kRelease, 6000}, now);
  SteppingWord word(keyStateTable[kKey].word, /*writeAt=*/1, [&] { Send(s, kPress, now); });
  EXPECT_FALSE(TakeKeyRelease(word, [&] { return word.ReadClock(now); }));
  word.Finish();
  EXPECT_TRUE(SameEntry(keyStateTable[kKey].Load(), kPress.At(now)));
  s.host.SetTickCount(now + 4999);
  EXPECT_TRUE(IsKeyHeld(kKey));
}

}  // namespace
