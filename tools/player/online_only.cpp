// Online-only files among the judged ones, asked of the platform's file attributes
// (player/file_access.h).
#include "player/online_only.h"

#include <optional>
#include <string>

#include "player/file_access.h"

namespace {

// What an offline machine does with the file.
std::string Consequence(const std::string& file) {
  if (file == "Holdout.ini") {
    return "Holdout reads it as missing and every setting takes its default";
  }
  if (file == "Holdout.log") {
    return "Holdout cannot append to it and writes its log to %LOCALAPPDATA%\\Holdout instead";
  }
  return "the game cannot load it";
}

// The file a verdict is on: its last word ("plug-in loader dinput8.dll" is on dinput8.dll).
std::string FileOf(const FileVerdict& verdict) {
  return verdict.file.substr(verdict.file.rfind(' ') + 1);
}

}  // namespace

void NameOnlineOnlyFiles(const Listing& listing, std::vector<FileVerdict>& verdicts) {
  for (FileVerdict& verdict : verdicts) {
    const std::string file = FileOf(verdict);
    const std::optional<std::filesystem::path> path = listing.Find(file);
    if (!path || !fileSystemCalls.isOnlineOnly(*path)) {
      continue;
    }
    const bool wasSound = verdict.Sound();
    verdict.problems.push_back(
        {.kind = ProblemKind::kUnreadable,
         .sentence = "it is kept online only (a cloud-synced folder holds its contents on the "
                     "internet, not on this device), so while offline " +
                     Consequence(file)});
    const std::string keep = "keep it on this device: right-click " + file +
                             " in File Explorer and choose \"Always keep on this device\"";
    verdict.advice = wasSound ? keep : verdict.advice + "; " + keep;
  }
}
