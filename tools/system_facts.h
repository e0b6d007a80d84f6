// Facts of the system doctor runs on that change what a player must do: whether the game runs
// through Wine (where a game folder's proxy DLL is used only when Wine is told to prefer it),
// and whether a folder's path survives the system's ANSI code page, or else has a short form
// that does (the plug-in reads its settings file through the ANSI functions). One implementation
// per platform, chosen by the build.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// True when games on this system run through Wine: always on Linux, and on Windows when the
// program itself runs under Wine.
bool GamesRunThroughWine();

// What the ANSI functions make of a folder's path that holds characters the system's ANSI code
// page cannot hold exactly.
struct AnsiPathFacts {
  // The full path as the ANSI functions give it back (each such character as '?' or a
  // look-alike).
  std::string seen;
  // The path the plug-in hands the ANSI functions instead, the folder's short (8.3) form, when
  // there is one that the code page holds; nothing when there is none.
  std::optional<std::string> shortForm;
};

// The facts when the folder's full path does not survive the ANSI code page; nothing when it
// does, or where programs see paths as they are (Linux).
std::optional<AnsiPathFacts> PathAsAnsiFunctionsSeeIt(const std::filesystem::path& folder);
