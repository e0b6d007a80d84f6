// The screen-reading helpers: filters over the host's recorded texts.
#include "support/screen_reading.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "spawner/catalogues.h"

namespace holdout_test {

std::vector<std::string> TextsAt(Scenario& s, std::uint32_t frame, float x, float y) {
  std::vector<std::string> texts;
  for (const sim::DrawnText& text : s.host.Screen().TextsInFrame(frame)) {
    if (text.x == x && text.y == y) {
      texts.push_back(text.text);
    }
  }
  return texts;
}

std::string BannerShown(Scenario& s) {
  const std::vector<std::string> banners = BannerTexts(s, s.host.Frame());
  EXPECT_LE(banners.size(), 1u) << "one banner per frame";
  return banners.empty() ? "" : banners.front();
}

int MenuPageShown(Scenario& s) {
  for (const sim::DrawnText& text : s.host.Screen().TextsInFrame(s.host.Frame())) {
    for (std::size_t page = 0; page < kSpawnerMenus.size(); ++page) {
      if (text.text == kSpawnerMenus[page].title) {
        return static_cast<int>(page) + 1;
      }
    }
  }
  return 0;
}

}  // namespace holdout_test
