// The two pictures the tools show: the plug-in's screen as it drew it in one frame, and a
// top-down map of the simulated world around the player.
#pragma once

#include <vector>

#include "canvas.h"
#include "core/screen_recorder.h"
#include "game/world.h"

// Lays the frame's texts and boxes out on a canvas of the given size: positions are normalised
// screen coordinates, centred texts are centred on their x, a line break starts the next row.
Canvas RenderScreen(const std::vector<sim::DrawnText>& texts,
                    const std::vector<sim::DrawnBox>& boxes, int width, int height);

// A map centred on the player, `metresPerColumn` wide per cell (rows twice as tall): '@' the
// player ('X' once dead), 'E' an attacker, 'p' another ped, 'x' a dead ped, 'o' an object, 'W' a
// mounted weapon, 'S' a spawn point and '*' the starting position of the plug-in's settings.
Canvas RenderWorld(const sim::World& world, float metresPerColumn, int width, int height);

// The legend of RenderWorld's characters, one line.
const char* WorldLegend();
