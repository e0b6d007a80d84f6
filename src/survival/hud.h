// The run's on-screen text (kills and time survived) and the end-of-run summary.
#pragma once

#include <string>

// The run's elapsed time as "m:ss" on the game clock; "0:00" when no run is timed.
std::string FormatElapsedTime();
// Draws "Kills: k\nTime survived: m:ss" at the top-left corner while a run is active.
void DrawRunHud();

struct SummaryText {
  std::string bannerForm;  // two lines, for the banner
  std::string logForm;     // one line, for the log
};
// The summary of the current run; built before the run's timer is cleared.
SummaryText BuildSummaryText();
