// The two pictures the tools show in characters: the plug-in's screen as it drew it in one
// frame, and a top-down map of the simulated world around the player. The points a map marks
// are listed once here, for these maps and for the screen pictures' map alike.
#pragma once

#include <vector>

#include "core/screen_recorder.h"
#include "developer/canvas.h"
#include "game/world.h"

// Lays the frame's texts and boxes out on a canvas of the given size: positions are normalised
// screen coordinates, centred texts are centred on their x, a line break starts the next row.
Canvas RenderScreen(const std::vector<sim::DrawnText>& texts,
                    const std::vector<sim::DrawnBox>& boxes, int width, int height);

// What a map of the world marks at a point.
enum class MapMark {
  kStart,          // the starting position of the plug-in's settings
  kSpawnPoint,     // one of the settings' two enemy spawn points
  kObject,         // a static object
  kMountedWeapon,  // a mounted weapon
  kPed,            // a living ped that attacks nobody
  kEnemy,          // a living ped ordered to attack
  kDeadPed,        // a dead ped
  kPlayer,         // the living player
  kDeadPlayer,     // the fallen player
};

// One marked point of the world, in world metres (x east, y north).
struct MapPoint {
  float x;
  float y;
  MapMark mark;
};

// Everything a map of the world shows, in drawing order: a later point covers an earlier one,
// and the player comes last.
std::vector<MapPoint> MapPoints(const sim::World& world);

// A map centred on the player, `metresPerColumn` wide per cell (rows twice as tall): '@' the
// player ('X' once dead), 'E' an attacker, 'p' another ped, 'x' a dead ped, 'o' an object, 'W' a
// mounted weapon, 'S' a spawn point and '*' the starting position of the plug-in's settings.
Canvas RenderWorld(const sim::World& world, float metresPerColumn, int width, int height);

// The legend of RenderWorld's characters, one line.
const char* WorldLegend();
