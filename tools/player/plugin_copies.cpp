// Lists the game folder and its loader subfolders (found without regard to case, as Windows
// finds them) for the .asi files a loader would take for Holdout.
#include "player/plugin_copies.h"

#include "player/arguments.h"
#include "player/plugin_loaders.h"

namespace {

namespace fs = std::filesystem;

bool IsLoadedNearName(const std::string& lowerName) {
  return IsPluginNearName(lowerName) && lowerName.ends_with(".asi");
}

void AddCopies(const Listing& listing, const std::string& subfolder,
               std::vector<PluginCopy>& copies) {
  for (const fs::path& path : listing.Matching(IsPluginName)) {
    copies.push_back({.path = path, .subfolder = subfolder, .exactName = true});
  }
  for (const fs::path& path : listing.Matching(IsLoadedNearName)) {
    copies.push_back({.path = path, .subfolder = subfolder, .exactName = false});
  }
}

}  // namespace

std::string PluginCopy::Shown() const {
  const std::string name = ShownPath(path.filename());
  return subfolder.empty() ? name : subfolder + "\\" + name;
}

std::vector<PluginCopy> LoadedPluginCopies(const Listing& gameFolder) {
  std::vector<PluginCopy> copies;
  AddCopies(gameFolder, "", copies);
  for (const char* name : kPluginSubfolders) {
    const std::optional<fs::path> subfolder = gameFolder.Find(name);
    std::error_code error;
    std::string ignored;
    if (!subfolder || !fs::is_directory(*subfolder, error)) {
      continue;
    }
    if (const std::optional<Listing> inside = ListFolder(*subfolder, ignored)) {
      AddCopies(*inside, ShownPath(subfolder->filename()), copies);
    }
  }
  return copies;
}
