// The log, "Holdout.log" in the working directory: one line per finished run and per captured
// position. Each line is a complete open-append-close, so nothing is held between lines.
#pragma once

#include <string>

// Appends `text` and a line end; the line is dropped silently when the file cannot be opened.
void WriteLog(std::string text);
