// doctor: finds the files of an install in the game folder (by name without regard to case, as
// Windows does), or out of place one level up or down, or under near names; opens them only for
// reading, judges each and prints one verdict per file, then notes that need no remedy.
#include "player/doctor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "player/antivirus_advice.h"
#include "player/arguments.h"
#include "player/build_identity.h"
#include "player/check_ini.h"
#include "player/console_text.h"
#include "player/doctor_places.h"
#include "player/file_bytes.h"
#include "player/folder_listing.h"
#include "player/in_game_check.h"
#include "player/loader_checks.h"
#include "player/package_sums.h"
#include "player/log_place.h"
#include "player/online_only.h"
#include "player/plugin_copies.h"
#include "player/plugin_loaders.h"
#include "player/plugin_identity.h"
#include "player/system_copy.h"
#include "player/system_facts.h"
#include "sentences/text.h"
#include "settings/profile_path.h"

namespace {

namespace fs = std::filesystem;

FoundLibrary FindLibrary(const Listing& listing, const std::string& name) {
  return ReadLibrary(listing.Find(name));
}

// What the player should do about a near name of `wanted` in the folder.
std::string RenameAdvice(const fs::path& file, const std::string& wanted) {
  std::string advice = "rename " + ShownPath(file.filename()) + " to " + wanted;
  if (Lower(ShownPath(file.extension())) == ".txt") {
    advice +=
        " (File Explorer hides known extensions: turn on View > File name extensions to "
        "see the whole name)";
  }
  return advice;
}

// `ownBuild`: the installed plug-in is this holdout.exe's build (or there is none to compare),
// so what it does with the file is this build's to say.
FileVerdict JudgeSettings(const Listing& listing, const Surroundings& around,
                          const FolderPlace& place, bool ownBuild) {
  FileVerdict verdict{.file = "Holdout.ini"};
  const std::optional<fs::path> path = listing.Find("Holdout.ini");
  const std::vector<fs::path> nearNames = listing.Matching(IsSettingsNearName);
  if (!path && !nearNames.empty()) {
    const std::string name = ShownPath(nearNames.front().filename());
    verdict.problems.push_back({.kind = ProblemKind::kMisplaced,
                                .sentence = "it is not in this folder, but " + name +
                                            " is: Holdout reads only Holdout.ini, so every "
                                            "setting takes its default"});
    verdict.advice = RenameAdvice(nearNames.front(), "Holdout.ini");
    return verdict;
  }
  if (!path) {
    std::optional<FoundNearby> nearby = FindNearby(around, IsSettingsName);
    if (!nearby) {
      nearby = FindNearby(around, IsSettingsNearName);
    }
    if (nearby) {
      SayFoundNearby(*nearby, "Holdout.ini",
                     "Holdout reads it only from the game's folder, so every setting takes its "
                     "default",
                     place, verdict);
      return verdict;
    }
    verdict.finding = "not in this folder, so every setting takes its default";
    return verdict;
  }
  std::string whyNot;
  const std::optional<std::string> text = ReadBytes(*path, whyNot);
  if (!text) {
    verdict.problems.push_back(
        {.kind = ProblemKind::kUnreadable,
         .sentence = "it cannot be read (" + whyNot + "), so every setting takes its default"});
    verdict.advice = "make it a readable text file, or remove it";
    return verdict;
  }
  verdict.problems = ExplainIni(*text).problems;
  verdict.finding = "every setting in it is usable as written";
  verdict.advice = "'holdout check-ini \"" + ShownPath(*path) + "\"' explains every setting";
  for (const fs::path& other : nearNames) {
    const std::string name = ShownPath(other.filename());
    verdict.problems.push_back({.kind = ProblemKind::kMisplaced,
                                .sentence = name +
                                            " is here too: Holdout reads only Holdout.ini, so "
                                            "what is written in " +
                                            name + " has no effect"});
    verdict.advice = "make your changes in Holdout.ini and delete " + name + "; " + verdict.advice;
  }
  if (const std::optional<SettingsCopyFacts> copy = SettingsReadThroughCopy(listing.folder)) {
    const std::string tooLong = "its full path has " + std::to_string(copy->pathLength) +
                                " characters, more than the " +
                                std::to_string(kProfilePathCapacity - 1) +
                                " Windows's settings functions open, so Holdout reads a copy of "
                                "it that it makes in the temp folder";
    if (!ownBuild) {
      verdict.finding += "; " + tooLong +
                         ": so does this holdout.exe's build, but the installed Holdout.asi is "
                         "another build, for which it cannot vouch";
    } else if (copy->whyNoCopy.empty()) {
      verdict.finding += "; " + tooLong + ", " + copy->tempFolder + ", and deletes once read";
    } else {
      verdict.problems.push_back({.kind = ProblemKind::kUnreadable,
                                  .sentence = tooLong + ", but " + copy->whyNoCopy +
                                              ", so every setting takes its default"});
      verdict.advice =
          "move the game to a folder whose path is shorter (Holdout.ini's full path under " +
          std::to_string(kProfilePathCapacity) +
          " characters), or set the TMP variable to a folder you can write to; " + verdict.advice;
    }
  }
  return verdict;
}

// A DLL under a loader's name, read with its bytes.
struct LoaderCandidate {
  std::string name;
  FoundLibrary library;
  std::string bytes;
};

// The DLL under a name plug-in loaders go by that doctor judges: the first in the order of
// kPluginLoaderNames that names .asi files, else the first there; nothing when there is none.
std::optional<LoaderCandidate> FindLoader(const Listing& listing) {
  std::optional<LoaderCandidate> first;
  for (const char* name : kPluginLoaderNames) {
    const std::optional<fs::path> path = listing.Find(name);
    if (!path) {
      continue;
    }
    LoaderCandidate candidate{.name = name, .library = {}, .bytes = {}};
    candidate.library = ReadLibrary(path, kMaxLibraryBytes, &candidate.bytes);
    if (NamesPluginFiles(candidate.bytes)) {
      return candidate;
    }
    if (!first) {
      first = std::move(candidate);
    }
  }
  return first;
}

// The plug-in loader, or the want of one.
FileVerdict JudgeLoader(const std::optional<LoaderCandidate>& loader, const FolderPlace& place,
                        const LibraryLookup& folder) {
  if (loader) {
    return JudgeLoaderFile(loader->name, loader->library, loader->bytes, place.programs, folder,
                           ReadSystemCopy(loader->name));
  }
  const std::string none = "there is none in this folder (no DLL under any of the " +
                           std::to_string(std::size(kPluginLoaderNames)) +
                           " names loaders take, such as " + kPluginLoaderNames[0] +
                           "), so nothing loads Holdout.asi";
  return FileVerdict{.file = "plug-in loader",
                     .problems = {{.kind = ProblemKind::kNoLoader, .sentence = none}},
                     .advice =
                         "the script host's package brings one: copy its plug-in loader (a "
                         "DLL such as dinput8.dll) into the game folder, beside "
                         "ScriptHookFrontier.dll"};
}

bool EndsWithAsi(const fs::path& name) {
  return Lower(ShownPath(name.extension())) == ".asi";
}

// The folder's .asi files other than Holdout's copies that take functions from the script host,
// by name.
std::vector<std::string> OtherHostPlugins(const Listing& listing) {
  std::vector<std::string> plugins;
  for (const fs::path& name : listing.names) {
    const std::string lower = Lower(name.string());
    if (!EndsWithAsi(name) || IsPluginName(lower) || IsPluginNearName(lower)) {
      continue;
    }
    const FoundLibrary found = FindLibrary(listing, name.string());
    if (found.state == FoundLibrary::State::kRead && TakesFromHost(found.reading.image)) {
      plugins.push_back(Printable(name.string()));
    }
  }
  std::sort(plugins.begin(), plugins.end());
  return plugins;
}

void PrintVerdict(const FileVerdict& verdict) {
  if (verdict.Sound()) {
    WriteOut(verdict.file + ": ok, " + verdict.finding + "\n");
    return;
  }
  WriteOut(verdict.file + ": PROBLEM\n");
  for (const Problem& problem : verdict.problems) {
    WriteOut("  - " + problem.sentence + "\n");
  }
  WriteOut("  what to do: " + verdict.advice + "\n");
}

// What a copy of the plug-in in a loader subfolder means: where it loads, and that the files it
// reads and writes stay in the game's folder.
std::string SubfolderFinding(const PluginCopy& copy) {
  const std::string sub = copy.subfolder + "\\";
  return "it is in " + sub +
         ", where plug-in loaders that search scripts\\ and plugins\\ (as "
         "widely used ones do) load it; Holdout.ini stays beside the game's .exe, in this "
         "folder and not in " +
         sub +
         ", and Holdout.log is written to the folder the game "
         "starts in, normally this one; ";
}

// The plug-in's verdict, named for what the loader does with the files of Holdout's names found
// in the folder, in the loader subfolders, or one level up or down; `loads` tells whether a sound
// copy is loaded.
FileVerdict JudgePluginPlace(const Listing& listing, const Surroundings& around,
                             const FolderPlace& place, FoundLibrary& plugin, bool& loads,
                             std::vector<std::string>& notes) {
  const std::vector<PluginCopy> copies = LoadedPluginCopies(listing);
  const auto inSubfolder = std::find_if(copies.begin(), copies.end(), [](const PluginCopy& copy) {
    return copy.exactName && !copy.subfolder.empty();
  });
  std::optional<fs::path> asi = listing.Find(kPluginFileName);
  const bool fromSubfolder = !asi && inSubfolder != copies.end();
  if (fromSubfolder) {
    asi = inSubfolder->path;
  }
  const std::vector<fs::path> nearNames = listing.Matching(IsPluginNearName);
  std::optional<fs::path> judged = asi;
  if (!judged && !nearNames.empty()) {
    // A near name ending in .asi is loaded as it is; judge it before any .dll.
    const auto loaded = std::find_if(nearNames.begin(), nearNames.end(), EndsWithAsi);
    judged = loaded != nearNames.end() ? *loaded : nearNames.front();
  }
  plugin = ReadLibrary(judged);
  FileVerdict verdict = JudgePlugin(plugin);
  loads = verdict.Sound() && judged && EndsWithAsi(*judged);
  const auto lead = [&verdict](const std::string& problem, const std::string& advice) {
    verdict.problems.insert(verdict.problems.begin(),
                            {.kind = ProblemKind::kMisplaced, .sentence = problem});
    verdict.advice =
        verdict.problems.size() == 1 ? advice : advice + "; besides, " + verdict.advice;
  };
  const auto secondCopy = [&verdict](const std::string& name, const std::string& why) {
    verdict.problems.push_back(
        {.kind = ProblemKind::kMisplaced,
         .sentence = name + " is here too: " + why +
                     ", so two copies of Holdout run at once and every key press acts twice"});
    verdict.advice = verdict.problems.size() == 1
                         ? "delete " + name
                         : "delete " + name + "; besides, " + verdict.advice;
  };
  // Copies in the loader subfolders beside the one judged: loaded as well by loaders that search
  // there.
  const auto subfolderCopies = [&] {
    for (const PluginCopy& copy : copies) {
      if (!copy.subfolder.empty() && copy.path != judged) {
        secondCopy(copy.Shown(),
                   "plug-in loaders that search scripts\\ and plugins\\ load it as well");
      }
    }
  };
  if (!asi && judged) {
    // A plug-in shipped or saved under another name: judged all the same, so the host is
    // compared with what it would need once renamed.
    const std::string name = ShownPath(judged->filename());
    if (EndsWithAsi(*judged)) {
      lead("it is here as " + name +
               ": the loader loads it under that name too, but a Holdout.asi copied here later "
               "would be loaded beside it, and two copies of Holdout would run at once",
           RenameAdvice(*judged, kPluginFileName));
    } else if (IsUnfinishedDownload(Lower(judged->filename().string()))) {
      lead("it is not in this folder, but " + name +
               " is: a download that has not finished, which plug-in loaders never load, since "
               "its name does not end in .asi",
           "let the download finish, or download Holdout again, and copy its Holdout.asi "
           "here; then delete " +
               name);
    } else {
      lead("it is not in this folder, but " + name +
               " is: plug-in loaders load only files whose names end in .asi, so " + name +
               " is never loaded",
           RenameAdvice(*judged, kPluginFileName));
    }
    for (const fs::path& other : nearNames) {
      if (other != *judged && EndsWithAsi(other)) {
        secondCopy(ShownPath(other.filename()), "the loader loads every .asi file");
      }
    }
    subfolderCopies();
    return verdict;
  }
  if (!asi) {
    std::optional<FoundNearby> nearby = FindNearby(around, IsPluginName);
    if (!nearby) {
      nearby = FindNearby(around, IsPluginNearName);
    }
    if (nearby) {
      SayFoundNearby(*nearby, kPluginFileName,
                     "plug-in loaders load only the .asi files of the game's own folder and of "
                     "its subfolders scripts\\ and plugins\\",
                     place, verdict);
    }
    return verdict;
  }
  if (fromSubfolder && verdict.Sound()) {
    verdict.finding = SubfolderFinding(*inSubfolder) + verdict.finding;
  }
  for (const fs::path& other : nearNames) {
    const std::string name = ShownPath(other.filename());
    if (EndsWithAsi(other)) {
      secondCopy(name, "the loader loads every .asi file");
    } else {
      notes.push_back(name +
                      " is here too: no plug-in loader loads a .dll, so it is never loaded and "
                      "can go");
    }
  }
  subfolderCopies();
  return verdict;
}

}  // namespace

