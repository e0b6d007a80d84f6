// The log, Holdout.log: one line per finished run and per captured position, kept for the player
// to copy or look back on. It lies in the working folder, as players expect; where that folder
// refuses the write (a game under Program Files, a store install, a protected folder), in
// %LOCALAPPDATA%\Holdout. Each line is a complete open-append-close, so nothing is held between
// lines.
#pragma once

#include <string_view>

// Appends `text` and a line end to Holdout.log in the working folder or, when that cannot be
// written, to %LOCALAPPDATA%\Holdout\Holdout.log, making the folder when needed. True when the
// line reached one of them; false when both refused it.
bool WriteLog(std::string_view text);
