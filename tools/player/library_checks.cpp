// Verdicts on Holdout.asi and the script host. Every name taken from the files is made safe to
// print before it reaches a sentence: the files come from anywhere.
#include "player/library_checks.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "binary_reader/msvc_names.h"
#include "player/export_binding.h"
#include "sentences/text.h"

namespace {

constexpr const char* kPluginAdvice =
    "unpack Holdout.asi from the Holdout zip into the game folder, beside the script host";
constexpr const char* kHostAdvice =
    "install the script host from its own download: ScriptHookFrontier.dll goes into the game "
    "folder, beside the game's executable";

bool IsHost(const PeImportedLibrary& library) {
  return Lower(library.name) == Lower(kHostFileName);
}

std::string Plural(std::size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// A library named twice in an import table: the loader looks the second list's functions up in
// the library the name gives, which a damaged table names wrongly.
void JudgeLibraryNames(const PeImage& image, FileVerdict& verdict) {
  std::set<std::string> seen;
  for (const PeImportedLibrary& library : image.imports) {
    if (!seen.insert(Lower(library.name)).second) {
      verdict.problems.push_back({.kind = ProblemKind::kNotLoadable,
                                  .sentence = "its import table is damaged: it names " +
                                              Printable(library.name) + " twice"});
    }
  }
}

}  // namespace

bool JudgeLibraryFile(const FoundLibrary& found, FileVerdict& verdict) {
  switch (found.state) {
    case FoundLibrary::State::kMissing:
      verdict.problems.push_back(
          {.kind = ProblemKind::kMissing, .sentence = "it is not in this folder"});
      return false;
    case FoundLibrary::State::kUnreadable:
      verdict.problems.push_back({.kind = ProblemKind::kUnreadable,
                                  .sentence = "it cannot be read: " + found.unreadableWhy});
      return false;
    case FoundLibrary::State::kRead:
      break;
  }
  if (!found.reading.problem.empty()) {
    verdict.problems.push_back(
        {.kind = ProblemKind::kNotLoadable, .sentence = Printable(found.reading.problem)});
    return false;
  }
  if (!found.reading.image.isDll) {
    verdict.problems.push_back(
        {.kind = ProblemKind::kNotLoadable, .sentence = "it is a program, not a library"});
    return false;
  }
  return true;
}

bool TakesFromHost(const PeImage& image) {
  return std::any_of(image.imports.begin(), image.imports.end(),
                     [](const PeImportedLibrary& library) {
                       return IsHost(library) && !library.functions.empty();
                     });
}

FileVerdict JudgePlugin(const FoundLibrary& plugin) {
  FileVerdict verdict{.file = kPluginFileName, .advice = kPluginAdvice};
  if (!JudgeLibraryFile(plugin, verdict)) {
    return verdict;
  }
  JudgeLibraryNames(plugin.reading.image, verdict);
  std::vector<std::string> systemNames;
  bool takesFromHost = false;
  for (const PeImportedLibrary& library : plugin.reading.image.imports) {
    if (IsHost(library)) {
      takesFromHost = takesFromHost || !library.functions.empty();
      // Every function of the host is a C++ function, exported under its decorated name.
      for (const PeImport& function : library.functions) {
        if (!function.name.empty() && !DemangleMsvcFunction(function.name)) {
          verdict.problems.push_back({.kind = ProblemKind::kNotLoadable,
                                      .sentence = "its import table is damaged: it takes \"" +
                                                  Printable(function.name) + "\" from " +
                                                  kHostFileName +
                                                  ", which is no name of a function of the host"});
        }
      }
    } else if (IsSystemLibrary(library.name)) {
      systemNames.push_back(Printable(library.name));
    } else {
      verdict.problems.push_back(
          {.kind = ProblemKind::kNeedsLibrary,
           .sentence = "it needs " + Printable(library.name) + ", which is not a part of Windows"});
    }
  }
  if (!takesFromHost) {
    verdict.problems.push_back({.kind = ProblemKind::kNotHoldout,
                                .sentence = std::string("it takes no function from ") +
                                            kHostFileName + ", so it is not a build of Holdout"});
  }
  verdict.finding = systemNames.empty()
                        ? "a complete 64-bit DLL that needs nothing besides the script host"
                        : "a complete 64-bit DLL; besides the script host it needs only " +
                              Listed(systemNames) + ", which come with Windows";
  return verdict;
}

FileVerdict JudgeHost(const FoundLibrary& host, const FoundLibrary& plugin,
                      const LibraryLookup& folder) {
  FileVerdict verdict{.file = kHostFileName, .advice = kHostAdvice};
  if (!JudgeLibraryFile(host, verdict)) {
    return verdict;
  }
  const PeImage& exporter = host.reading.image;
  if (exporter.imports.empty()) {
    verdict.problems.push_back(
        {.kind = ProblemKind::kNotLoadable,
         .sentence = "it imports nothing, not even from Windows, so its import table is damaged"});
  }
  ExportBinder binder(exporter, folder);
  for (const PeImportedLibrary& library : exporter.imports) {
    if (library.name.empty() || Printable(library.name) != library.name) {
      verdict.problems.push_back({.kind = ProblemKind::kNotLoadable,
                                  .sentence = "its import table is damaged: it needs a library "
                                              "named \"" +
                                              Printable(library.name) + "\""});
    } else if (const std::string why = binder.WhyNotLoadable(library.name); !why.empty()) {
      verdict.problems.push_back({.kind = ProblemKind::kNeedsLibrary,
                                  .sentence = "it needs " + library.name + ", " + why});
    }
  }
  JudgeLibraryNames(exporter, verdict);
  if (!verdict.Sound()) {
    return verdict;
  }
  if (!JudgePlugin(plugin).Sound()) {
    verdict.finding = "a 64-bit DLL (its exports are not compared: Holdout.asi has problems)";
    return verdict;
  }
  std::size_t needed = 0;
  bool lacking = false;
  for (const PeImportedLibrary& library : plugin.reading.image.imports) {
    if (!IsHost(library)) {
      continue;
    }
    for (const PeImport& function : library.functions) {
      ++needed;
      const std::optional<Problem> why = binder.WhyUnbound(function);
      if (why && std::find(verdict.problems.begin(), verdict.problems.end(), *why) ==
                     verdict.problems.end()) {
        verdict.problems.push_back(*why);
        lacking = lacking || why->kind == ProblemKind::kLacksFunction;
      }
    }
  }
  if (lacking) {
    verdict.advice =
        "the script host is older than Holdout needs, or is not the host Holdout was built "
        "for: " +
        std::string(kHostAdvice);
  }
  verdict.finding =
      "a 64-bit DLL that exports all " + Plural(needed, "function") + " Holdout.asi takes from it";
  return verdict;
}
