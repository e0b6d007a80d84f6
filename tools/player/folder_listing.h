// Where doctor looks for an install's files: the folder it examines, the folder one level up and
// every folder one level down, each listed once. Names compare as Windows compares them, without
// regard to case, and the names players end up with by mistake ("Holdout (1).dll",
// "Holdout.ini.txt") are recognised as near names of the files they stand for.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The entries of one folder, read once.
struct Listing {
  std::filesystem::path folder;
  std::vector<std::filesystem::path> names;

  // The entry of this name: spelled exactly so, or else with other capitals; nothing if none.
  std::optional<std::filesystem::path> Find(const std::string& name) const;

  // The entries whose names pass `test`, which is given the name in ASCII lower case (any other
  // character as '?'), in the order of the names.
  std::vector<std::filesystem::path> Matching(bool (*test)(const std::string& lowerName)) const;
};

// The folder's entries; nothing with the system's reason in whyNot when it cannot be read.
std::optional<Listing> ListFolder(const std::filesystem::path& folder, std::string& whyNot);

// The folders around the examined one that doctor searches for files out of place.
struct Surroundings {
  std::optional<Listing> parent;  // nothing at the root, or when it cannot be read
  std::vector<Listing> children;  // the readable subfolders, by name
};

// Lists the parent and the subfolders of the folder `listing` holds (whose path is absolute).
Surroundings ListSurroundings(const Listing& listing);

// A file found one level up or down from the examined folder.
struct FoundNearby {
  std::filesystem::path path;
  bool above = false;  // in the parent; in a subfolder otherwise
};

// The first file passing `test` in the parent, else in the subfolders; nothing when none does.
std::optional<FoundNearby> FindNearby(const Surroundings& around,
                                      bool (*test)(const std::string& lowerName));

// Name tests for Listing::Matching and FindNearby, on a name in ASCII lower case.
bool IsHostName(const std::string& lowerName);
bool IsPluginName(const std::string& lowerName);
bool IsSettingsName(const std::string& lowerName);
// "Holdout*.asi" and "Holdout*.dll" other than Holdout.asi, "Holdout (n).asi", and
// "Holdout*.asi.*": a text editor's or a browser's added extension (Holdout.asi.txt,
// Holdout.asi.part).
bool IsPluginNearName(const std::string& lowerName);
// A browser's name for a download that has not finished (".part", ".crdownload").
bool IsUnfinishedDownload(const std::string& lowerName);
// "Holdout.ini.*" (a text editor's added extension) and "Holdout (n).ini", as browsers save a
// second download.
bool IsSettingsNearName(const std::string& lowerName);
// The files of Holdout's unpacked package that never belong to a game: the guide and the
// command holdout.exe.
bool IsPackageOnlyName(const std::string& lowerName);
