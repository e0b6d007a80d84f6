// A picture of the screen as the game would show it: the texts and rectangles the plug-in drew
// in one frame, laid out at 1280x720 over a dimmed top-down map of the world, written as a PNG.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/screen_recorder.h"
#include "game/world.h"

inline constexpr int kPictureWidth = 1280;
inline constexpr int kPictureHeight = 720;
// The map's scale: pixels per metre of the world, north up, the player in the middle.
inline constexpr double kPictureMapPixelsPerMetre = 6.0;

// Draws the frame's boxes, then its texts, over the map of `world` and writes the PNG to
// `path`, which must not exist yet (nothing is overwritten). Returns an empty text when the
// picture is written, otherwise why it is not.
std::string WriteScreenPicture(const std::filesystem::path& path,
                               const std::vector<sim::DrawnText>& texts,
                               const std::vector<sim::DrawnBox>& boxes, const sim::World& world);
