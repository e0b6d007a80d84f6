// What the demo and the arena share: a session of the plug-in in the simulated game with a
// directory of its own (the host executable's directory, where Holdout.ini is read, and the
// working directory, where Holdout.log is written), and the player's shot.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/scratch_directory.h"
#include "core/session_folder.h"
#include "core/sim_host.h"

// The options every session command takes.
struct SessionOptions {
  std::uint64_t seed = 7;  // the world's random seed
  std::string iniPath;     // a settings file to use; empty: the defaults
};

// Takes "--seed N" or "--ini PATH" at argv[i], moving i onto the value; false for any other.
bool TakeSessionOption(int argc, char** argv, int& i, SessionOptions& options);

// 0 when the options can be used; otherwise prints why, as `command`, and returns the exit
// code (3: the settings file cannot be read).
int CheckSessionOptions(const char* command, const SessionOptions& options);

// The session's own directory; none when it cannot be made, which is then reported as
// `command` on standard error.
std::optional<sim::ScratchDirectory> MakeSessionDirectory(const char* command);

class ToolSession {
 public:
  // A session in `directory`, which becomes the working directory and holds a copy of the
  // options' settings file; a host whose world plays from their seed; the player at
  // `playerPosition`.
  ToolSession(const SessionOptions& options, sim::Vec3 playerPosition,
              sim::ScratchDirectory directory);
  ToolSession(const ToolSession&) = delete;
  ToolSession& operator=(const ToolSession&) = delete;

  sim::SimHost& Host() { return host_; }
  const std::filesystem::path& Directory() const { return folder_.Path(); }
  // Where the plug-in writes its log when the working folder refuses it.
  std::filesystem::path FallbackLog() const { return folder_.FallbackLog(); }
  // Where it writes its log when the game was started in another working folder.
  std::filesystem::path OtherWorkingFolderLog() const { return folder_.OtherWorkingFolderLog(); }

 private:
  // Declared first, so the host and its world end before the folder is left and removed.
  sim::SessionFolder folder_;
  sim::SimHost host_;
};

// Kills the nearest living attacker within `range` metres of the player, if any.
void ShootNearestAttacker(sim::World& world, float range);
