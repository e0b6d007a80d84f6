// The installed plug-in's version beside doctor's own: the version Holdout.asi carries in its
// version resource goes on its line, and a version other than this holdout.exe's is a problem,
// since then an update was not copied into the game folder, or doctor comes from another
// download than the plug-in it checks.
#pragma once

#include "player/library_checks.h"
#include "player/library_files.h"

// The version of this holdout.exe, which it shows first.
inline constexpr const char* kDoctorVersion = HOLDOUT_VERSION;

// Puts the plug-in's version into its verdict: in front of the finding when it is sound, and as
// a problem when the version differs from kDoctorVersion.
void SayPluginVersion(const FoundLibrary& plugin, FileVerdict& verdict);
