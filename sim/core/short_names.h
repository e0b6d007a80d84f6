// The short (8.3) names of the simulated file system. Windows gives a file or folder whose name
// is not a valid 8.3 name a second, short one (such as SPIEL-~1) where the volume makes them;
// a path may spell a part by it (GetModuleFileNameW does, for a game started by such a path),
// and every file function accepts them. Linux has no
// such names, so the simulated world holds a table of them: an entry left out has none, as on a
// volume with short names turned off. Paths are UTF-8 with '/' or '\' between their parts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sim {

class ShortNames {
 public:
  // Gives the existing file or folder at `path` the short name `shortName`.
  void Add(const std::filesystem::path& path, std::string shortName);

  // The Linux path of a path that may spell parts by their short names (in any case), with
  // '/' between its parts.
  std::string Resolve(const std::string& path) const;

 private:
  // A part of a path as given and the real path up to and including it.
  struct WalkedPart {
    std::string given;
    std::filesystem::path real;
  };
  std::vector<WalkedPart> Walk(const std::string& path) const;

  struct Entry {
    std::filesystem::path path;  // the entry's full path, normalised
    std::string shortName;
  };
  std::vector<Entry> entries_;
};

}  // namespace sim
