// Where the profile functions find the settings file: the host executable's folder, read in full
// in the wide form, so that a folder named in any language is opened as itself. The profile
// functions open a path of at most kProfilePathCapacity - 1 characters (measured under Wine,
// where a \\?\ prefix gains nothing); a longer one is handed over as the folder's short (8.3)
// form where that is short enough, as a volume that keeps short names gives it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// MAX_PATH: the room for a path the profile functions open, its terminator included.
constexpr std::size_t kProfilePathCapacity = 260;

// The host executable's folder, read in full in the wide form, ending in a separator; ".\" when
// the executable's path names no folder (the working directory).
std::u16string ExecutableFolder();

// The path of the file `name` in `folder` (ending in a separator) as the profile functions can
// open it: folder and name as they are, or else under the folder's short form; nothing when
// neither fits.
std::optional<std::u16string> ProfileFilePath(const std::u16string& folder,
                                              std::u16string_view name);
