// The plug-in loader judged from its file: a DLL under a loader's name is taken for a plug-in
// loader only when its text names .asi files (loaders search for "*.asi"); a system library's
// own copy, or another program's DLL under that name, is named as such. A loader under the name
// of a library the game imports must also export every function the game's program takes from
// that library, or Windows refuses to start the game; dinput8.dll is the exception, since
// games load it while they run rather than through their import tables.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "player/library_checks.h"
#include "player/library_files.h"

// Whether the bytes name ".asi" (in any case), as ANSI or UTF-16 text.
bool NamesPluginFiles(std::string_view bytes);

// The verdict on the DLL `name` of the game folder, read into `loader` from `bytes`; `programs`
// are the folder's 64-bit programs, and `folder` finds the folder's libraries, which the loader's
// forwarders may lead to.
FileVerdict JudgeLoaderFile(const std::string& name, const FoundLibrary& loader,
                            std::string_view bytes,
                            const std::vector<std::filesystem::path>& programs,
                            const LibraryLookup& folder);
