// What to do when a file of the install is missing that the player may well have copied:
// antivirus software often quarantines unsigned DLLs, Holdout.asi and plug-in loaders alike,
// when they are downloaded or unpacked, and the file is simply gone.
#pragma once

#include "player/library_checks.h"

// Ends the advice of a verdict on a missing Holdout.asi or plug-in loader (a problem of kind
// kMissing or kNoLoader) with where to find and restore a quarantined file; leaves any other
// verdict as it is.
void AddAntivirusAdvice(FileVerdict& verdict);

// The sentence itself, for a file named `file`.
std::string AntivirusAdvice(const std::string& file);
