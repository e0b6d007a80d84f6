// The screen pictures' font, loaded once. The FreeType face stays open as long as the process
// runs, because the cairo face built on it may be kept in cairo's own caches until then.
#include "developer/picture_font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

struct LoadedFont {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  cairo_font_face_t* cairoFace = nullptr;
  std::string problem;
};

LoadedFont Load() {
  LoadedFont font;
  const std::string missing = std::string("cannot read the font ") + kPictureFontPath +
                              " (Debian package fonts-dejavu-core)";
  if (FT_Init_FreeType(&font.library) != 0) {
    font.problem = "cannot start FreeType to read the font";
    return font;
  }
  if (FT_New_Face(font.library, kPictureFontPath, 0, &font.face) != 0) {
    font.problem = missing;
    return font;
  }
  font.cairoFace = cairo_ft_font_face_create_for_ft_face(font.face, 0);
  if (cairo_font_face_status(font.cairoFace) != CAIRO_STATUS_SUCCESS) {
    font.problem = missing + ": cairo cannot use it";
    font.cairoFace = nullptr;
  }
  return font;
}

}  // namespace

cairo_font_face_t* PictureFontFace(std::string& problem) {
  static const LoadedFont kFont = Load();
  problem = kFont.problem;
  return kFont.cairoFace;
}
