// What tells a plug-in loader from other DLLs under its name, and what the game's program needs
// of a loader in place of a library it imports. A library's export table names the file it was
// built as, which tells a system library's own copy from another program's DLL.
#include "player/loader_checks.h"

#include <algorithm>
#include <span>

#include "player/arguments.h"
#include "player/export_binding.h"
#include "player/file_bytes.h"
#include "player/plugin_loaders.h"
#include "sentences/text.h"

namespace {

namespace fs = std::filesystem;

// The longest library name read from an export table.
constexpr std::uint64_t kMaxLibraryName = 260;
// Functions named one by one in a problem at most; the rest are counted.
constexpr std::size_t kFunctionsNamed = 4;
// The loader that games load while they run, never through their import tables.
constexpr const char* kRunTimeLoaderName = "dinput8.dll";

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

// The verdict on a DLL under a loader's name that does not name .asi files.
void SayNotALoader(const std::string& name, const FoundLibrary& loader, FileVerdict& verdict) {
  const std::string builtName = BuiltName(*loader.reading.image.layout);
  std::string sentence = "it is not a plug-in loader: ";
  if (Lower(builtName) == Lower(name)) {
    sentence += "it is a copy of the system's own " + name + ", which loads no plug-in";
    verdict.advice = "delete this " + name +
                     " (the game uses the system's own copy without it), then copy the plug-in "
                     "loader from the script host's package into the game folder";
  } else {
    sentence += (builtName.empty() ? std::string()
                                   : "it is " + builtName +
                                         " under another name (a DLL of another program or "
                                         "mod), and ") +
                "its text never mentions the .asi files that plug-in loaders search for";
    verdict.advice =
        "put the plug-in loader from the script host's package in its place (if another mod "
        "needs this " +
        name + ", follow that mod's instructions for using it beside a plug-in loader)";
  }
  verdict.problems.push_back(
      {.kind = ProblemKind::kNoLoader, .sentence = sentence + ", so nothing loads Holdout.asi"});
}

// The functions a program imports from the library `name`; nothing when it imports none.
const PeImportedLibrary* ImportsFrom(const PeImage& program, const std::string& name) {
  const auto found = std::find_if(program.imports.begin(), program.imports.end(),
                                  [&name](const PeImportedLibrary& library) {
                                    return Lower(LibraryFileName(library.name)) == Lower(name);
                                  });
  return found == program.imports.end() ? nullptr : &*found;
}

// Checks that the loader binds every function the game's programs import from `name`, as the
// Windows loader binds them when it starts the game. Adds to the finding what was found.
void JudgeStandIn(const std::string& name, const FoundLibrary& loader,
                  const std::vector<fs::path>& programs, const LibraryLookup& folder,
                  FileVerdict& verdict) {
  std::vector<std::string> importing;
  std::vector<std::string> unchecked;
  std::size_t needed = 0;
  ExportBinder binder(loader.reading.image, folder);
  for (const fs::path& path : programs) {
    const std::string program = ShownPath(path.filename());
    const FoundLibrary read = ReadLibrary(path, kMaxProgramBytes);
    if (read.state != FoundLibrary::State::kRead || !read.reading.problem.empty()) {
      unchecked.push_back(program);
      continue;
    }
    const PeImportedLibrary* library = ImportsFrom(read.reading.image, name);
    if (library == nullptr) {
      continue;
    }
    importing.push_back(program);
    // Wine binds such an import to a stub instead, which stops the game when it is called.
    const std::string refusal =
        "so Windows refuses to start the game (under Wine, the game stops when it first calls "
        "such a function)";
    std::vector<std::string> lacking;
    for (const PeImport& function : library->functions) {
      ++needed;
      const std::optional<Problem> why = binder.WhyUnbound(function);
      if (!why) {
        continue;
      }
      if (why->kind != ProblemKind::kLacksFunction) {
        verdict.problems.push_back({.kind = why->kind,
                                    .sentence = why->sentence + " (" + program +
                                                " imports it from " + name + "), " + refusal});
      } else {
        lacking.push_back(function.name.empty()
                              ? "the function of ordinal " + std::to_string(function.ordinal)
                              : Printable(function.name));
      }
    }
    if (lacking.size() > kFunctionsNamed) {
      const std::size_t more = lacking.size() - kFunctionsNamed;
      lacking.resize(kFunctionsNamed);
      lacking.push_back(std::to_string(more) + " more");
    }
    if (!lacking.empty()) {
      verdict.problems.push_back({.kind = ProblemKind::kLacksFunction,
                                  .sentence = "it lacks functions " + program + " imports from " +
                                              name + " (" + Listed(lacking) + "), " + refusal});
    }
  }
  if (!verdict.Sound()) {
    verdict.advice = "this loader is no complete stand-in for " + name +
                     ": delete it and use the plug-in loader from the script host's package "
                     "under the name " +
                     kRunTimeLoaderName;
    return;
  }
  if (importing.empty() && unchecked.empty()) {
    verdict.finding += "; the game's program does not import " + name +
                       ", so the loader runs only if the game loads " + name + " while it runs";
  } else if (!importing.empty()) {
    verdict.finding += "; it exports all " + std::to_string(needed) + " functions " +
                       Listed(importing) + " imports from " + name;
  }
  if (!unchecked.empty()) {
    verdict.finding += "; whether it exports what " + Listed(unchecked) + " imports from " + name +
                       " was not checked: the program does not read as an image";
  }
}

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
                            const LibraryLookup& folder) {
  FileVerdict verdict{.file = "plug-in loader " + name};
  if (!JudgeLibraryFile(loader, verdict)) {
    verdict.advice =
        "install " + name + " again from the script host's package, or the loader it comes with";
    return verdict;
  }
  if (!NamesPluginFiles(bytes)) {
    SayNotALoader(name, loader, verdict);
    return verdict;
  }
  verdict.finding =
      "a 64-bit DLL under a name plug-in loaders take, which names .asi files as they do, there "
      "to load the folder's .asi files";
  if (Lower(name) != kRunTimeLoaderName) {
    JudgeStandIn(name, loader, programs, folder, verdict);
  }
  return verdict;
}
