// Files of an install that a cloud-synced folder (OneDrive on the Desktop or in Documents, say)
// keeps online only: a placeholder whose contents are fetched when it is opened, and which
// cannot be opened while the machine is offline. The game then loads no such DLL, and Holdout
// reads such a settings file as missing.
#pragma once

#include <vector>

#include "player/folder_listing.h"
#include "player/library_checks.h"

// Adds to each verdict whose file is in the listed folder and online only what that means and
// the fix: keep it on this device.
void NameOnlineOnlyFiles(const Listing& listing, std::vector<FileVerdict>& verdicts);
