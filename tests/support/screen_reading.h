// Reading the plug-in's screen as the simulated host recorded it, as the tests need it: the
// texts at one place in a frame (the HUD's corner, the banner's middle), the banner of the last
// frame, and which spawner menu it showed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/scenario.h"

namespace holdout_test {

// The texts drawn at exactly (x, y) in `frame`, in drawing order.
std::vector<std::string> TextsAt(Scenario& s, std::uint32_t frame, float x, float y);
// The texts drawn at the top-left corner in `frame`: the run HUD's place.
inline std::vector<std::string> CornerTexts(Scenario& s, std::uint32_t frame) {
  return TextsAt(s, frame, 0.0f, 0.0f);
}
// The texts drawn in the middle of the screen in `frame`: the banner's place.
inline std::vector<std::string> BannerTexts(Scenario& s, std::uint32_t frame) {
  return TextsAt(s, frame, 0.5f, 0.5f);
}
// The banner drawn in the last frame, or "" when none was; more than one fails the test.
std::string BannerShown(Scenario& s);
// The spawner menu drawn in the last frame: 1, 2, ... in the menus' order, 0 when none is shown.
int MenuPageShown(Scenario& s);

}  // namespace holdout_test
