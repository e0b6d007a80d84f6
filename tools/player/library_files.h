// Library files of a game folder as doctor finds them, and the facts about their names that the
// checks of a library and the binding of its exports both use: which names Windows provides and
// the file a library name stands for.
#pragma once

#include <functional>
#include <string>

#include "binary_reader/pe_image.h"

// A library file as found in the game folder.
struct FoundLibrary {
  enum class State { kMissing, kUnreadable, kRead };
  State state = State::kMissing;
  std::string unreadableWhy;  // the reason, when kUnreadable
  PeReading reading;          // the tables, when kRead
};

// Finds a library of the game folder by its file name, without regard to case as Windows does.
using LibraryLookup = std::function<FoundLibrary(const std::string& fileName)>;

// The script host's file name, as Holdout.asi's import table names it.
inline constexpr const char* kHostFileName = "ScriptHookFrontier.dll";

// The plug-in's file name: plug-in loaders load the files of the game folder ending in ".asi".
inline constexpr const char* kPluginFileName = "Holdout.asi";

// Whether Windows itself provides the library of this file name (or the Microsoft C++ runtime
// that games install with themselves).
bool IsSystemLibrary(const std::string& fileName);

// The file the loader looks for when an import or a forwarder names a library: the name, with
// ".dll" added when it has no extension.
std::string LibraryFileName(const std::string& name);
