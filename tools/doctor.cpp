// doctor: finds the files of an install in the game folder (by name without regard to case, as
// Windows does), opens them only for reading, judges each and prints one verdict per file, then
// notes that need no remedy.
#include "doctor.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "arguments.h"
#include "check_ini.h"
#include "file_access.h"
#include "plugin_loaders.h"
#include "system_facts.h"

namespace {

namespace fs = std::filesystem;

// No script host or plug-in comes near this size; a bigger file is not one of them.
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

// True when the entry's name is `name` (plain ASCII) in other capitals or the same. Works on
// the system's own spelling of the entry, which may hold characters no narrow string can.
bool SameNameIgnoringCase(const fs::path::string_type& entry, const std::string& name) {
  return entry.size() == name.size() &&
         std::equal(entry.begin(), entry.end(), name.begin(), [](auto x, char y) {
           return static_cast<std::uint32_t>(x) < 0x80 &&
                  std::tolower(static_cast<int>(x)) == std::tolower(static_cast<int>(y));
         });
}

// The entries of the folder, read once.
struct Listing {
  fs::path folder;
  std::vector<fs::path> names;

  // The entry of this name: spelled exactly so, or else with other capitals; nothing if none.
  std::optional<fs::path> Find(const std::string& name) const {
    const fs::path exact(name);
    if (std::find(names.begin(), names.end(), exact) != names.end()) {
      return folder / exact;
    }
    for (const fs::path& entry : names) {
      if (SameNameIgnoringCase(entry.native(), name)) {
        return folder / entry;
      }
    }
    return std::nullopt;
  }
};

// The whole file, up to kMaxFileBytes; nothing with the reason in whyNot when it cannot be read.
std::optional<std::string> ReadBytes(const fs::path& path, std::string& whyNot) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) {
    whyNot = fs::is_directory(path, error) ? "it is a folder, not a file" : "it is not a file";
    return std::nullopt;
  }
  const std::uintmax_t size = fs::file_size(path, error);
  if (!error && size > kMaxFileBytes) {
    whyNot = "it is larger than 64 MiB, far larger than the real file";
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    whyNot = std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    whyNot = "reading it failed";
    return std::nullopt;
  }
  return bytes;
}

