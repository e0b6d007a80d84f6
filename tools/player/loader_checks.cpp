// What doctor learns of a DLL under a loader's name is gathered once into facts; two tables then
// read them. The problem rows are tried in order and the first that finds problems gives the
// verdict and its fix; when none does, every finding row that holds adds its clause to what is
// found. A library's export table names the file it was built as, which tells a system library's
// own copy from another program's DLL; the rows that tell the system's own copy come before the
// file's soundness, since the system's libraries may be laid out in ways this reader refuses and
// the system's loader takes (Wine's own DLLs among them).
#include "player/loader_checks.h"

#include <algorithm>
#include <span>

#include "player/arguments.h"
#include "player/export_binding.h"
#include "player/file_bytes.h"
#include "sentences/text.h"

namespace {

namespace fs = std::filesystem;

// The longest library name read from an export table.
constexpr std::uint64_t kMaxLibraryName = 260;
// Functions named one by one in a problem at most; the rest are counted.
constexpr std::size_t kFunctionsNamed = 4;

bool IsPluginExtension(std::string_view text) {
  return text.size() == 4 && text[0] == '.' && Lower(text.substr(1)) == "asi";
}

// The name the library's export table gives itself; empty when it has none that reads.
std::string BuiltName(const PeLayout& layout) {
  const std::optional<std::uint32_t> nameRva =
      layout.exports.rva == 0 ? std::nullopt : layout.U32(layout.exports.rva + 12);
  std::string name;
  if (!nameRva || layout.Text(*nameRva, kMaxLibraryName, name) != PeLayout::TextEnd::kEnded) {
    return "";
  }
  return Printable(name);
}

// Functions the loader does not bind, by name, and the problems of those it binds to nowhere.
struct Unbound {
  std::vector<std::string> lacking;
  std::vector<Problem> broken;
};

void CollectUnbound(ExportBinder& binder, const PeImport& function, Unbound& unbound) {
  const std::optional<Problem> why = binder.WhyUnbound(function);
  if (!why) {
    return;
  }
  if (why->kind == ProblemKind::kLacksFunction) {
    unbound.lacking.push_back(function.name.empty()
                                  ? "the function of ordinal " + std::to_string(function.ordinal)
                                  : Printable(function.name));
  } else {
    unbound.broken.push_back(*why);
  }
}

// The first few names, then how many more.
std::string FirstFew(std::vector<std::string> names) {
  if (names.size() > kFunctionsNamed) {
    const std::size_t more = names.size() - kFunctionsNamed;
    names.resize(kFunctionsNamed);
    names.push_back(std::to_string(more) + " more");
  }
  return Listed(names);
}

// Everything the rows read.
struct LoaderFacts {
  std::string name{};
  const SystemCopy& system;
  std::vector<Problem> fileProblems{};  // the file does not read as a 64-bit DLL
  bool namesAsi = false;
  bool sameAsSystem = false;             // byte for byte the system folder's copy
  std::string builtName{};               // what its export table calls it
  std::vector<std::string> importers{};  // the game's programs that import `name`
  std::vector<std::string> unreadPrograms{};
  std::vector<Problem> gameImportProblems{};  // what the game's imports from `name` do not bind
  std::size_t gameImports = 0;
  std::vector<Problem> systemProblems{};  // what of the system copy's exports does not bind
};

// The functions a program imports from the library `name`; nothing when it imports none.
const PeImportedLibrary* ImportsFrom(const PeImage& program, const std::string& name) {
  const auto found = std::find_if(program.imports.begin(), program.imports.end(),
                                  [&name](const PeImportedLibrary& library) {
                                    return Lower(LibraryFileName(library.name)) == Lower(name);
                                  });
  return found == program.imports.end() ? nullptr : &*found;
}

// What the game's programs import from `name`, bound as the Windows loader binds it when it
// starts the game.
void GatherGameImports(const std::vector<fs::path>& programs, ExportBinder& binder,
                       LoaderFacts& facts) {
  // Wine binds such an import to a stub instead, which stops the game when it is called.
  const std::string refusal =
      "so Windows refuses to start the game (under Wine, the game stops when it first calls "
      "such a function)";
  for (const fs::path& path : programs) {
    const std::string program = ShownPath(path.filename());
    const FoundLibrary read = ReadLibrary(path, kMaxProgramBytes);
    if (read.state != FoundLibrary::State::kRead || !read.reading.problem.empty()) {
      facts.unreadPrograms.push_back(program);
      continue;
    }
    const PeImportedLibrary* library = ImportsFrom(read.reading.image, facts.name);
    if (library == nullptr) {
      continue;
    }
    facts.importers.push_back(program);
    Unbound unbound;
    for (const PeImport& function : library->functions) {
      ++facts.gameImports;
      CollectUnbound(binder, function, unbound);
    }
    for (const Problem& broken : unbound.broken) {
      facts.gameImportProblems.push_back({.kind = broken.kind,
                                          .sentence = broken.sentence + " (" + program +
                                                      " imports it from " + facts.name + "), " +
                                                      refusal});
    }
    if (!unbound.lacking.empty()) {
      facts.gameImportProblems.push_back({.kind = ProblemKind::kLacksFunction,
                                          .sentence = "it lacks functions " + program +
                                                      " imports from " + facts.name + " (" +
                                                      FirstFew(unbound.lacking) + "), " + refusal});
    }
  }
}

// What of the system copy's exports the loader does not bind.
void GatherSystemExports(ExportBinder& binder, LoaderFacts& facts) {
  Unbound unbound;
  for (const std::string& function : facts.system.functions) {
    CollectUnbound(binder, PeImport{.name = function}, unbound);
  }
  const std::string consequence =
      "whatever imports " + facts.name +
      " in the game's process gets this file in place of the system's (the game, and the "
      "system's own libraries that need it), and the game stops at the first call of one";
  if (!unbound.lacking.empty()) {
    facts.systemProblems.push_back(
        {.kind = ProblemKind::kLacksFunction,
         .sentence = "it lacks " + std::to_string(unbound.lacking.size()) + " of the " +
                     std::to_string(facts.system.functions.size()) +
                     " functions the system's own " + facts.name + " exports (" +
                     FirstFew(unbound.lacking) + "): " + consequence});
  }
  for (const Problem& broken : unbound.broken) {
    facts.systemProblems.push_back({.kind = broken.kind,
                                    .sentence = broken.sentence + " (a function the system's own " +
                                                facts.name + " exports): " + consequence});
  }
}

std::string DeleteSystemCopy(const LoaderFacts& facts) {
  return "delete this " + facts.name +
         " (the game uses the system's own copy without it), then copy the plug-in loader from "
         "the script host's package into the game folder";
}

std::string ReplaceIncomplete(const LoaderFacts& facts) {
  return "this loader is no complete stand-in for " + facts.name +
         ": delete it and use the plug-in loader from the script host's package" +
         (facts.name == "dinput8.dll" ? std::string() : " under the name dinput8.dll");
}

std::vector<Problem> NoLoader(std::string sentence) {
  return {
      {.kind = ProblemKind::kNoLoader, .sentence = sentence + ", so nothing loads Holdout.asi"}};
}

// A row that finds problems (none: the row passes), and the fix. What each row checks is said
// above it.
struct ProblemRow {
  std::vector<Problem> (*problems)(const LoaderFacts&);
  std::string (*fix)(const LoaderFacts&);
};

const ProblemRow kProblemRows[] = {
    // The same bytes as the system folder's copy.
    {[](const LoaderFacts& facts) {
       return !facts.sameAsSystem ? std::vector<Problem>{}
                                  : NoLoader("it is not a plug-in loader: it is the system's own " +
                                             facts.name + ", the same bytes as the copy in " +
                                             facts.system.shownFolder + ", which loads no plug-in");
     },
     DeleteSystemCopy},
    // Names no .asi file, and its export table names it as the system's library.
    {[](const LoaderFacts& facts) {
       return facts.namesAsi || Lower(facts.builtName) != Lower(facts.name)
                  ? std::vector<Problem>{}
                  : NoLoader("it is not a plug-in loader: it is a copy of the system's own " +
                             facts.name +
                             " (its export table names it so), which loads no plug-in");
     },
     DeleteSystemCopy},
    // A complete 64-bit DLL.
    {[](const LoaderFacts& facts) { return facts.fileProblems; },
     [](const LoaderFacts& facts) {
       return "install " + facts.name +
              " again from the script host's package, or the loader it comes with";
     }},
    // Names .asi files.
    {[](const LoaderFacts& facts) {
       return facts.namesAsi
                  ? std::vector<Problem>{}
                  : NoLoader("it is not a plug-in loader: " +
                             (facts.builtName.empty()
                                  ? std::string()
                                  : "it is " + facts.builtName +
                                        " under another name (a DLL of another program or "
                                        "mod), and ") +
                             "its text never mentions the .asi files that plug-in loaders "
                             "search for");
     },
     [](const LoaderFacts& facts) {
       return "put the plug-in loader from the script host's package in its place (if another "
              "mod needs this " +
              facts.name + ", follow that mod's instructions for using it beside a plug-in loader)";
     }},
    // Exports what the game's programs import from its name.
    {[](const LoaderFacts& facts) { return facts.gameImportProblems; }, ReplaceIncomplete},
    // Exports every function of the system's own copy.
    {[](const LoaderFacts& facts) { return facts.systemProblems; }, ReplaceIncomplete},
};

// A row that adds a clause to what is found about a sound loader.
struct FindingRow {
  bool (*holds)(const LoaderFacts&);
  std::string (*clause)(const LoaderFacts&);
};

const FindingRow kFindingRows[] = {
    {[](const LoaderFacts&) { return true; },
     [](const LoaderFacts&) {
       return std::string(
           "it looks like a plug-in loader: a 64-bit DLL whose text names the .asi files such "
           "loaders search for");
     }},
    {[](const LoaderFacts& facts) { return facts.system.whyNotRead.empty(); },
     [](const LoaderFacts& facts) {
       return "it exports all " + std::to_string(facts.system.functions.size()) +
              " functions of the system's own " + facts.name;
     }},
    {[](const LoaderFacts& facts) { return !facts.system.whyNotRead.empty(); },
     [](const LoaderFacts& facts) {
       return "whether it exports every function of the system's own " + facts.name +
              " could not be checked: " + facts.system.whyNotRead;
     }},
    {[](const LoaderFacts& facts) { return !facts.importers.empty(); },
     [](const LoaderFacts& facts) {
       return "it exports all " + std::to_string(facts.gameImports) + " functions " +
              Listed(facts.importers) + " imports from " + facts.name +
              ", so the game loads it as it starts";
     }},
    {[](const LoaderFacts& facts) { return facts.importers.empty(); },
     [](const LoaderFacts& facts) {
       return "the game's program does not import " + facts.name +
              ": Holdout loads if the "
              "game loads " +
              facts.name + " while it runs, which its files cannot show";
     }},
    {[](const LoaderFacts& facts) { return !facts.unreadPrograms.empty(); },
     [](const LoaderFacts& facts) {
       return "whether it exports what " + Listed(facts.unreadPrograms) + " imports from " +
              facts.name + " was not checked: the program does not read as an image";
     }},
};

}  // namespace

