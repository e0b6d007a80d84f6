// Access questions on POSIX systems: open(2) without O_CREAT for appending, and the folder's
// write and search permission for the effective user.
#include "player/file_access.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

AccessAnswer CanAppendTo(const std::filesystem::path& file) {
  // O_NONBLOCK: a FIFO with no reader answers at once instead of waiting for one.
  const int descriptor =
      open(file.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    return {false, std::strerror(errno)};
  }
  close(descriptor);
  return {true, ""};
}

AccessAnswer CanCreateIn(const std::filesystem::path& folder) {
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    return {false, std::strerror(errno)};
  }
  return {true, ""};
}