FoundLibrary FindLibrary(const Listing& listing, const std::string& name) {
  FoundLibrary found;
  const std::optional<fs::path> path = listing.Find(name);
  if (!path) {
    return found;
  }
  const std::optional<std::string> bytes = ReadBytes(*path, found.unreadableWhy);
  if (!bytes) {
    found.state = FoundLibrary::State::kUnreadable;
    return found;
  }
  found.state = FoundLibrary::State::kRead;
  found.reading =
      ReadPeImage(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
  return found;
}

FileVerdict JudgeSettings(const Listing& listing) {
  FileVerdict verdict{"Holdout.ini", "", {}, ""};
  const std::optional<fs::path> path = listing.Find("Holdout.ini");
  if (!path) {
    verdict.finding = "not in this folder, so every setting takes its default";
    return verdict;
  }
  std::string whyNot;
  const std::optional<std::string> text = ReadBytes(*path, whyNot);
  if (!text) {
    verdict.problems.push_back("it cannot be read (" + whyNot +
                               "), so every setting takes its default");
    verdict.advice = "make it a readable text file, or remove it";
    return verdict;
  }
  verdict.problems = ExplainIni(*text).problems;
  verdict.finding = "every setting in it is usable as written";
  verdict.advice = "'holdout check-ini \"" + ShownPath(*path) + "\"' explains every setting";
  if (const std::optional<AnsiPathFacts> ansi = PathAsAnsiFunctionsSeeIt(listing.folder)) {
    if (ansi->shortForm) {
      verdict.finding +=
          "; the folder's path holds characters this system's ANSI code page "
          "cannot hold, so Holdout reads the file through the folder's short "
          "name, " +
          *ansi->shortForm;
    } else {
      verdict.problems.push_back(
          "the game folder's path holds characters that this system's ANSI code page cannot "
          "hold, and the folder has no short (8.3) name to use instead (the drive keeps none); "
          "Holdout reads its settings through the ANSI functions, which give the path back as " +
          ansi->seen + ", so it never finds this file and every setting takes its default");
      verdict.advice =
          "move the game to a folder whose path has only characters of the system's language "
          "(or set Windows's language for non-Unicode programs to one that holds them); " +
          verdict.advice;
    }
  }
  return verdict;
}

FileVerdict JudgeLog(const Listing& listing) {
  FileVerdict verdict{"Holdout.log", "", {}, ""};
  const std::optional<fs::path> path = listing.Find("Holdout.log");
  if (!path) {
    const AccessAnswer create = CanCreateIn(listing.folder);
    if (create.allowed) {
      verdict.finding = "not there yet; Holdout creates it with its first line";
    } else {
      verdict.problems.push_back("it is not there, and no file can be created in this folder (" +
                                 create.why + "), so the log's lines are lost");
      verdict.advice = "let your user account write to the game folder";
    }
    return verdict;
  }
  std::error_code error;
  if (!fs::is_regular_file(*path, error)) {
    verdict.problems.push_back("it is not a file (a folder?), so the log's lines are lost");
    verdict.advice = "remove or rename it; Holdout creates the file anew";
    return verdict;
  }
  const AccessAnswer append = CanAppendTo(*path);
  if (append.allowed) {
    verdict.finding = "a line can be appended to it";
  } else {
    verdict.problems.push_back("a line cannot be appended to it (" + append.why +
                               "), so the log's lines are lost");
    verdict.advice = "make it writable (clear its read-only attribute), or delete it";
  }
  return verdict;
}

// The first of the names plug-in loaders go by that is in the folder; nothing when none is.
std::optional<std::string> LoaderName(const Listing& listing) {
  for (const char* name : kPluginLoaderNames) {
    if (listing.Find(name)) {
      return name;
    }
  }
  return std::nullopt;
}

// The plug-in loader under `name`, or the want of one.
FileVerdict JudgeLoader(const Listing& listing, const std::optional<std::string>& name) {
  if (name) {
    FileVerdict verdict{"plug-in loader " + *name, "", {}, ""};
    if (JudgeLibraryFile(FindLibrary(listing, *name), verdict)) {
      verdict.finding =
          "a 64-bit DLL under a name plug-in loaders take, there to load the folder's .asi files";
    } else {
      verdict.advice =
          "install " + *name + " again from the script host's package, or the loader it comes with";
    }
    return verdict;
  }
  const std::string none = "there is none in this folder (no DLL under any of the " +
                           std::to_string(std::size(kPluginLoaderNames)) +
                           " names loaders take, such as " + kPluginLoaderNames[0] +
                           "), so nothing loads Holdout.asi";
  return FileVerdict{"plug-in loader",
                     "",
                     {none},
                     "the script host's package brings one: copy its plug-in loader (a DLL such "
                     "as dinput8.dll) into the game folder, beside ScriptHookFrontier.dll"};
}

bool EndsWithAsi(const fs::path& name) {
  std::string extension = name.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".asi";
}

// The folder's .asi files that take functions from the script host, by name.
std::vector<std::string> HostPlugins(const Listing& listing) {
  std::vector<std::string> plugins;
  for (const fs::path& name : listing.names) {
    if (!EndsWithAsi(name)) {
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
    std::printf("%s: ok, %s\n", verdict.file.c_str(), verdict.finding.c_str());
    return;
  }
  std::printf("%s: PROBLEM\n", verdict.file.c_str());
  for (const std::string& problem : verdict.problems) {
    std::printf("  - %s\n", problem.c_str());
  }
  std::printf("  what to do: %s\n", verdict.advice.c_str());
}

}  // namespace

std::optional<DoctorReport> Diagnose(const fs::path& folder, std::string& whyNot) {
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
  const FoundLibrary host = FindLibrary(listing, kHostFileName);
  const std::optional<std::string> loaderName = LoaderName(listing);
  const FileVerdict loader = JudgeLoader(listing, loaderName);
  // A plug-in shipped or saved as Holdout.dll is never loaded; it is still judged, so the host
  // is compared with what it would need once renamed.
  const bool asiThere = listing.Find(kPluginFileName).has_value();
  const bool dllThere = listing.Find("Holdout.dll").has_value();
  const FoundLibrary plugin =
      FindLibrary(listing, !asiThere && dllThere ? "Holdout.dll" : kPluginFileName);
  FileVerdict pluginVerdict = JudgePlugin(plugin);
  DoctorReport report;
  if (!asiThere && dllThere) {
    pluginVerdict.problems.insert(pluginVerdict.problems.begin(),
                                  "it is not in this folder, but Holdout.dll is: plug-in loaders "
                                  "load only files whose names end in .asi, so Holdout.dll is "
                                  "never loaded");
    pluginVerdict.advice =
        pluginVerdict.problems.size() == 1
            ? "rename Holdout.dll to Holdout.asi"
            : "rename Holdout.dll to Holdout.asi; besides, " + pluginVerdict.advice;
  } else if (dllThere) {
    report.notes.push_back(
        "Holdout.dll is here too: no plug-in loader loads a .dll, so it is never loaded and can "
        "go");
  }
  const std::vector<std::string> plugins = HostPlugins(listing);
  if (plugins.size() > 1) {
    report.notes.push_back("the loader loads these script plug-ins, which is fine: " +
                           Listed(plugins));
  }
  if (loader.Sound() && GamesRunThroughWine()) {
    const std::string& name = *loaderName;
    const std::string stem = name.substr(0, name.size() - 4);
    report.notes.push_back("under Wine (and the compatibility layers built on it) the game uses " +
                           name +
                           " from this folder only when Wine is told to prefer it to its "
                           "own: start the game with WINEDLLOVERRIDES=\"" +
                           stem + "=n,b\"");
  }
  const LibraryLookup inFolder = [&listing](const std::string& name) {
    return FindLibrary(listing, name);
  };
  report.verdicts = {JudgeHost(host, plugin, inFolder), loader, pluginVerdict,
                     JudgeSettings(listing), JudgeLog(listing)};
  report.willLoad = report.verdicts[0].Sound() && loader.Sound() && pluginVerdict.Sound();
  return report;
}

int RunDoctor(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    std::printf(
        "usage: holdout doctor [GAME-DIR]\n"
        "\n"
        "Tells whether Holdout will load and work in GAME-DIR (default: the current folder), and\n"
        "if not, why and what to do: the script host must be a 64-bit DLL that exports every\n"
        "function Holdout.asi takes from it, a plug-in loader (such as dinput8.dll) must be\n"
        "there to load Holdout.asi, Holdout.asi a complete 64-bit DLL, Holdout.ini (if there)\n"
        "free of problems, and Holdout.log writable. It changes no file.\n"
        "exit codes: 0 Holdout will load and work, 1 problems found, 2 bad usage, 3 the folder\n"
        "cannot be read\n");
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "doctor: expected at most one folder; %s (see 'holdout doctor --help')\n",
                 QuoteHint("doctor", argc, argv).c_str());
    return 2;
  }
  const std::string folder = argc == 1 ? argv[0] : ".";
  std::string whyNot;
  const std::optional<DoctorReport> report = Diagnose(PathFromArgument(folder), whyNot);
  if (!report) {
    std::fprintf(stderr, "doctor: cannot read the folder '%s': %s\n", folder.c_str(),
                 whyNot.c_str());
    return 3;
  }
  std::printf("holdout %s\n", HOLDOUT_VERSION);
  std::printf("Holdout doctor, game folder %s\n", folder.c_str());
  std::size_t problems = 0;
  for (const FileVerdict& verdict : report->verdicts) {
    PrintVerdict(verdict);
    problems += verdict.problems.size();
  }
  for (const std::string& note : report->notes) {
    std::printf("note: %s\n", note.c_str());
  }
  const std::string count =
      std::to_string(problems) + (problems == 1 ? " problem above" : " problems above");
  if (!report->willLoad) {
    std::printf("verdict: Holdout will not load here (%s)\n", count.c_str());
  } else if (problems > 0) {
    std::printf("verdict: Holdout will load here, but see the %s\n", count.c_str());
  } else {
    std::printf("verdict: Holdout will load and work here\n");
  }
  return problems == 0 ? 0 : 1;
}
