// The screen and world pictures.
#include "developer/views.h"
#include "observers/plugin_view.h"

#include <cmath>
#include <string>

namespace {

int ToCell(float normalised, int cells) {
  return static_cast<int>(std::lround(normalised * static_cast<float>(cells)));
}

}  // namespace

Canvas RenderScreen(const std::vector<sim::DrawnText>& texts,
                    const std::vector<sim::DrawnBox>& boxes, int width, int height) {
  Canvas canvas(width, height);
  for (const sim::DrawnBox& box : boxes) {
    const Shade shade = box.color[3] >= 200 ? Shade::kOpaque : Shade::kTranslucent;
    canvas.Shade(ToCell(box.x - box.width / 2, width), ToCell(box.y - box.height / 2, height),
                 ToCell(box.x + box.width / 2, width), ToCell(box.y + box.height / 2, height),
                 shade);
  }
  for (const sim::DrawnText& text : texts) {
    int row = ToCell(text.y, height);
    std::size_t start = 0;
    while (start <= text.text.size()) {
      std::size_t end = text.text.find('\n', start);
      if (end == std::string::npos) {
        end = text.text.size();
      }
      const std::string line = text.text.substr(start, end - start);
      int column = ToCell(text.x, width);
      if (text.style.centered != 0) {
        column -= static_cast<int>(line.size() / 2);
      }
      canvas.Write(column, row++, line);
      start = end + 1;
    }
  }
  return canvas;
}

std::vector<MapPoint> MapPoints(const sim::World& world) {
  std::vector<MapPoint> points;
  const Vector3& start = ObservePlugin().settings.PlayerStartingPosition;
  points.push_back({start.x, start.y, MapMark::kStart});
  for (const Vector3& spawn : ObservePlugin().settings.EnemySpawnPositions) {
    points.push_back({spawn.x, spawn.y, MapMark::kSpawnPoint});
  }
  for (const auto& [handle, object] : world.objects) {
    points.push_back({object.position.x, object.position.y,
                      object.isVehicle ? MapMark::kMountedWeapon : MapMark::kObject});
  }
  for (const auto& [handle, ped] : world.peds) {
    const MapMark mark =
        ped.dead ? MapMark::kDeadPed : (ped.attackTarget != 0 ? MapMark::kEnemy : MapMark::kPed);
    points.push_back({ped.position.x, ped.position.y, mark});
  }
  const sim::Vec3& player = world.player.position;
  points.push_back(
      {player.x, player.y, world.player.dead ? MapMark::kDeadPlayer : MapMark::kPlayer});
  return points;
}

Canvas RenderWorld(const sim::World& world, float metresPerColumn, int width, int height) {
  // One character for each MapMark, in the order they are declared.
  static constexpr char kCharacters[] = {'*', 'S', 'o', 'W', 'p', 'E', 'x', '@', 'X'};
  Canvas canvas(width, height);
  const sim::Vec3 centre = world.player.position;
  for (const MapPoint& point : MapPoints(world)) {
    const int column =
        width / 2 + static_cast<int>(std::lround((point.x - centre.x) / metresPerColumn));
    // North (growing y) is up; rows are twice as tall as columns are wide.
    const int row =
        height / 2 - static_cast<int>(std::lround((point.y - centre.y) / (2 * metresPerColumn)));
    canvas.Write(column, row, std::string(1, kCharacters[static_cast<int>(point.mark)]));
  }
  return canvas;
}

const char* WorldLegend() {
  return "@ you (X dead)  E enemy  p ped  x dead  o object  W mounted weapon  S spawn point  "
         "* start";
}
