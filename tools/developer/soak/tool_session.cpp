// The tools' simulated session and the player's shot.
#include "developer/soak/tool_session.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

bool TakeSessionOption(int argc, char** argv, int& i, SessionOptions& options) {
  const std::string option = argv[i];
  if (i + 1 >= argc) {
    return false;
  }
  if (option == "--seed") {
    options.seed = std::strtoull(argv[++i], nullptr, 10);
    return true;
  }
  if (option == "--ini") {
    options.iniPath = argv[++i];
    return true;
  }
  return false;
}

int CheckSessionOptions(const char* command, const SessionOptions& options) {
  if (!options.iniPath.empty() && !std::filesystem::is_regular_file(options.iniPath)) {
    std::fprintf(stderr, "%s: cannot read '%s'\n", command, options.iniPath.c_str());
    return 3;
  }
  return 0;
}

std::optional<sim::ScratchDirectory> MakeSessionDirectory(const char* command) {
  std::string error;
  std::optional<sim::ScratchDirectory> directory = sim::ScratchDirectory::Create("holdout", error);
  if (!directory) {
    std::fprintf(stderr, "%s: cannot make a directory for the session (%s); nothing was changed\n",
                 command, error.c_str());
  }
  return directory;
}

ToolSession::ToolSession(const SessionOptions& options, sim::Vec3 playerPosition,
                         sim::ScratchDirectory directory)
    : folder_(std::move(directory)) {
  if (!options.iniPath.empty()) {
    std::error_code error;
    std::filesystem::copy_file(options.iniPath, folder_.Path() / "Holdout.ini", error);
  }
  host_.SetExecutablePath(folder_.ExecutablePath());
  host_.GetWorld().Seed(options.seed);
  host_.GetWorld().player.position = playerPosition;
}

void ShootNearestAttacker(sim::World& world, float range) {
  std::int32_t target = 0;
  float nearest = std::numeric_limits<float>::max();
  for (const auto& [handle, ped] : world.peds) {
    const float distance = std::hypot(ped.position.x - world.player.position.x,
                                      ped.position.y - world.player.position.y);
    if (!ped.dead && ped.attackTarget != 0 && distance < range && distance < nearest) {
      nearest = distance;
      target = handle;
    }
  }
  if (target != 0) {
    world.KillPed(target);
  }
}
