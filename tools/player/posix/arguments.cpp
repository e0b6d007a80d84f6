// Paths on POSIX systems: an argument's bytes are the path's, and a path's bytes its text.
#include "player/arguments.h"

std::filesystem::path PathFromArgument(const std::string& argument) {
  return argument;
}

std::string ShownPath(const std::filesystem::path& path) {
  return path.string();
}
