// How the simulated Windows finds the file or folder that a Win32 function's path names. Its
// paths are the Linux paths of the files, in UTF-16, with '\' read as a separator too and any
// part spelled by its short (8.3) name from the host's table (core/short_names.h). Without the
// \\?\ prefix, a path of MAX_PATH (260) characters or more names nothing, as for a program that
// has not opted into long paths on Windows; the prefix lifts that limit and is taken away.
// The read-only attribute is kept as Wine keeps it: a file without write permission. Folders
// that refuse the program's writes (Program Files for a standard user, a store install, a
// protected folder) are named in the file system's settings, which hold the environment's
// LOCALAPPDATA too.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

constexpr std::size_t kMaxPath = 260;
constexpr std::u16string_view kLongPathPrefix = u"\\\\?\\";

// The path without its \\?\ prefix, if it has one.
std::u16string_view WithoutLongPathPrefix(std::u16string_view path);

// True when the file functions take the path: it has the \\?\ prefix or fewer than MAX_PATH
// characters.
bool FileFunctionsTake(std::u16string_view path);

// The Linux path that a path names, its prefix taken away and short names resolved (those of
// the current host; none without one); nothing when it holds a surrogate without its partner.
// A relative path is left relative, to the working directory, except where the fault injector
// strikes with working-folder-elsewhere: it then names a file of the other working folder.
std::optional<std::string> LinuxPath(std::u16string_view path);

// What the simulated file system and environment are set to, for the whole process: a session
// sets LOCALAPPDATA (core/session_folder.h), a test adds refusing folders, and both go back to
// none when the session ends.
struct FileSystemSettings {
  // Linux paths of folders in which no file or folder is created and no file opened for
  // writing. Each folder's rule is its own, as access lists may differ between a folder and its
  // subfolders: a subfolder is refused only when it is named too.
  std::vector<std::string> foldersRefusingWrites;
  // LOCALAPPDATA's value as a Linux path, in UTF-8; empty when the variable is not set.
  std::string localAppData;
  // A working folder other than the game's, as a launcher may start the game in, as a Linux
  // path in UTF-8; empty when there is none.
  std::string otherWorkingFolder;
};
extern FileSystemSettings fileSystemSettings;

// True when `path` (a Linux path, relative to the working directory or absolute) names an entry
// of a folder that refuses writes.
bool RefusesWrites(const std::string& path);

// The read-only attribute of an existing file.
bool IsReadOnly(const std::string& path);
void SetReadOnly(const std::string& path, bool readOnly);

}  // namespace sim
