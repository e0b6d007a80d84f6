// The invariants read the simulated world, screen and log as the game would show them, and the
// plug-in's placement and run records read-only.
#include "developer/soak/session_invariants.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>

#include "observers/plugin_view.h"
#include "spawner/catalogues.h"
#include "survival/enemies.h"

namespace {

// The log from byte `from` on.
std::string ReadFrom(const std::filesystem::path& path, std::size_t from) {
  std::ifstream file(path, std::ios::binary);
  file.seekg(static_cast<std::streamoff>(from));
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Bytes before the old end read again with each growth, so a rewrite just before it shows.
constexpr std::size_t kLogOverlap = 64;

}  // namespace

int PluginPhase() {
  const PluginView& plugin = ObservePlugin();
  return (plugin.run.runActive ? 1 : 0) | (plugin.frameLoop.menuPage != 0 ? 2 : 0) |
         (plugin.placement.placingObject != 0 ? 4 : 0);
}

SessionInvariants::SessionInvariants(sim::SimHost& host, const std::filesystem::path& log,
                                     const std::filesystem::path& fallbackLog,
                                     const std::filesystem::path& otherWorkingFolderLog)
    : host_(host), outcomes_(host) {
  for (const std::filesystem::path& path : {log, fallbackLog, otherWorkingFolderLog}) {
    if (!path.empty()) {
      std::string seen = ReadFrom(path, 0);
      const std::size_t size = seen.size();
      logs_.push_back({path, std::move(seen), size});
    }
  }
}

// A log that grows is read from a little before its old end; whenever it has doubled since it
// was last read whole, it is read whole again. So every byte is compared with what was seen
// before, at a cost that stays in proportion to the log's size.
std::string_view SessionInvariants::LogAdded(WatchedLog& log, const std::string& frame,
                                             std::vector<std::string>& broken) {
  const std::size_t before = log.seen.size();
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(log.path, error);
  if (error) {
    if (!log.seen.empty()) {
      broken.push_back(frame + "the log " + log.path.filename().string() + " disappeared");
    }
  } else if (size != log.seen.size()) {
    const bool whole = size < log.seen.size() || size >= 2 * log.verified;
    const std::size_t from = whole ? 0 : log.seen.size() - std::min(log.seen.size(), kLogOverlap);
    std::string read = ReadFrom(log.path, from);
    if (size < log.seen.size() || read.compare(0, log.seen.size() - from, log.seen, from) != 0) {
      broken.push_back(frame + "the log was changed, not appended to");
    }
    log.seen.replace(from, std::string::npos, read);
    log.verified = whole ? log.seen.size() : log.verified;
  }
  return log.seen.size() > before ? std::string_view(log.seen).substr(before) : "";
}

std::vector<std::string> SessionInvariants::Check() {
  std::vector<std::string> broken;
  const std::string frame = "frame " + std::to_string(host_.Frame()) + ": ";
  const sim::World& world = host_.GetWorld();

  if (!ObservePlugin().run.runActive) {
    const std::uint32_t enemyModel = sim::World::NameHash(kEnemyModelName);
    for (const auto& [handle, ped] : world.peds) {
      if (ped.model == enemyModel && !ped.dead) {
        broken.push_back(frame + "enemy " + std::to_string(handle) + " lives on after its run");
        break;
      }
    }
  }

  int menusShown = 0;
  for (const sim::DrawnText& text : host_.Screen().TextsInFrame(host_.Frame())) {
    for (const SpawnerMenu& menu : kSpawnerMenus) {
      menusShown += text.text == menu.title ? 1 : 0;
    }
  }
  if (menusShown > 1) {
    broken.push_back(frame + std::to_string(menusShown) + " menus on screen at once");
  }

  for (; faultsSeen_ < host_.Faults().size(); ++faultsSeen_) {
    broken.push_back(frame + "host fault: " + host_.Faults()[faultsSeen_]);
  }
  if (host_.ScriptStuck()) {
    broken.push_back(frame + "the script stopped yielding");
  }

  // What every log gained: a line reaches one or the other.
  std::string logAdded;
  for (WatchedLog& log : logs_) {
    logAdded += LogAdded(log, frame, broken);
  }
  outcomes_.Check(logAdded, frame, broken);
  return broken;
}
