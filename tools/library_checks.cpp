// Verdicts on Holdout.asi and the script host. Every name taken from the files is made safe to
// print before it reaches a sentence: the files come from anywhere.
#include "library_checks.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "msvc_names.h"

namespace {

constexpr const char* kPluginAdvice =
    "unpack Holdout.asi from the Holdout zip into the game folder, beside the script host";
constexpr const char* kHostAdvice =
    "install the script host from its own download: ScriptHookFrontier.dll goes into the game "
    "folder, beside the game's executable";

// Libraries every Windows installation provides, in lower case.
constexpr const char* kSystemLibraries[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "ole32.dll",    "msvcrt.dll", "ntdll.dll", "ucrtbase.dll", "ws2_32.dll",
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsSystemLibrary(const std::string& name) {
  const std::string lower = Lower(name);
  return lower.rfind("api-ms-win-", 0) == 0 ||
         std::find(std::begin(kSystemLibraries), std::end(kSystemLibraries), lower) !=
             std::end(kSystemLibraries);
}

bool IsHost(const PeImportedLibrary& library) {
  return Lower(library.name) == Lower(kHostFileName);
}

std::string Plural(std::size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

std::string Printable(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c > 0x7E; }, '?');
  return text;
}

std::string Listed(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
  }
  return text;
}

bool JudgeLibraryFile(const FoundLibrary& found, FileVerdict& verdict) {
  switch (found.state) {
    case FoundLibrary::State::kMissing:
      verdict.problems.push_back("it is not in this folder");
      return false;
    case FoundLibrary::State::kUnreadable:
      verdict.problems.push_back("it cannot be read: " + found.unreadableWhy);
      return false;
    case FoundLibrary::State::kRead:
      break;
  }
  if (!found.reading.problem.empty()) {
    verdict.problems.push_back(Printable(found.reading.problem));
    return false;
  }
  if (!found.reading.image.isDll) {
    verdict.problems.push_back("it is a program, not a library");
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
  FileVerdict verdict{kPluginFileName, "", {}, kPluginAdvice};
  if (!JudgeLibraryFile(plugin, verdict)) {
    return verdict;
  }
  std::vector<std::string> systemNames;
  bool takesFromHost = false;
  for (const PeImportedLibrary& library : plugin.reading.image.imports) {
    if (IsHost(library)) {
      takesFromHost = takesFromHost || !library.functions.empty();
    } else if (IsSystemLibrary(library.name)) {
      systemNames.push_back(Printable(library.name));
    } else {
      verdict.problems.push_back("it needs " + Printable(library.name) +
                                 ", which is not a part of Windows");
    }
  }
  if (!takesFromHost) {
    verdict.problems.push_back(std::string("it takes no function from ") + kHostFileName +
                               ", so it is not a build of Holdout");
  }
  verdict.finding = systemNames.empty()
                        ? "a complete 64-bit DLL that needs nothing besides the script host"
                        : "a complete 64-bit DLL; besides the script host it needs only " +
                              Listed(systemNames) + ", which come with Windows";
  return verdict;
}

FileVerdict JudgeHost(const FoundLibrary& host, const FoundLibrary& plugin) {
  FileVerdict verdict{kHostFileName, "", {}, kHostAdvice};
  if (!JudgeLibraryFile(host, verdict)) {
    return verdict;
  }
  if (!JudgePlugin(plugin).Sound()) {
    verdict.finding = "a 64-bit DLL (its exports are not compared: Holdout.asi has problems)";
    return verdict;
  }
  const PeImage& exporter = host.reading.image;
  const std::set<std::string> exported(exporter.exportNames.begin(), exporter.exportNames.end());
  std::size_t needed = 0;
  for (const PeImportedLibrary& library : plugin.reading.image.imports) {
    if (!IsHost(library)) {
      continue;
    }
    for (const PeImport& function : library.functions) {
      ++needed;
      if (function.name.empty()) {
        const bool present = function.ordinal >= exporter.firstExportOrdinal &&
                             function.ordinal - exporter.firstExportOrdinal <
                                 std::uint64_t{exporter.exportOrdinalCount};
        if (!present) {
          verdict.problems.push_back("it lacks the function of ordinal " +
                                     std::to_string(function.ordinal));
        }
      } else if (exported.count(function.name) == 0) {
        const std::string readable = Printable(ReadableFunctionName(function.name));
        const std::string raw = Printable(function.name);
        verdict.problems.push_back("it lacks " + readable +
                                   (readable == raw ? "" : " (exported as " + raw + ")"));
      }
    }
  }
  if (!verdict.Sound()) {
    verdict.advice =
        "the script host is older than Holdout needs, or is not the host Holdout was built "
        "for: " +
        std::string(kHostAdvice);
  }
  verdict.finding =
      "a 64-bit DLL that exports all " + Plural(needed, "function") + " Holdout.asi takes from it";
  return verdict;
}
