// The folder a simulated session plays in: a fresh scratch directory that serves as the game
// folder (the host executable's directory, where the plug-in looks for Holdout.ini) and as the
// working directory (where it writes Holdout.log). It holds the user's LOCALAPPDATA folder too,
// "LocalAppData", where the log goes when the working folder refuses it, and "Launcher", a
// working folder other than the game's, as a launcher may start the game in. The tests' scenarios
// and the tools' sessions both play in one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/scratch_directory.h"

namespace sim {

class SessionFolder {
 public:
  // Makes the directory the working directory, its LocalAppData folder the simulated
  // environment's LOCALAPPDATA, and its Launcher folder the other working folder.
  explicit SessionFolder(ScratchDirectory directory);
  // Returns to the previous working directory and sets the simulated file system back to no
  // LOCALAPPDATA and no refusing folder; the directory is removed with its contents.
  ~SessionFolder();
  SessionFolder(const SessionFolder&) = delete;
  SessionFolder& operator=(const SessionFolder&) = delete;

  const std::filesystem::path& Path() const { return directory_.Path(); }
  // The path the host reports as its executable's, inside the folder.
  std::string ExecutablePath() const;
  // Writes Holdout.ini into the folder, replacing any.
  void WriteIni(std::string_view text) const;
  // The contents of Holdout.log in the working folder; empty when there is none.
  std::string ReadLog() const;
  // The folder LOCALAPPDATA names.
  std::filesystem::path LocalAppData() const { return directory_.Path() / "LocalAppData"; }
  // The log where the plug-in writes when the working folder refuses it: Holdout\Holdout.log in
  // LOCALAPPDATA.
  std::filesystem::path FallbackLog() const { return LocalAppData() / "Holdout" / "Holdout.log"; }
  // The contents of that log; empty when there is none.
  std::string ReadLocalAppDataLog() const;
  // The log where the plug-in writes when the game was started in the other working folder.
  std::filesystem::path OtherWorkingFolderLog() const {
    return directory_.Path() / "Launcher" / "Holdout.log";
  }
  // The contents of that log; empty when there is none.
  std::string ReadOtherWorkingFolderLog() const;

 private:
  ScratchDirectory directory_;
  std::filesystem::path previousWorkingDirectory_;
};

}  // namespace sim
