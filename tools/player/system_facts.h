// Facts of the system doctor runs on that change what a player must do: whether the game runs
// through Wine (where a game folder's proxy DLL is used only when Wine is told to prefer it),
// where the system's own libraries lie (a proxy under a system library's name must stand in for
// every function of the system's copy), and whether Holdout reads its settings file from the folder
// itself or, the file's path being too long for the profile functions, from a copy it makes in the
// temp folder, and whether that copy can be made; where a game started in its folder works, and
// where Holdout writes its log when that folder refuses it. One implementation per platform, chosen
// by the build.
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

// The longest path a program's working folder may have, its closing backslash aside
// (SetCurrentDirectoryW takes MAX_PATH characters with that backslash and the terminator).
constexpr std::size_t kWorkingFolderCapacity = 258;

// A game folder whose path is too long to be the game's working folder.
struct WorkingFolderElsewhere {
  // The characters of the folder's full path, as the game reports it (its long names).
  std::size_t pathLength = 0;
  // The folder the game then starts in, when the system decides it (Wine starts such a program
  // in its Windows folder); nothing when it depends on what starts the game.
  std::optional<std::filesystem::path> instead;
};

// The facts for a game started in `folder` when its path is too long to be the working folder;
// nothing when it is not, or where the path the game sees is not known (Linux).
std::optional<WorkingFolderElsewhere> WorkingFolderInstead(const std::filesystem::path& folder);

// Where Holdout writes its log when the working folder refuses it: Holdout.log in the Holdout
// folder of the user's local application data (%LOCALAPPDATA%), which it creates when needed.
struct LogFallback {
  std::string shown;  // the file's path as the player finds it
  // The local application data folder, where doctor can try it; nothing where it is not known
  // (Linux, where it lies in Wine's prefix).
  std::optional<std::filesystem::path> localAppData;
};
LogFallback LogFallbackPlace();
