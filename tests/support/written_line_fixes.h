// check-ini's fixes of ignored lines taken at their word: each fix, applied to the file as its
// sentence tells the player (a key renamed, a line or a section's lines moved, a header renamed,
// the byte-order mark removed), makes the lines it concerns read through the plug-in's settings
// reader with the values they hold, and check-ini then no longer names them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "player/ini_lines.h"

namespace holdout_test {

// `text` with `fix` applied by a program of its own, and the numbers (from 1) of the lines the
// fix wrote or moved, in the fixed text.
struct FixedText {
  std::string text{};
  std::vector<int> lines{};
};
FixedText WithLineFix(const std::string& text, const LineFix& fix);

// Applies every fix of an ignored line check-ini gives for `text`, one at a time, and expects
// each fixed line naming a setting of its section to give that setting the value it held, and
// check-ini to name none of them as ignored. Returns the fixes applied.
std::size_t ExpectLineFixesHold(const std::string& text);

}  // namespace holdout_test