bool NamesPluginFiles(std::string_view bytes) {
  for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
    if (bytes[at] != '.') {
      continue;
    }
    if (IsPluginExtension(bytes.substr(at, 4))) {
      return true;
    }
    if (at + 8 <= bytes.size() && bytes[at + 1] == 0 && bytes[at + 3] == 0 && bytes[at + 5] == 0 &&
        bytes[at + 7] == 0 &&
        IsPluginExtension(std::string{'.', bytes[at + 2], bytes[at + 4], bytes[at + 6]})) {
      return true;
    }
  }
  return false;
}

FileVerdict JudgeLoaderFile(const std::string& name, const FoundLibrary& loader,
                            std::string_view bytes, const std::vector<fs::path>& programs,
                            const LibraryLookup& folder, const SystemCopy& system) {
  FileVerdict verdict{.file = "plug-in loader " + name};
  LoaderFacts facts{.name = name, .system = system};
  facts.sameAsSystem = !bytes.empty() && bytes == system.bytes;
  facts.namesAsi = NamesPluginFiles(bytes);
  // The export table names the library even where its imports do not read as the reader wants.
  if (loader.state == FoundLibrary::State::kRead && loader.reading.image.layout) {
    facts.builtName = BuiltName(*loader.reading.image.layout);
  }
  FileVerdict read;
  if (JudgeLibraryFile(loader, read)) {
    ExportBinder binder(loader.reading.image, folder);
    GatherGameImports(programs, binder, facts);
    GatherSystemExports(binder, facts);
  }
  facts.fileProblems = read.problems;
  for (const ProblemRow& row : kProblemRows) {
    verdict.problems = row.problems(facts);
    if (!verdict.problems.empty()) {
      verdict.advice = row.fix(facts);
      return verdict;
    }
  }
  for (const FindingRow& row : kFindingRows) {
    if (row.holds(facts)) {
      verdict.finding += (verdict.finding.empty() ? "" : "; ") + row.clause(facts);
    }
  }
  if (facts.importers.empty()) {
    verdict.loadsIf = "the game loads " + name;
  }
  return verdict;
}
