// Where the profile functions find the settings file: the host executable's folder, read in full
// in the wide form, so that a folder named in any language is opened as itself. The profile
// functions open a path of at most kProfilePathCapacity - 1 characters (measured under Wine,
// where a \\?\ prefix gains nothing), and a game can run from a deeper folder, on a volume with
// short (8.3) names or without. Such a file is copied byte for byte into the temp folder, under
// a name of its own there, whose path the profile functions can open; the copy is deleted once
// read. doctor asks the same questions through these functions, so it says what the plug-in
// does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// MAX_PATH: the room for a path the profile functions open, its terminator included.
constexpr std::size_t kProfilePathCapacity = 260;
// The longest temp folder GetTempFileNameW takes: MAX_PATH - 14, room left for the file's name.
constexpr std::size_t kTempFolderCapacity = kProfilePathCapacity - 14;

// The host executable's folder, read in full in the wide form, ending in a separator; ".\" when
// the executable's path names no folder (the working directory).
std::u16string ExecutableFolder();

// True when the profile functions open the file by this path.
bool ProfileFunctionsOpen(const std::u16string& path);

// The temp folder as GetTempPathW gives it, when GetTempFileNameW takes a folder that long;
// nothing otherwise. Whether it exists and takes a new file is left to the copy.
std::optional<std::u16string> TempFolderForCopy();

// Copies the file at `path` into a new file of the temp folder and returns the copy's path
// (not read-only, whatever the original is), which the caller deletes with DeleteFileW once
// read; nothing when no copy could be made, and then no file is left behind.
std::optional<std::u16string> CopyForProfileFunctions(const std::u16string& path);
