// The folder's place: its programs are told apart by the first headers of each .exe (a game's
// program can be far larger than doctor reads whole), and holdout.exe, which comes with
// Holdout's package, is never taken for the game.
#include "player/doctor_places.h"

#include <algorithm>
#include <fstream>

#include "binary_reader/pe_layout.h"
#include "player/arguments.h"
#include "sentences/text.h"

namespace {

namespace fs = std::filesystem;

// The bytes read of each program: its first headers lie near its start, in practice within the
// first page; the rest of a program of many megabytes is never read.
constexpr std::size_t kHeaderBytes = 64 * 1024;

// Stands for the game's folder in a command when doctor does not know where that is.
constexpr const char* kAnyGameFolder = "<the game's folder>";

// Programs named in a finding at most; the rest are counted.
constexpr std::size_t kProgramsNamed = 3;

// The files of Holdout's package that tell a folder is the package unpacked.
constexpr const char* kPackageFiles[] = {"Holdout.asi", "Holdout.ini", "PLAYERS-GUIDE.txt",
                                         "holdout.exe"};

// The names archive programs give the folder they extract a single program into, in lower case.
constexpr const char* kArchiveTempPrefixes[] = {"7zo", "rar$ex"};

bool IsProgramName(const std::string& lowerName) {
  return lowerName.size() > 4 && lowerName.compare(lowerName.size() - 4, 4, ".exe") == 0 &&
         !IsPackageOnlyName(lowerName);
}

PeKind KindOf(const fs::path& file) {
  std::ifstream stream(file, std::ios::binary);
  std::vector<std::uint8_t> start(kHeaderBytes);
  stream.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(std::max<std::streamsize>(stream.gcount(), 0)));
  return ReadPeKind(start);
}

// The folder's 64-bit programs, and its other ones (32-bit, or for another machine).
struct Programs {
  std::vector<fs::path> games;
  std::vector<fs::path> others;
};

Programs ProgramsIn(const Listing& listing) {
  Programs programs;
  for (const fs::path& file : listing.Matching(IsProgramName)) {
    switch (KindOf(file)) {
      case PeKind::kProgram64:
        programs.games.push_back(file);
        break;
      case PeKind::kOther:
        programs.others.push_back(file);
        break;
      case PeKind::kNotAnImage:
      case PeKind::kLibrary64:
        break;
    }
  }
  return programs;
}

// The paths as shown, the first few of them, then how many more.
std::string FirstFew(const std::vector<fs::path>& paths) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < paths.size() && i < kProgramsNamed; ++i) {
    names.push_back(ShownPath(paths[i]));
  }
  if (paths.size() > kProgramsNamed) {
    names.push_back(std::to_string(paths.size() - kProgramsNamed) + " more");
  }
  return Listed(names);
}

// The names of the files, the first few of them, then how many more.
std::string NamesOf(const std::vector<fs::path>& files) {
  std::vector<fs::path> names;
  for (const fs::path& file : files) {
    names.push_back(file.filename());
  }
  return FirstFew(names);
}

bool HoldsThePackage(const Listing& listing) {
  return std::all_of(std::begin(kPackageFiles), std::end(kPackageFiles),
                     [&listing](const char* name) { return listing.Find(name).has_value(); });
}

// The 64-bit programs one level down, each by its subfolder and name; the folder of the first
// is `firstFolder`.
std::vector<fs::path> ProgramsBelow(const Surroundings& around, fs::path& firstFolder) {
  std::vector<fs::path> below;
  for (const Listing& child : around.children) {
    for (const fs::path& program : ProgramsIn(child).games) {
      if (below.empty()) {
        firstFolder = child.folder;
      }
      below.push_back(child.folder.filename() / program.filename());
    }
  }
  return below;
}

bool IsArchiveTempName(const std::string& lowerName) {
  return std::any_of(std::begin(kArchiveTempPrefixes), std::end(kArchiveTempPrefixes),
                     [&lowerName](const char* prefix) { return lowerName.rfind(prefix, 0) == 0; });
}

// The first 64-bit program one level up, else one level down.
std::optional<fs::path> GameNearby(const Surroundings& around) {
  if (around.parent) {
    const Programs above = ProgramsIn(*around.parent);
    if (!above.games.empty()) {
      return above.games.front();
    }
  }
  for (const Listing& child : around.children) {
    const Programs below = ProgramsIn(child);
    if (!below.games.empty()) {
      return below.games.front();
    }
  }
  return std::nullopt;
}

}  // namespace

bool IsInsideZip(const fs::path& folder) {
  std::string previous;
  for (const fs::path& part : folder) {
    const std::string name = Lower(ShownPath(part));
    const bool windowsZip = name.rfind("temp", 0) == 0 && name.find(".zip") != std::string::npos;
    const bool inTemp = previous == "temp" || previous == "tmp";
    if (windowsZip || (inTemp && IsArchiveTempName(name))) {
      return true;
    }
    previous = name;
  }
  return false;
}

