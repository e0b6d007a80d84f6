// The system calls of doctor's file questions on POSIX systems: open(2) without O_CREAT for
// appending, with O_CREAT | O_EXCL for a new file. No file system here keeps files online only.
#include "player/file_access.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

AccessAnswer OpenForAppending(const std::filesystem::path& file) {
  // O_NONBLOCK: a FIFO with no reader answers at once instead of waiting for one.
  const int descriptor =
      open(file.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    return {false, std::strerror(errno)};
  }
  close(descriptor);
  return {true, ""};
}

Creation CreateNew(const std::filesystem::path& file, std::string& why) {
  const int descriptor =
      open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0644);
  if (descriptor < 0) {
    if (errno == EEXIST) {
      return Creation::kTaken;
    }
    why = std::strerror(errno);
    return Creation::kRefused;
  }
  close(descriptor);
  return Creation::kMade;
}

bool DeleteOwn(const std::filesystem::path& file) {
  return unlink(file.c_str()) == 0;
}

bool IsOnlineOnly(const std::filesystem::path&) {
  return false;
}

}  // namespace

FileSystemCalls fileSystemCalls = {&OpenForAppending, &CreateNew, &DeleteOwn, &IsOnlineOnly};
