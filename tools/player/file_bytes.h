// Reading the files doctor judges: whole, only for reading, and only up to a size no real file
// of its kind comes near, so that a huge file named like one of them is named as such instead of
// filling memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "player/library_files.h"

// No script host, plug-in or plug-in loader comes near this size.
inline constexpr std::uintmax_t kMaxLibraryBytes = 64u << 20;
// A game's program may be large; none comes near this size.
inline constexpr std::uintmax_t kMaxProgramBytes = 1u << 30;

// The whole file, up to maxBytes; nothing with the reason in whyNot when it cannot be read.
std::optional<std::string> ReadBytes(const std::filesystem::path& path, std::string& whyNot,
                                     std::uintmax_t maxBytes = kMaxLibraryBytes);

// The library or program at `path`, read and judged from its tables; missing when there is no
// path. Its bytes are kept in `bytes` when the caller gives a place for them.
FoundLibrary ReadLibrary(const std::optional<std::filesystem::path>& path,
                         std::uintmax_t maxBytes = kMaxLibraryBytes, std::string* bytes = nullptr);
