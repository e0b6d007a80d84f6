// The plug-in loader judged from its file, as one table of rows: each row says what is checked,
// what it means and, for a problem, the fix. A DLL under a loader's name looks like a plug-in
// loader when its text names .asi files (loaders search for "*.asi"); whether it loads them
// cannot be seen in a file. A file that is the system's own library (the same bytes as the
// system folder's copy, or an export table naming it so) is no loader, whatever its imports look
// like. Every loader goes by the name of a system library, and whoever imports that name in the
// game's process gets the game folder's file instead (the game's program, and the system's own
// libraries that need it): it must export what the game's programs import from that name, and
// every function the system's copy exports. Where the game's programs do not import the name,
// only a run of the game can tell whether it loads the library, and the verdict says so.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "player/library_checks.h"
#include "player/library_files.h"
#include "player/system_copy.h"

// Whether the bytes name ".asi" (in any case), as ANSI or UTF-16 text.
bool NamesPluginFiles(std::string_view bytes);

// The verdict on the DLL `name` of the game folder, read into `loader` from `bytes`; `programs`
// are the folder's 64-bit programs, `folder` finds the folder's libraries, which the loader's
// forwarders may lead to, and `system` is the system folder's copy of `name`.
FileVerdict JudgeLoaderFile(const std::string& name, const FoundLibrary& loader,
                            std::string_view bytes,
                            const std::vector<std::filesystem::path>& programs,
                            const LibraryLookup& folder, const SystemCopy& system);
