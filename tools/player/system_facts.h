// Facts of the system doctor runs on that change what a player must do: whether the game runs
// through Wine (where a game folder's proxy DLL is used only when Wine is told to prefer it),
// where the system's own libraries lie (a proxy under a system library's name must stand in for
// every function of the system's copy), and whether Holdout reads its settings file from the folder
// itself or, the file's path being too long for the profile functions, from a copy it makes in the
// temp folder, and whether that copy can be made. One implementation per platform, chosen by the
// build.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

// True when games on this system run through Wine: always on Linux, and on Windows when the
// program itself runs under Wine.
bool GamesRunThroughWine();

// How Holdout reads a settings file whose full path the profile functions cannot open.
struct SettingsCopyFacts {
  // The characters of the file's full path, as the game reports its folder (its long names).
  std::size_t pathLength = 0;
  // The temp folder Holdout copies the file into, as shown; empty when the system names none.
  std::string tempFolder;
  // What stops the copy, naming the folder; empty when a copy can be made there.
  std::string whyNoCopy;
};

// The facts for Holdout.ini in `folder` when its full path is too long for the profile
// functions; nothing when it is not, or where the path the game sees is not known (Linux, where
// Wine chooses the drive letter, and its temp folder is in its own prefix).
std::optional<SettingsCopyFacts> SettingsReadThroughCopy(const std::filesystem::path& folder);

// The folder that holds the system's own libraries, as the game's system sees it.
struct SystemFolder {
  std::optional<std::filesystem::path> path;  // nothing when there is none to read
  std::string whyNone;                        // then why, as a clause: "no Wine prefix ..."
};

// On Windows (and under Wine) the system folder Windows names (System32); on Linux the
// system32 folder of the Wine prefix that WINEPREFIX names, else of ~/.wine, when it is there.
SystemFolder SystemLibraryFolder();
