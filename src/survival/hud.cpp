// The run's kills and time on screen, and the end-of-run summary. Elapsed time is the unsigned
// difference of game-clock readings, so it stays right across the clock's wrap. The HUD's text
// is written digit by digit into a buffer on the stack: it is drawn in every frame of a run, and
// the C runtime's formatted output costs many times what the few digits need.
#include "survival/hud.h"

#include <cstdint>
#include <cstring>

#include "runtime/natives.h"
#include "runtime/screen.h"
#include "settings/settings.h"
#include "survival/run_state.h"

namespace {

// Copies `text` to `out`; returns the end of what was written.
char* WriteText(char* out, const char* text) {
  const std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

// Writes `value` in decimal to `out`; returns the end of what was written.
char* WriteDecimal(char* out, std::uint32_t value) {
  char digits[10];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) {
    *out++ = digits[--count];
  }
  return out;
}

// Writes `value` in decimal to `out`, with a minus sign when negative.
char* WriteSignedDecimal(char* out, std::int32_t value) {
  if (value < 0) {
    *out++ = '-';
    return WriteDecimal(out, 0u - static_cast<std::uint32_t>(value));
  }
  return WriteDecimal(out, static_cast<std::uint32_t>(value));
}

// The longest elapsed time, "71582:47", and its terminating zero.
constexpr std::size_t kElapsedTimeSize = 9;

// Writes the run's elapsed time as "m:ss" to `out`, "0:00" when no run is timed; returns the
// end of what was written.
char* WriteElapsedTime(char* out) {
  if (runState.startTick == 0) {
    return WriteText(out, "0:00");
  }
  const std::uint32_t seconds = (GetGameTimeMs() - runState.startGameTime) / 1000;
  out = WriteDecimal(out, seconds / 60);
  *out++ = ':';
  *out++ = static_cast<char>('0' + seconds % 60 / 10);
  *out++ = static_cast<char>('0' + seconds % 10);
  return out;
}

}  // namespace

std::string FormatElapsedTime() {
  char text[kElapsedTimeSize];
  return std::string(text, WriteElapsedTime(text));
}

void DrawRunHud() {
  if (!runState.runActive) {
    return;
  }
  // The longest text, "Kills: -2147483648\nTime survived: 71582:47", fits with room to spare.
  char text[64];
  char* end = WriteText(text, "Kills: ");
  end = WriteSignedDecimal(end, runState.killCount);
  end = WriteText(end, "\nTime survived: ");
  end = WriteElapsedTime(end);
  *end = '\0';
  DrawHudText(text);
}

SummaryText BuildSummaryText() {
  const std::string core = "You survived for " + FormatElapsedTime() + " and got " +
                           std::to_string(runState.killCount) + " kill(s)";
  const std::string limit = std::to_string(settings.MaxEnemies) + " max enemies)";
  return SummaryText{core + "\n(" + limit, core + " (" + limit};
}
