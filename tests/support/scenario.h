// A scenario's world: a fresh directory that serves as the host executable's directory (where
// the plug-in looks for Holdout.ini) and as the working directory (where it writes
// Holdout.log), and a simulated host. At its end every fault the host saw fails the test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/session_folder.h"
#include "core/sim_host.h"

namespace holdout_test {

class Scenario {
 public:
  Scenario();
  ~Scenario();
  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;

  // Writes Holdout.ini next to the host executable; call before Load.
  void WriteIni(std::string_view text) { folder_.WriteIni(text); }
  // Loads the plug-in (DllMain with attach).
  void Load();
  // Loads the plug-in and runs its first frame, so that its set-up is done.
  void Start();
  void RunFrames(std::uint32_t count) { host.RunFrames(count); }
  void RunFrame() { host.RunFrame(); }
  // Runs one frame whose tick count is `tick`: the clock is set one frame's duration earlier,
  // so the frame lands exactly there whatever the frame duration.
  void RunFrameAt(std::uint32_t tick) {
    host.SetTickCount(tick - host.FrameDuration());
    host.RunFrame();
  }
  // The log's contents, empty when there is none.
  std::string ReadLog() const { return folder_.ReadLog(); }
  // LOCALAPPDATA's folder, and the log there; empty when there is none.
  std::filesystem::path LocalAppData() const { return folder_.LocalAppData(); }
  std::string ReadLocalAppDataLog() const { return folder_.ReadLocalAppDataLog(); }
  // The log's paths: in the working folder, and the fallback in LOCALAPPDATA.
  std::filesystem::path Log() const { return Directory() / "Holdout.log"; }
  std::filesystem::path FallbackLog() const { return folder_.FallbackLog(); }
  // The log in the working folder other than the game's, where the game may be started.
  std::filesystem::path OtherWorkingFolderLog() const { return folder_.OtherWorkingFolderLog(); }
  std::string ReadOtherWorkingFolderLog() const { return folder_.ReadOtherWorkingFolderLog(); }
  const std::filesystem::path& Directory() const { return folder_.Path(); }

  sim::SimHost host;

 private:
  sim::SessionFolder folder_;
};

}  // namespace holdout_test
