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

SessionInvariants::SessionInvariants(sim::SimHost& host, std::filesystem::path log)
    : host_(host),
      log_(std::move(log)),
      logSeen_(ReadFrom(log_, 0)),
      logVerified_(logSeen_.size()),
      outcomes_(host) {}

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

  // A log that grows is read from a little before its old end; whenever it has doubled since
  // it was last read whole, it is read whole again. So every byte is compared with what was
  // seen before, at a cost that stays in proportion to the log's size.
  const std::size_t logBefore = logSeen_.size();
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(log_, error);
  if (error) {
    if (!logSeen_.empty()) {
      broken.push_back(frame + "the log disappeared");
    }
  } else if (size != logSeen_.size()) {
    const bool whole = size < logSeen_.size() || size >= 2 * logVerified_;
    const std::size_t from = whole ? 0 : logSeen_.size() - std::min(logSeen_.size(), kLogOverlap);
    std::string read = ReadFrom(log_, from);
    if (size < logSeen_.size() || read.compare(0, logSeen_.size() - from, logSeen_, from) != 0) {
      broken.push_back(frame + "the log was changed, not appended to");
    }
    logSeen_.replace(from, std::string::npos, read);
    logVerified_ = whole ? logSeen_.size() : logVerified_;
  }
  const std::string_view logAdded =
      logSeen_.size() > logBefore ? std::string_view(logSeen_).substr(logBefore) : "";
  outcomes_.Check(logAdded, frame, broken);
  return broken;
}
