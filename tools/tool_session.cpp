// The tools' simulated session and the player's shot.
#include "tool_session.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A new directory, made the working directory. Without one the tool stops: the session's
// directory is removed at its end, so it must never be one the session did not create.
std::filesystem::path MakeSessionDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "holdout-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "holdout: cannot create a session directory '%s': %s\n", pattern.c_str(),
                 std::strerror(errno));
    std::exit(3);
  }
  std::filesystem::current_path(pattern);
  return pattern;
}

}  // namespace

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

ToolSession::ToolSession(const SessionOptions& options, sim::Vec3 playerPosition)
    : directory_(MakeSessionDirectory()) {
  if (!options.iniPath.empty()) {
    std::error_code error;
    std::filesystem::copy_file(options.iniPath, directory_ / "Holdout.ini", error);
  }
  host_.SetExecutablePath((directory_ / "Host.exe").string());
  host_.GetWorld().Seed(options.seed);
  host_.GetWorld().player.position = playerPosition;
}

ToolSession::~ToolSession() {
  std::error_code error;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), error);
  std::filesystem::remove_all(directory_, error);
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
