// Where Holdout's log goes, as doctor finds it out by trying what the plug-in does: the plug-in
// appends to Holdout.log in the game's working folder, creating it when needed, and where that
// folder refuses, to Holdout.log in %LOCALAPPDATA%\Holdout. doctor opens an existing log for
// appending without a write, and tries a file of its own where the log would be created, which
// it deletes again; it asks no access list, which sees neither a folder that refuses one program
// only nor a volume that has none.
#pragma once

#include "player/folder_listing.h"
#include "player/library_checks.h"

// Holdout.log's verdict for a game in the listed folder: where the log's lines go, and a problem
// when neither the working folder nor the fallback takes them.
FileVerdict JudgeLog(const Listing& listing);
