// Fuzz target: a sequence of key messages, questions and clock steps played against the
// keyboard state table and against a model that keeps time as a 64-bit count. The table
// answers in 32-bit tick-count arithmetic, so any answer that differs from the model's around
// the tick count's wrap, or for a code of 255 or more, is a fault; so is an entry that, after
// any step, holds other than the model's last message with its stamp and all three flags.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/sim_host.h"
#include "runtime/keyboard.h"

namespace {

// What the table should hold for one key: the last message and when it came.
struct ModelEntry {
  bool present = false;
  bool up = false;
  bool altDown = false;
  bool wasDown = false;
  std::uint64_t at = 0;  // on the 64-bit clock
};

struct Model {
  ModelEntry entries[kKeyStateCount];
  std::uint64_t now = 0;
};

[[noreturn]] void Fail(const char* what, std::uint32_t key, std::uint64_t now) {
  std::fprintf(stderr, "%s: key %u at tick %u\n", what, key, static_cast<std::uint32_t>(now));
  std::abort();
}

// The table's entry for `key` holds exactly the model's message, or nothing when it has none.
void CheckEntry(const ModelEntry& expected, std::uint32_t key, std::uint64_t now) {
  if (!expected.present) {
    if (keyStateTable[key].word.load() != 0) {
      Fail("entry not empty", key, now);
    }
    return;
  }
  const KeyMessage held = keyStateTable[key].Load();
  if (held.stamp != static_cast<std::uint32_t>(expected.at) || held.keyUp != expected.up ||
      held.altDown != expected.altDown || held.wasDown != expected.wasDown) {
    Fail("entry differs from the last message", key, now);
  }
}

// The key code an operation names: mostly table codes, sometimes codes the table must ignore.
std::uint32_t KeyOf(std::uint8_t op, std::uint8_t key) {
  switch (op >> 6) {
    case 0:
      return key % 8;  // a few keys, so that messages and questions meet
    case 1:
      return key;  // 255 is among them
    case 2:
      return 255u + key;
    default:
      return 0xFFFFFFFFu - key;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static sim::SimHost host;
  if (size < 4) {
    return 0;
  }
  for (KeyState& entry : keyStateTable) {
    entry.word.store(0);
  }
  Model model;
  model.now = static_cast<std::uint64_t>(data[0]) | static_cast<std::uint64_t>(data[1]) << 8 |
              static_cast<std::uint64_t>(data[2]) << 16 | static_cast<std::uint64_t>(data[3]) << 24;
  const std::uint64_t start = model.now;
  host.SetTickCount(static_cast<std::uint32_t>(model.now));

  for (std::size_t i = 4; i + 3 <= size; i += 3) {
    const std::uint8_t op = data[i];
    const std::uint32_t key = KeyOf(op, data[i + 1]);
    const std::uint8_t argument = data[i + 2];
    const std::uint32_t tick = static_cast<std::uint32_t>(model.now);
    switch (op % 6) {
      case 0: {
        // Clock steps of a few ms up to minutes; the model's answers hold while no message is
        // older than the tick count's period.
        static constexpr std::uint64_t kScales[] = {1, 16, 997, 60000};
        model.now += argument * kScales[(op >> 3) % 4];
        if (model.now - start >= (1ull << 31)) {
          return 0;
        }
        host.SetTickCount(static_cast<std::uint32_t>(model.now));
        break;
      }
      case 1:
      case 2:
      case 3: {
        const bool up = op % 6 == 3;
        const bool altDown = ((op >> 3) & 1) != 0;
        const bool wasDown = op % 6 != 1;
        OnKeyboardMessage(key, 1, 0, FALSE, altDown ? TRUE : FALSE, wasDown ? TRUE : FALSE,
                          up ? TRUE : FALSE);
        if (key < kKeyStateCount) {
          // A message at tick 0 is stamped a millisecond earlier.
          model.entries[key] =
              ModelEntry{true, up, altDown, wasDown, tick == 0 ? model.now - 1 : model.now};
        }
        break;
      }
      case 4: {
        bool expected = false;
        if (key < kKeyStateCount) {
          ModelEntry& entry = model.entries[key];
          expected = entry.present && entry.up && model.now - entry.at < kKeyReleaseWindowMs;
          if (expected) {
            entry = ModelEntry{};
          }
        }
        if (IsKeyReleased(key) != expected) {
          Fail(expected ? "release not reported" : "release reported", key, model.now);
        }
        break;
      }
      default: {
        bool expected = false;
        if (key < kKeyStateCount) {
          const ModelEntry& entry = model.entries[key];
          expected = entry.present && !entry.up && model.now - entry.at < kKeyHoldWindowMs;
        }
        if (IsKeyHeld(key) != expected) {
          Fail(expected ? "hold not reported" : "hold reported", key, model.now);
        }
        break;
      }
    }
    if (key < kKeyStateCount) {
      CheckEntry(model.entries[key], key, model.now);
    }
  }
  return 0;
}