std::string DoctorCommand(const fs::path& folder) {
  return "holdout doctor \"" + ShownPath(folder) + "\"";
}

FolderPlace JudgePlace(const Listing& listing, const Surroundings& around) {
  FolderPlace place{.verdict = {.file = "game program"}};
  const Programs here = ProgramsIn(listing);
  place.programs = here.games;
  if (IsInsideZip(listing.folder)) {
    place.insideZip = true;
    place.verdict.problems.push_back(
        {.kind = ProblemKind::kNotAGameFolder,
         .sentence = "this is a temporary folder that Windows (or an archive program) made to run "
                     "holdout.exe from inside the zip, which was never extracted: it is not the "
                     "game's folder, and it is deleted once the program ends"});
    place.verdict.advice =
        "Extract All first: right-click the zip in File Explorer, choose Extract All, then "
        "copy holdout.exe from the extracted folder into the game's folder and double-click it "
        "there (or run " +
        DoctorCommand(kAnyGameFolder) + " from the extracted folder)";
    return place;
  }
  if (!here.games.empty()) {
    place.verdict.finding =
        NamesOf(here.games) + (here.games.size() == 1 ? " is a 64-bit program, as the game's is"
                                                      : " are 64-bit programs, as the game's is");
    fs::path belowFolder;
    const std::vector<fs::path> below = ProgramsBelow(around, belowFolder);
    if (!below.empty()) {
      place.verdict.finding +=
          "; one level down, " + FirstFew(below) +
          (below.size() == 1 ? " is a 64-bit program too: if that is the game"
                             : " are 64-bit programs too: if the first is the game") +
          " (and this folder holds its launcher), Holdout, the script host and the plug-in "
          "loader belong beside it, in " +
          ShownPath(belowFolder) + ": run " + DoctorCommand(belowFolder);
    }
    return place;
  }
  const std::vector<fs::path> package = listing.Matching(IsPackageOnlyName);
  const std::optional<fs::path> game = GameNearby(around);
  if (game) {
    place.gameFolderElsewhere = game->parent_path();
  }
  const std::string whereGame =
      game ? std::string(around.parent && game->parent_path() == around.parent->folder
                             ? "one level up"
                             : "one level down") +
                 " there is " + ShownPath(*game)
           : "";
  const std::string copyThere =
      "copy Holdout.asi into the game's folder (and Holdout.ini, unless "
      "you keep your own there), then run ";
  if (HoldsThePackage(listing)) {
    place.isPackage = true;
    place.verdict.problems.push_back(
        {.kind = ProblemKind::kNotAGameFolder,
         .sentence = "this folder is Holdout's unpacked package (it holds " + NamesOf(package) +
                     "), not the game's folder" +
                     (game ? "; the game's program is beside it: " + whereGame : std::string())});
    place.verdict.advice =
        copyThere + DoctorCommand(game ? *place.gameFolderElsewhere : fs::path(kAnyGameFolder));
    return place;
  }
  std::string problem =
      "there is no 64-bit program (.exe) in this folder, so it is not the "
      "game's folder (the one that holds the game's .exe)";
  if (!here.others.empty()) {
    problem += "; " + NamesOf(here.others) +
               (here.others.size() == 1 ? " is a 32-bit program" : " are 32-bit programs") +
               ", and the game is 64-bit";
  }
  if (game) {
    problem += "; " + whereGame;
  }
  place.verdict.problems.push_back({.kind = ProblemKind::kNotAGameFolder, .sentence = problem});
  place.verdict.advice =
      "run doctor on the game's folder: " +
      DoctorCommand(game ? *place.gameFolderElsewhere : fs::path(kAnyGameFolder));
  return place;
}

void SayFoundNearby(const FoundNearby& found, const std::string& name, const std::string& why,
                    const FolderPlace& place, FileVerdict& verdict) {
  const std::string where = found.above ? "one level up" : "one level down";
  const Problem misplaced{.kind = ProblemKind::kMisplaced,
                          .sentence = "it is not in this folder, but " + where + " there is " +
                                      ShownPath(found.path) + ": " + why};
  const auto missing =
      std::find_if(verdict.problems.begin(), verdict.problems.end(),
                   [](const Problem& problem) { return problem.kind == ProblemKind::kMissing; });
  if (missing != verdict.problems.end()) {
    *missing = misplaced;
  } else {
    verdict.problems.push_back(misplaced);
  }
  const fs::path folder = found.path.parent_path();
  if (place.gameFolderElsewhere == folder) {
    verdict.advice =
        "the game's folder seems to be " + ShownPath(folder) + ": run " + DoctorCommand(folder);
    return;
  }
  verdict.advice = "move " + ShownPath(found.path) + " into this folder";
  if (ShownPath(found.path.filename()) != name) {
    verdict.advice += " and rename it " + name;
  }
}
