// The two libraries of a Holdout install judged from their tables: Holdout.asi must be a
// complete 64-bit DLL that takes functions only from Windows and the script host, and the script
// host (ScriptHookFrontier.dll) a 64-bit DLL that exports every function Holdout.asi takes from
// it. What Holdout.asi needs is read from its own import table, never from a list of ours.
#pragma once

#include <string>
#include <vector>

#include "binary_reader/pe_image.h"
#include "player/library_files.h"
#include "sentences/problem.h"

// One file's verdict: what was found when it is sound, otherwise its problems and the remedy.
struct FileVerdict {
  std::string file{};               // the name the player knows it by
  std::string finding{};            // when sound, e.g. "a 64-bit DLL that exports ..."
  std::vector<Problem> problems{};  // one sentence each
  std::string advice{};             // what to do about the problems
  // When sound, what must also happen that files cannot show, e.g. "the game loads winmm.dll";
  // empty when nothing must.
  std::string loadsIf{};
  bool Sound() const { return problems.empty(); }
};

// Problems any library file may have: absent, unreadable, not a sound 64-bit DLL. Adds them to
// the verdict; true when there are none.
bool JudgeLibraryFile(const FoundLibrary& found, FileVerdict& verdict);

// True when the image takes at least one function from the script host.
bool TakesFromHost(const PeImage& image);

// Holdout.asi: present, readable, a complete 64-bit DLL whose imports besides the script host
// are all libraries Windows provides, each named once, and which takes at least one function
// from the host, each by a name the host's C++ functions can have.
FileVerdict JudgePlugin(const FoundLibrary& plugin);

// The script host: present, readable, a 64-bit DLL that imports from libraries with sound names,
// each once, each a part of Windows or one of the folder that `folder` finds and that loads, and
// binds every function Holdout.asi takes from it as the loader binds it: found through its
// export tables, its forwarders followed to Windows, to itself, or to the libraries `folder`
// finds. Its exports are compared only when Holdout.asi itself was read cleanly.
FileVerdict JudgeHost(const FoundLibrary& host, const FoundLibrary& plugin,
                      const LibraryLookup& folder = {});
