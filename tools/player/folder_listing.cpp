// Folder listings and name tests. Names are compared on the system's own spelling of each entry,
// which may hold characters no narrow string can, reduced to ASCII lower case.
#include "player/folder_listing.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "player/library_files.h"
#include "sentences/text.h"

namespace {

namespace fs = std::filesystem;

// The subfolders searched at most: a game folder has a few dozen; a folder with thousands is no
// game's, and searching it would only make doctor slow.
constexpr std::size_t kMaxChildren = 500;

// The entry's name in ASCII lower case, with '?' for every other character.
std::string LowerAscii(const fs::path::string_type& name) {
  std::string lower;
  lower.reserve(name.size());
  for (const auto c : name) {
    const auto code = static_cast<std::uint32_t>(c);
    lower += code < 0x80 ? static_cast<char>(std::tolower(static_cast<int>(code))) : '?';
  }
  return lower;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "holdout (n)" followed by `rest`, n being one or more digits.
bool IsNumberedCopy(const std::string& lowerName, const std::string& rest) {
  const std::string stem = "holdout (";
  if (!StartsWith(lowerName, stem) || !EndsWith(lowerName, ")" + rest)) {
    return false;
  }
  const std::size_t digitsEnd = lowerName.size() - rest.size() - 1;
  return digitsEnd > stem.size() &&
         std::all_of(lowerName.begin() + static_cast<std::ptrdiff_t>(stem.size()),
                     lowerName.begin() + static_cast<std::ptrdiff_t>(digitsEnd),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

std::optional<fs::path> Listing::Find(const std::string& name) const {
  const fs::path exact(name);
  if (std::find(names.begin(), names.end(), exact) != names.end()) {
    return folder / exact;
  }
  const std::string lower = Lower(name);
  for (const fs::path& entry : names) {
    if (LowerAscii(entry.native()) == lower) {
      return folder / entry;
    }
  }
  return std::nullopt;
}

std::vector<fs::path> Listing::Matching(bool (*test)(const std::string& lowerName)) const {
  std::vector<fs::path> found;
  for (const fs::path& entry : names) {
    if (test(LowerAscii(entry.native()))) {
      found.push_back(folder / entry);
    }
  }
  return found;
}

std::optional<Listing> ListFolder(const fs::path& folder, std::string& whyNot) {
  Listing listing{folder, {}};
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    listing.names.push_back(entry->path().filename());
  }
  if (error) {
    whyNot = error.message();
    return std::nullopt;
  }
  std::sort(listing.names.begin(), listing.names.end());
  return listing;
}

Surroundings ListSurroundings(const Listing& listing) {
  Surroundings around;
  std::string ignored;
  const fs::path parent = listing.folder.parent_path();
  if (!parent.empty() && parent != listing.folder) {
    around.parent = ListFolder(parent, ignored);
  }
  for (const fs::path& name : listing.names) {
    std::error_code error;
    const fs::path child = listing.folder / name;
    if (around.children.size() == kMaxChildren || !fs::is_directory(child, error)) {
      continue;
    }
    if (std::optional<Listing> inside = ListFolder(child, ignored)) {
      around.children.push_back(std::move(*inside));
    }
  }
  return around;
}

std::optional<FoundNearby> FindNearby(const Surroundings& around,
                                      bool (*test)(const std::string& lowerName)) {
  if (around.parent) {
    const std::vector<fs::path> above = around.parent->Matching(test);
    if (!above.empty()) {
      return FoundNearby{above.front(), true};
    }
  }
  for (const Listing& child : around.children) {
    const std::vector<fs::path> below = child.Matching(test);
    if (!below.empty()) {
      return FoundNearby{below.front(), false};
    }
  }
  return std::nullopt;
}

bool IsHostName(const std::string& lowerName) {
  return lowerName == Lower(kHostFileName);
}

bool IsPluginName(const std::string& lowerName) {
  return lowerName == Lower(kPluginFileName);
}

bool IsSettingsName(const std::string& lowerName) {
  return lowerName == "holdout.ini";
}

bool IsPluginNearName(const std::string& lowerName) {
  return StartsWith(lowerName, "holdout") && !IsPluginName(lowerName) &&
         (EndsWith(lowerName, ".asi") || EndsWith(lowerName, ".dll") ||
          lowerName.find(".asi.") != std::string::npos);
}

bool IsUnfinishedDownload(const std::string& lowerName) {
  return EndsWith(lowerName, ".part") || EndsWith(lowerName, ".crdownload");
}

bool IsSettingsNearName(const std::string& lowerName) {
  return StartsWith(lowerName, "holdout.ini.") || IsNumberedCopy(lowerName, ".ini");
}

bool IsPackageOnlyName(const std::string& lowerName) {
  return lowerName == "players-guide.txt" || lowerName == "holdout.exe";
}
