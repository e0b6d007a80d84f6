// Where doctor stands: whether the folder it examines holds a game's 64-bit program (and whether
// another 64-bit program one level down may be the game, with a launcher at the root), whether it
// is Holdout's unpacked package instead, or the temporary folder a zip's program runs in before
// the zip is extracted, and where the game's folder seems to be when it is not this one; and, for a
// file missing from the folder but found one level up or down, what the player should move or where
// doctor should be run instead.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "player/folder_listing.h"
#include "player/library_checks.h"

// The folder's place, as doctor judges it first.
struct FolderPlace {
  FileVerdict verdict{};  // "game program": the folder's 64-bit programs, or the want of one
  std::vector<std::filesystem::path> programs{};  // the folder's 64-bit programs, by name
  bool isPackage = false;  // the folder is Holdout's unpacked package, with no game program
  bool insideZip = false;  // the temporary folder a program double-clicked inside a zip runs in
  // The folder one level up or down that holds a 64-bit program, when this one holds none.
  std::optional<std::filesystem::path> gameFolderElsewhere{};
};

FolderPlace JudgePlace(const Listing& listing, const Surroundings& around);

// Whether the folder is one that Windows or an archive program made to run a program from inside
// a zip that was never extracted: a folder "Temp<n>_<name>.zip" (Windows's own), or a folder
// "7zO<hex>" or "Rar$EX<...>" directly in a folder named Temp or tmp.
bool IsInsideZip(const std::filesystem::path& folder);

// The command line that runs doctor on `folder`.
std::string DoctorCommand(const std::filesystem::path& folder);

// Replaces a verdict's "not in this folder" with where the file was found one level up or down:
// why it does nothing there (`why`), and as advice either to run doctor on the folder that seems
// to be the game's, or to move the file into this folder (renaming it to `name` when its name
// differs).
void SayFoundNearby(const FoundNearby& found, const std::string& name, const std::string& why,
                    const FolderPlace& place, FileVerdict& verdict);
