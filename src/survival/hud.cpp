// The run's kills and time on screen, and the end-of-run summary. Elapsed time is the unsigned
// difference of game-clock readings, so it stays right across the clock's wrap.
#include "survival/hud.h"

#include <cstdint>
#include <cstdio>

#include "runtime/natives.h"
#include "runtime/screen.h"
#include "settings/settings.h"
#include "survival/run.h"

std::string FormatElapsedTime() {
  if (runState.startTick == 0) {
    return "0:00";
  }
  const std::uint32_t seconds = (GetGameTimeMs() - runState.startGameTime) / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
  return text;
}

void DrawRunHud() {
  if (!runState.runActive) {
    return;
  }
  // Built in place every frame: the longest text, "Kills: -2147483648\nTime survived: 71582:47",
  // fits with room to spare, and the elapsed time's few characters need no heap.
  char text[64];
  std::snprintf(text, sizeof text, "Kills: %d\nTime survived: %s",
                static_cast<int>(runState.killCount), FormatElapsedTime().c_str());
  DrawHudText(text);
}

SummaryText BuildSummaryText() {
  const std::string core = "You survived for " + FormatElapsedTime() + " and got " +
                           std::to_string(runState.killCount) + " kill(s)";
  const std::string limit = std::to_string(settings.MaxEnemies) + " max enemies)";
  return SummaryText{core + "\n(" + limit, core + " (" + limit};
}
