// Screen pictures of the real plug-in's frames, read back from their PNG files and compared
// with a picture of the same world without the plug-in's screen: the menu's rectangles darken
// the map by their alpha and nothing beside them, the HUD is light text in the top-left corner,
// the banner is centred, and wherever the plug-in drew nothing the picture is the map alone.
// The demo writes a picture of each moment and never into a directory that holds files.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "developer/demo.h"
#include "developer/screen_picture.h"
#include "runtime/frame_steps.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"
#include "survival_steps.h"

namespace {

using holdout_test::Scenario;

struct Rgb {
  int r;
  int g;
  int b;
};

// A pixel area, left and top included, right and bottom not.
struct Area {
  int left;
  int top;
  int right;
  int bottom;
  bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// A PNG read back with cairo.
class Picture {
 public:
  explicit Picture(const std::filesystem::path& path)
      : surface_(cairo_image_surface_create_from_png(path.c_str())) {
    EXPECT_EQ(cairo_surface_status(surface_), CAIRO_STATUS_SUCCESS) << path;
  }
  ~Picture() { cairo_surface_destroy(surface_); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int Width() const { return cairo_image_surface_get_width(surface_); }
  int Height() const { return cairo_image_surface_get_height(surface_); }
  Rgb At(int x, int y) const {
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, row + 4 * x, sizeof pixel);
    return Rgb{static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF),
               static_cast<int>(pixel & 0xFF)};
  }
  // The highest channel value of any pixel.
  int Brightest() const {
    int brightest = 0;
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x) {
        const Rgb p = At(x, y);
        brightest = std::max({brightest, p.r, p.g, p.b});
      }
    }
    return brightest;
  }
  // The smallest area holding every light pixel (all channels above 200) of `within`.
  Area LightPixels(const Area& within) const {
    Area bounds{within.right, within.bottom, within.left, within.top};
    for (int y = within.top; y < within.bottom; ++y) {
      for (int x = within.left; x < within.right; ++x) {
        const Rgb p = At(x, y);
        if (std::min({p.r, p.g, p.b}) > 200) {
          bounds = {std::min(bounds.left, x), std::min(bounds.top, y),
                    std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1)};
        }
      }
    }
    return bounds;
  }

 private:
  cairo_surface_t* surface_;
};

const Area kWholePicture{0, 0, kPictureWidth, kPictureHeight};

// The pictures of this frame with and without the plug-in's screen, written and read back.
struct FramePictures {
  explicit FramePictures(Scenario& s) : screen(Write(s, true)), map(Write(s, false)) {}

  static std::filesystem::path Write(Scenario& s, bool withScreen) {
    const std::uint32_t frame = s.host.Frame();
    const std::filesystem::path path =
        s.Directory() / (std::to_string(frame) + (withScreen ? "-screen.png" : "-map.png"));
    const std::string problem = WriteScreenPicture(
        path, withScreen ? s.host.Screen().TextsInFrame(frame) : std::vector<sim::DrawnText>{},
        withScreen ? s.host.Screen().BoxesInFrame(frame) : std::vector<sim::DrawnBox>{},
        s.host.GetWorld());
    EXPECT_EQ(problem, "");
    return path;
  }

  // Outside `drawn` the picture is the map, pixel for pixel.
  void ExpectMapOnlyOutside(const Area& drawn) const {
    int differing = 0;
    for (int y = 0; y < kPictureHeight; ++y) {
      for (int x = 0; x < kPictureWidth; ++x) {
        const Rgb a = screen.At(x, y);
        const Rgb b = map.At(x, y);
        differing += !drawn.Holds(x, y) && (a.r != b.r || a.g != b.g || a.b != b.b);
      }
    }
    EXPECT_EQ(differing, 0) << "pixels drawn outside the plug-in's texts and rectangles";
  }

  Picture screen;
  Picture map;
};

int Pixel(double normalised, int size) {
  return static_cast<int>(normalised * size);
}

