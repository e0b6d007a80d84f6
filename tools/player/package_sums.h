// Whether the installed Holdout.asi is the very file of a package: the player package carries
// SHA256SUMS.txt, the SHA-256 of each of its files as `sha256sum` writes them. Where that list
// lies in the folder doctor runs in (the unpacked package, or the game folder holdout.exe was
// copied to) or in the game folder, doctor compares the plug-in it judges with it.
#pragma once

#include "player/folder_listing.h"
#include "player/library_checks.h"

// The list's file name in the package.
inline constexpr const char* kSumsFileName = "SHA256SUMS.txt";

// Compares the game folder's Holdout.asi (or else the one of a loader subfolder) with the list
// in the current folder, else with the game folder's, the first that names Holdout.asi: the
// finding says so when it is the listed file, a problem when it is not. Says nothing when there
// is no such list or plug-in.
void SayPackageSums(const Listing& gameFolder, FileVerdict& verdict);
