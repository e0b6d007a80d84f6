// The installed plug-in's build beside doctor's own. Holdout.asi's version resource names its
// version and the commit it was built from; the same build is sound. Another build is a problem,
// since what doctor says of the plug-in (how it reads its settings, what it needs) holds for
// its own build only: doctor says which of the two is newer by version, or that they are two
// builds of one version, and its advice ends with the newer plug-in and the holdout.exe of its
// package, never with an older plug-in copied over a newer one.
#pragma once

#include "player/library_checks.h"
#include "player/library_files.h"

// How the installed plug-in compares with this holdout.exe's build.
enum class PluginBuild {
  kUnknown,  // no plug-in read, or one that carries no version
  kSame,     // the same version and commit
  kOther,    // another version, or the same version from another commit or none
};

// Puts the plug-in's build into its verdict: in front of the finding when it is this
// holdout.exe's own, and as a problem when it is another; tells which it is.
PluginBuild SayPluginBuild(const FoundLibrary& plugin, FileVerdict& verdict);
