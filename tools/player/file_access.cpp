// The access questions that try what the plug-in does, over the platform's system calls: a new
// file of doctor's own is made under a name nothing in the folder has, and only that file is
// deleted again.
#include "player/file_access.h"

#include <string>

namespace {

// Names tried before doctor gives up on finding one free; a folder holding them all is
// answered as refusing.
constexpr int kNamesTried = 100;

}  // namespace

AccessAnswer CanAppendTo(const std::filesystem::path& file) {
  return fileSystemCalls.openForAppending(file);
}

AccessAnswer TryCreatingIn(const std::filesystem::path& folder) {
  for (int number = 1; number <= kNamesTried; ++number) {
    const std::filesystem::path trial =
        folder / ("holdout-doctor-trial-" + std::to_string(number) + ".tmp");
    std::string why;
    switch (fileSystemCalls.createNew(trial, why)) {
      case Creation::kMade:
        fileSystemCalls.deleteOwn(trial);
        return {true, ""};
      case Creation::kRefused:
        return {false, why};
      case Creation::kTaken:
        break;
    }
  }
  return {false, "every name doctor tries for a file of its own is taken"};
}