std::optional<DoctorReport> Diagnose(const fs::path& folder, std::string& whyNot) {
  fs::path absolute = fs::absolute(folder).lexically_normal();
  if (!absolute.has_filename() && absolute.has_relative_path()) {
    absolute = absolute.parent_path();  // "game/." reads as "game/"
  }
  const std::optional<Listing> listed = ListFolder(absolute, whyNot);
  if (!listed) {
    return std::nullopt;
  }
  const Listing& listing = *listed;
  const Surroundings around = ListSurroundings(listing);
  DoctorReport report;
  report.folder = absolute;
  const FolderPlace place = JudgePlace(listing, around);
  const FoundLibrary host = FindLibrary(listing, kHostFileName);
  const LibraryLookup inFolder = [&listing](const std::string& name) {
    return FindLibrary(listing, name);
  };
  const std::optional<LoaderCandidate> loaderFound = FindLoader(listing);
  FileVerdict loader = JudgeLoader(loaderFound, place, inFolder);
  AddAntivirusAdvice(loader);
  FoundLibrary plugin;
  bool pluginLoads = false;
  FileVerdict pluginVerdict =
      JudgePluginPlace(listing, around, place, plugin, pluginLoads, report.notes);
  const PluginBuild build = SayPluginBuild(plugin, pluginVerdict);
  if (build == PluginBuild::kSame) {
    SayPackageSums(listing, pluginVerdict);
  }
  AddAntivirusAdvice(pluginVerdict);
  const std::vector<std::string> plugins = OtherHostPlugins(listing);
  if (!plugins.empty()) {
    report.notes.push_back(
        "besides Holdout, the loader loads these script plug-ins, which is fine: " +
        Listed(plugins));
  }
  if (loader.Sound() && GamesRunThroughWine()) {
    const std::string& name = loaderFound->name;
    const std::string stem = name.substr(0, name.size() - 4);
    report.notes.push_back("under Wine (and the compatibility layers built on it) the game uses " +
                           name +
                           " from this folder only when Wine is told to prefer it to its "
                           "own: start the game with WINEDLLOVERRIDES=\"" +
                           stem + "=n,b\"");
  }
  FileVerdict hostVerdict = JudgeHost(host, plugin, inFolder);
  if (host.state == FoundLibrary::State::kMissing) {
    if (const std::optional<FoundNearby> nearby = FindNearby(around, IsHostName)) {
      SayFoundNearby(*nearby, kHostFileName, "the game loads it only from its own folder", place,
                     hostVerdict);
    }
  }
  report.isGameFolder = !place.programs.empty();
  if (place.isPackage || place.gameFolderElsewhere || place.insideZip) {
    // Holdout's own package: what to copy where is all there is to say, with the plug-in's
    // build when it is sound or another than this holdout.exe's; the game's files are not
    // expected here. Beside the game's folder
    // (a subfolder of it, or the folder above it), where to run doctor instead is all there is
    // to say: the game's files are judged there. Inside a zip, extracting it is.
    report.verdicts = {place.verdict};
    if (place.isPackage && plugin.state == FoundLibrary::State::kMissing) {
      report.verdicts.front().advice += "; " + AntivirusAdvice(kPluginFileName);
    }
    if ((pluginVerdict.Sound() || build == PluginBuild::kOther) && !place.insideZip) {
      report.verdicts.push_back(pluginVerdict);
    }
    report.notes.clear();
    return report;
  }
  report.willLoad = hostVerdict.Sound() && loader.Sound() && pluginLoads;
  report.loadsIf = loader.loadsIf;
  std::string unread;
  const std::optional<fs::path> settings = listing.Find("Holdout.ini");
  report.inGameCheck = InGameCheck(settings ? ReadBytes(*settings, unread) : std::nullopt);
  report.verdicts = {
      place.verdict, hostVerdict, loader, pluginVerdict,
      JudgeSettings(listing, around, place, build != PluginBuild::kOther), JudgeLog(listing)};
  NameOnlineOnlyFiles(listing, report.verdicts);
  return report;
}