SCENARIO_TEST(ScreenPicture, MenuRowsDarkenTheMapByTheirAlphaAndNothingElse) {
  Scenario s;
  s.Start();
  spawner_test::TapMenuKey(s, 2);
  const FramePictures pictures(s);

  // The rows' right ends, past every caption: the title opaque, the six rows at alpha 150.
  const int rowEnd = Pixel(0.219, kPictureWidth);
  const int titleMiddle = Pixel(0.08, kPictureHeight);
  const Rgb title = pictures.screen.At(rowEnd, titleMiddle);
  EXPECT_EQ(title.r + title.g + title.b, 0);
  for (int row = 0; row < 6; ++row) {
    const int middle = Pixel(0.11 + 0.04875 * row + 0.025, kPictureHeight);
    const Rgb under = pictures.map.At(rowEnd, middle);
    const Rgb shaded = pictures.screen.At(rowEnd, middle);
    EXPECT_NEAR(shaded.g, under.g * (255 - 150) / 255.0, 1.0) << "row " << row + 1;
  }
  const Area titleText =
      pictures.screen.LightPixels({0, titleMiddle - 20, Pixel(0.22, kPictureWidth), titleMiddle});
  EXPECT_LT(titleText.left, 20) << "the title's opaque white caption near the row's left";

  const Area menu{0, Pixel(0.05, kPictureHeight), Pixel(0.22, kPictureWidth) + 1,
                  Pixel(0.11 + 0.04875 * 5 + 0.05, kPictureHeight) + 1};
  pictures.ExpectMapOnlyOutside(menu);
}

SCENARIO_TEST(ScreenPicture, TheHudIsLightTextInTheTopLeftCorner) {
  Scenario s;
  s.Start();
  survival_test::StartRunAtStart(s);
  s.RunFrames(20);
  const FramePictures pictures(s);

  const Area corner{0, 0, 200, 50};
  const Area text = pictures.screen.LightPixels(corner);
  EXPECT_LT(text.left, 4);
  EXPECT_LT(text.top, 8);
  EXPECT_GT(text.right, 60) << "\"Time survived: 0:00\" runs across the corner";
  EXPECT_GT(text.bottom, 25) << "two lines";
  EXPECT_LE(pictures.map.Brightest(), 141) << "the map, its marks too, dimmed to 55 %";
  pictures.ExpectMapOnlyOutside(corner);
}

SCENARIO_TEST(ScreenPicture, TheBannerIsCentredOnTheMiddleOfTheScreen) {
  Scenario s;
  s.WriteIni("[Main]\nDebug=1\n");
  s.Start();
  s.host.TapKey(kPositionCaptureKey);  // F2: "Position saved!"
  s.RunFrames(2);
  const FramePictures pictures(s);

  const Area text = pictures.screen.LightPixels(kWholePicture);
  EXPECT_NEAR((text.left + text.right) / 2.0, kPictureWidth / 2.0, 3.0);
  EXPECT_GT(text.right - text.left, 150);
  EXPECT_GE(text.top, kPictureHeight / 2);
  EXPECT_LT(text.top, kPictureHeight / 2 + 15) << "the text's top at the middle";
  pictures.ExpectMapOnlyOutside(
      {text.left - 2, kPictureHeight / 2, text.right + 2, kPictureHeight / 2 + 50});
}

SCENARIO_TEST(ScreenPicture, TheDemoWritesEveryMomentIntoANewOrEmptyDirectoryOnly) {
  Scenario s;
  std::freopen("/dev/null", "w", stdout);
  const std::filesystem::path pictures = s.Directory() / "pictures";
  std::string directory = pictures.string();
  char option[] = "--pictures";
  char* argv[] = {option, directory.data()};
  ASSERT_EQ(RunDemo(2, argv), 0);
  for (const char* name : {"hud.png", "cover-menu.png", "summary.png"}) {
    const Picture picture(pictures / name);
    EXPECT_EQ(picture.Width(), 1280) << name;
    EXPECT_EQ(picture.Height(), 720) << name;
  }
  const Rgb coverTitle = Picture(pictures / "cover-menu.png").At(280, 57);
  EXPECT_EQ(coverTitle.r + coverTitle.g + coverTitle.b, 0) << "the COVER menu's opaque title";

  const auto written = std::filesystem::last_write_time(pictures / "hud.png");
  EXPECT_EQ(RunDemo(2, argv), 3) << "a directory that holds files";
  EXPECT_EQ(std::filesystem::last_write_time(pictures / "hud.png"), written);

  const std::filesystem::path file = s.Directory() / "notes.txt";
  std::ofstream(file) << "mine";
  directory = file.string();
  argv[1] = directory.data();
  EXPECT_EQ(RunDemo(2, argv), 3) << "a file in the directory's place";
  std::ifstream notes(file);
  std::string kept;
  notes >> kept;
  EXPECT_EQ(kept, "mine");
}

}  // namespace
