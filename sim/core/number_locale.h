// The process's C-runtime locale, which every module of a Windows process shares: the game or
// another plug-in may set one whose numbers are written with a decimal comma, and from then on
// the C runtime's formatted input and output in every module read and write numbers so. The
// simulated host sets one this way to show what the plug-in makes of it.
#pragma once

namespace sim {

// Sets the whole locale of the process to one with a decimal comma (German: "de_DE.UTF-8" where
// the system or the folder that LOCPATH names holds it, "German_Germany.1252" on Windows).
// False, changing nothing, when the system has none.
bool SetDecimalCommaLocale();

// Sets the process's locale back to "C", the one every C program starts in.
void SetClassicLocale();

}  // namespace sim
