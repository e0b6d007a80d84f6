// The copies of Holdout's plug-in that a plug-in loader would load: every file named Holdout.asi,
// or a near name of it ending in .asi ("Holdout (1).asi"), in the game's folder and in the
// subfolders loaders search after it, in the order a loader meets them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "player/folder_listing.h"

struct PluginCopy {
  std::filesystem::path path;
  std::string subfolder;   // the loader subfolder's name as spelled on disk; empty: the game folder
  bool exactName = false;  // named Holdout.asi, in any case

  // The name relative to the game folder, with Windows's separator ("scripts\Holdout.asi").
  std::string Shown() const;
};

// The game folder's copies first, then each loader subfolder's; exact names before near names.
std::vector<PluginCopy> LoadedPluginCopies(const Listing& gameFolder);
