// The screen picture, drawn with cairo. Screen coordinates are normalised (0..1 across and
// down); a text's y is the top of its first line, a centred text centres each line on its x,
// and a box is given by its centre. The game draws texts above rectangles, so boxes go first.
#include "developer/screen_picture.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

#include "developer/picture_font.h"
#include "developer/views.h"

namespace {

// A text of size 1.0 is this many screen heights tall (the font's size in pixels). With it a
// menu caption, whose size is eight times its row's height, fills about half of its row, and
// the longest caption fits the row's width.
constexpr double kTextHeightPerSize = 0.065;
constexpr double kMapGridMetres = 10.0;
constexpr double kMapDimming = 0.45;  // the alpha of the black laid over the map

struct Colour {
  double r;
  double g;
  double b;
};

constexpr Colour kGround{0.35, 0.40, 0.27};
constexpr Colour kGridLine{0.42, 0.47, 0.33};

enum class Shape { kDot, kSquare, kRing, kOpenSquare, kCross };

struct MarkStyle {
  Shape shape;
  double size;  // pixels across
  Colour colour;
};

// One style for each MapMark, in the order they are declared.
constexpr MarkStyle kMarkStyles[] = {
    {Shape::kRing, 28.0, {1.00, 0.85, 0.30}},        // start
    {Shape::kOpenSquare, 20.0, {1.00, 0.45, 0.20}},  // spawn point
    {Shape::kSquare, 12.0, {0.85, 0.62, 0.32}},      // object
    {Shape::kSquare, 16.0, {0.75, 0.80, 0.85}},      // mounted weapon
    {Shape::kDot, 10.0, {0.80, 0.80, 0.90}},         // ped
    {Shape::kDot, 12.0, {0.95, 0.20, 0.15}},         // enemy
    {Shape::kCross, 10.0, {0.20, 0.20, 0.20}},       // dead ped
    {Shape::kDot, 15.0, {0.30, 0.85, 1.00}},         // player
    {Shape::kCross, 15.0, {0.30, 0.85, 1.00}},       // fallen player
};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void DrawMark(cairo_t* cr, double x, double y, const MarkStyle& style) {
  const double half = style.size / 2;
  cairo_set_source_rgb(cr, style.colour.r, style.colour.g, style.colour.b);
  cairo_set_line_width(cr, 2.0);
  switch (style.shape) {
    case Shape::kDot:
      cairo_arc(cr, x, y, half, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      break;
    case Shape::kSquare:
      cairo_rectangle(cr, x - half, y - half, style.size, style.size);
      cairo_fill(cr);
      break;
    case Shape::kRing:
      cairo_arc(cr, x, y, half, 0, 2 * std::numbers::pi);
      cairo_stroke(cr);
      break;
    case Shape::kOpenSquare:
      cairo_rectangle(cr, x - half, y - half, style.size, style.size);
      cairo_stroke(cr);
      break;
    case Shape::kCross:
      cairo_move_to(cr, x - half, y - half);
      cairo_line_to(cr, x + half, y + half);
      cairo_move_to(cr, x - half, y + half);
      cairo_line_to(cr, x + half, y - half);
      cairo_stroke(cr);
      break;
  }
}

// The ground with a grid fixed to the world, the marked points, then the dimming.
void DrawMap(cairo_t* cr, const sim::World& world) {
  const double scale = kPictureMapPixelsPerMetre;
  const sim::Vec3& centre = world.player.position;
  const auto column = [&](double x) { return kPictureWidth / 2.0 + (x - centre.x) * scale; };
  const auto row = [&](double y) { return kPictureHeight / 2.0 - (y - centre.y) * scale; };

  cairo_set_source_rgb(cr, kGround.r, kGround.g, kGround.b);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, kGridLine.r, kGridLine.g, kGridLine.b);
  cairo_set_line_width(cr, 1.0);
  const double halfWidthMetres = kPictureWidth / 2.0 / scale;
  const double halfHeightMetres = kPictureHeight / 2.0 / scale;
  for (double x = std::ceil((centre.x - halfWidthMetres) / kMapGridMetres) * kMapGridMetres;
       x <= centre.x + halfWidthMetres; x += kMapGridMetres) {
    cairo_move_to(cr, std::round(column(x)) + 0.5, 0);
    cairo_line_to(cr, std::round(column(x)) + 0.5, kPictureHeight);
  }
  for (double y = std::ceil((centre.y - halfHeightMetres) / kMapGridMetres) * kMapGridMetres;
       y <= centre.y + halfHeightMetres; y += kMapGridMetres) {
    cairo_move_to(cr, 0, std::round(row(y)) + 0.5);
    cairo_line_to(cr, kPictureWidth, std::round(row(y)) + 0.5);
  }
  cairo_stroke(cr);

  for (const MapPoint& point : MapPoints(world)) {
    DrawMark(cr, column(point.x), row(point.y), kMarkStyles[static_cast<int>(point.mark)]);
  }
  cairo_set_source_rgba(cr, 0, 0, 0, kMapDimming);
  cairo_paint(cr);
}

void DrawBoxes(cairo_t* cr, const std::vector<sim::DrawnBox>& boxes) {
  for (const sim::DrawnBox& box : boxes) {
    cairo_set_source_rgba(cr, box.color[0] / 255.0, box.color[1] / 255.0, box.color[2] / 255.0,
                          box.color[3] / 255.0);
    cairo_rectangle(cr, (box.x - box.width / 2) * kPictureWidth,
                    (box.y - box.height / 2) * kPictureHeight, box.width * kPictureWidth,
                    box.height * kPictureHeight);
    cairo_fill(cr);
  }
}

// Each line of each text in its size and colour. The second size value is the text's size; the
// first, which the menus pass as 0, is not used. A text without a size shows nothing.
void DrawTexts(cairo_t* cr, const std::vector<sim::DrawnText>& texts) {
  for (const sim::DrawnText& text : texts) {
    const double pixels = text.style.sizeY * kTextHeightPerSize * kPictureHeight;
    if (!(pixels > 0.0) || !std::isfinite(pixels)) {
      continue;
    }
    cairo_set_font_size(cr, pixels);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    const std::array<int, 4>& c = text.style.color;
    cairo_set_source_rgba(cr, c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, c[3] / 255.0);
    double top = text.y * kPictureHeight;
    std::size_t start = 0;
    while (start <= text.text.size()) {
      const std::size_t end = std::min(text.text.find('\n', start), text.text.size());
      const std::string line = text.text.substr(start, end - start);
      cairo_text_extents_t extents;
      cairo_text_extents(cr, line.c_str(), &extents);
      double left = text.x * kPictureWidth;
      if (text.style.centered != 0) {
        left -= extents.x_advance / 2;
      }
      cairo_move_to(cr, left, top + font.ascent);
      cairo_show_text(cr, line.c_str());
      top += font.height;
      start = end + 1;
    }
  }
}

cairo_status_t WriteToFile(void* file, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<std::FILE*>(file)) == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

std::string WriteScreenPicture(const std::filesystem::path& path,
                               const std::vector<sim::DrawnText>& texts,
                               const std::vector<sim::DrawnBox>& boxes, const sim::World& world) {
  std::string problem;
  cairo_font_face_t* face = PictureFontFace(problem);
  if (face == nullptr) {
    return problem;
  }
  const Surface surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureWidth, kPictureHeight),
      &cairo_surface_destroy);
  const Context cr(cairo_create(surface.get()), &cairo_destroy);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr.get(), options);
  cairo_font_options_destroy(options);
  cairo_set_font_face(cr.get(), face);

  DrawMap(cr.get(), world);
  DrawBoxes(cr.get(), boxes);
  DrawTexts(cr.get(), texts);
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
    return std::string("cannot draw the picture: ") +
           cairo_status_to_string(cairo_status(cr.get()));
  }

  // "x": the file is created here or not at all; an existing one is left as it is.
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) {
    return "cannot create " + path.string() + ": " + std::strerror(errno);
  }
  const cairo_status_t written =
      cairo_surface_write_to_png_stream(surface.get(), &WriteToFile, file);
  const bool closed = std::fclose(file) == 0;
  if (written != CAIRO_STATUS_SUCCESS || !closed) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return "cannot write " + path.string();
  }
  return "";
}
