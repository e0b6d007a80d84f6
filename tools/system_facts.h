// Facts of the system doctor runs on that change what a player must do: whether the game runs
// through Wine (where a game folder's proxy DLL is used only when Wine is told to prefer it),
// and whether a folder's path survives the system's ANSI code page (the plug-in finds its
// settings file through the ANSI functions). One implementation per platform, chosen by the
// build.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// True when games on this system run through Wine: always on Linux, and on Windows when the
// program itself runs under Wine.
bool GamesRunThroughWine();

// The folder's full path as the ANSI functions give it back, when the system's ANSI code page
// cannot hold one of its characters exactly (each such character becomes '?' or a look-alike);
// nothing when the path survives, or where programs see paths as they are (Linux).
std::optional<std::string> PathAsAnsiFunctionsSeeIt(const std::filesystem::path& folder);
