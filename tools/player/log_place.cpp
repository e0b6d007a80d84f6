// The log's verdict: the working folder the game starts in (its own folder, unless that path is
// too long to be a working folder), then the fallback in the user's local application data.
#include "player/log_place.h"

#include <optional>
#include <string>

#include "player/arguments.h"
#include "player/file_access.h"
#include "player/system_facts.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLogName = "Holdout.log";

// Whether a line can be appended to Holdout.log in `folder`, called `shown` to the player: to
// the file when it is there, else to a file the folder lets doctor create. `why` says why not.
bool LogWritableIn(const fs::path& folder, const std::string& shown, std::string& why) {
  std::error_code error;
  const fs::path log = folder / kLogName;
  if (fs::exists(log, error)) {
    if (!fs::is_regular_file(log, error)) {
      why = "Holdout.log in " + shown + " is not a file (a folder?)";
      return false;
    }
    const AccessAnswer append = CanAppendTo(log);
    why = append.allowed ? ""
                         : "a line cannot be appended to Holdout.log in " + shown + " (" +
                               append.why + ")";
    return append.allowed;
  }
  const AccessAnswer create = TryCreatingIn(folder);
  why = create.allowed ? "" : "no file can be created in " + shown + " (" + create.why + ")";
  return create.allowed;
}

// The fallback's part of the verdict, once the working folder refused the log for `why`.
void JudgeFallback(const std::string& why, FileVerdict& verdict) {
  const LogFallback fallback = LogFallbackPlace();
  const std::string goes = why + ", so Holdout writes its log to " + fallback.shown;
  if (!fallback.localAppData) {
    verdict.finding = goes;
    return;
  }
  // The plug-in creates its folder there when needed; doctor tries the folder that would hold it.
  std::error_code error;
  const fs::path own = *fallback.localAppData / "Holdout";
  std::string fallbackWhy;
  const fs::path& tried = fs::is_directory(own, error) ? own : *fallback.localAppData;
  const bool writable = LogWritableIn(tried, ShownPath(tried), fallbackWhy);
  if (writable) {
    verdict.finding = goes;
    return;
  }
  verdict.problems.push_back(
      {.kind = ProblemKind::kNotWritable,
       .sentence = goes + ", but " + fallbackWhy +
                   " either, so the log's lines are lost: F2 says the position was not saved"});
  verdict.advice =
      "let your user account write to the game folder, or move the game out of a protected "
      "folder (such as Program Files)";
}

}  // namespace

FileVerdict JudgeLog(const Listing& listing) {
  FileVerdict verdict{.file = kLogName};
  fs::path working = listing.folder;
  std::string start;
  if (const std::optional<WorkingFolderElsewhere> elsewhere = WorkingFolderInstead(working)) {
    start = "this folder's path has " + std::to_string(elsewhere->pathLength) +
            " characters, more than the " + std::to_string(kWorkingFolderCapacity) +
            " a working folder may have, so the game starts in ";
    if (!elsewhere->instead) {
      verdict.finding = start +
                        "another folder (the one it is started from) and Holdout writes its log "
                        "there, or, where that folder refuses it, to " +
                        LogFallbackPlace().shown;
      return verdict;
    }
    working = *elsewhere->instead;
    start += ShownPath(working) + "; ";
  }
  const std::string shown = start.empty() ? "this folder" : ShownPath(working);
  std::string why;
  if (LogWritableIn(working, shown, why)) {
    std::error_code error;
    const bool there = fs::exists(working / kLogName, error);
    verdict.finding =
        start.empty()
            ? (there ? "a line can be appended to it"
                     : "not there yet; Holdout creates it with its first line")
            : start + (there ? "a line can be appended to " : "Holdout creates ") +
                  ShownPath(working / kLogName) + (there ? "" : " with its first line");
    return verdict;
  }
  JudgeFallback(start + why, verdict);
  return verdict;
}
