// doctor's questions about files, answered the way the plug-in would meet them: whether a line
// could be appended to an existing file (it is opened for appending and closed without a
// write), whether a new file can be created in a folder (found by trying: a file of doctor's
// own is created there and deleted again), and whether a file is an online-only placeholder of
// a cloud-synced folder, whose contents are not on this device. The system calls they stand on
// are a table, one implementation per platform chosen by the build, whose entries a test may
// replace to play what its machine cannot (a folder that refuses one program only, an
// online-only file).
#pragma once

#include <filesystem>
#include <string>

// The answer to an access question; `why` holds the system's reason when the answer is no.
struct AccessAnswer {
  bool allowed = false;
  std::string why;
};

// What creating a new file answered.
enum class Creation {
  kMade,     // the file is new, and ours
  kTaken,    // something of that name is there already; it is left alone
  kRefused,  // the folder refused the file
};

// The system calls doctor's questions stand on; each platform's own at first.
struct FileSystemCalls {
  // Opens the existing file for appending, without creating it, and closes it without a write.
  AccessAnswer (*openForAppending)(const std::filesystem::path& file);
  // Creates `file` only when nothing of its name is there, and closes it; `why` holds the
  // system's reason when the folder refused it.
  Creation (*createNew)(const std::filesystem::path& file, std::string& why);
  // Deletes a file this program created.
  bool (*deleteOwn)(const std::filesystem::path& file);
  // True when the file is an online-only placeholder: its contents stay in the cloud until it
  // is opened, and offline it cannot be opened at all.
  bool (*isOnlineOnly)(const std::filesystem::path& file);
};

// The calls in use: the platform's (posix/file_access.cpp, windows/file_access.cpp).
extern FileSystemCalls fileSystemCalls;

// Whether the existing file can be opened for appending.
AccessAnswer CanAppendTo(const std::filesystem::path& file);

// Whether a new file can be created in the folder, found by trying: a file of doctor's own,
// under a name no entry of the folder has, is created and deleted again. Nothing else is
// touched: a name already taken is left alone and the next one tried.
AccessAnswer TryCreatingIn(const std::filesystem::path& folder);