int RunDoctor(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    std::printf(
        "usage: holdout doctor [GAME-DIR]\n"
        "\n"
        "Tells whether Holdout will load and work in GAME-DIR (default: the current folder), and\n"
        "if not, why and what to do: GAME-DIR must hold the game's 64-bit program (.exe), the\n"
        "script host must be a 64-bit DLL that exports every function Holdout.asi takes from\n"
        "it, a plug-in loader (such as dinput8.dll) must be there: a DLL that names .asi files\n"
        "and exports every function of the system's own library of its name and what the game\n"
        "imports from it (whether the game loads a library it does not import shows only in\n"
        "the game, as does the check named last). Holdout.asi, in the game's folder or its\n"
        "scripts\\ or plugins\\ subfolder and there once, must be a complete 64-bit DLL of this\n"
        "holdout.exe's build; Holdout.ini (if there) free of problems. It says where Holdout.log\n"
        "goes (the game's folder, or where that refuses, %%LOCALAPPDATA%%\\Holdout), and names\n"
        "files a cloud-synced folder keeps online only. Files out of place one level up or\n"
        "down, and copies saved under other names (Holdout (1).dll, Holdout.ini.txt), are named\n"
        "with what to move or rename. It changes no file: the one it creates to try a folder it\n"
        "deletes.\n"
        "exit codes: 0 Holdout will load and work, 1 problems found, 2 bad usage, 3 the folder\n"
        "cannot be read\n");
    return 0;
  }
  if (argc > 1) {
    WriteOut("doctor: expected at most one folder; " + QuoteHint("doctor", argc, argv) +
             " (see 'holdout doctor --help')\n");
    return 2;
  }
  const std::string folder = argc == 1 ? argv[0] : ".";
  std::string whyNot;
  const std::optional<DoctorReport> report = Diagnose(PathFromArgument(folder), whyNot);
  if (!report) {
    WriteOut("doctor: cannot read the folder '" + folder + "': " + whyNot + "\n");
    return 3;
  }
  WriteOut("holdout.exe version " + ShownBuild(OwnBuild()) + "\n");
  WriteOut("Holdout doctor, game folder " + ShownPath(report->folder) + "\n");
  std::size_t problems = 0;
  for (const FileVerdict& verdict : report->verdicts) {
    PrintVerdict(verdict);
    problems += verdict.problems.size();
  }
  for (const std::string& note : report->notes) {
    WriteOut("note: " + note + "\n");
  }
  const std::string count =
      std::to_string(problems) + (problems == 1 ? " problem above" : " problems above");
  if (!report->isGameFolder) {
    WriteOut("verdict: Holdout cannot be checked here: this is not the game's folder (" + count +
             ")\n");
  } else if (!report->willLoad) {
    WriteOut("verdict: Holdout will not load here (" + count + ")\n");
    WriteOut("once fixed, check in the game: " + report->inGameCheck + "\n");
  } else {
    // Whether the game loads a library its program does not import shows only in the game.
    const std::string condition = report->loadsIf.empty() ? "" : " if " + report->loadsIf;
    WriteOut(problems > 0
                 ? "verdict: Holdout will load here" + condition + ", but see the " + count + "\n"
                 : "verdict: Holdout will load and work here" + condition + "\n");
    WriteOut("check in the game: " + report->inGameCheck + "\n");
  }
  return problems == 0 ? 0 : 1;
}
