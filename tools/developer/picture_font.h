// The font of the screen pictures: DejaVu Sans from the Debian package fonts-dejavu-core, loaded
// from its fixed path through FreeType, so that every picture has the same glyphs whatever
// fonts a machine has configured. A missing or unreadable file is reported, never replaced by
// some other font.
#pragma once

#include <cairo.h>

#include <string>

// Where the font is read from.
inline constexpr const char* kPictureFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The font as a cairo font face, loaded on first use and kept for the life of the process;
// null when it cannot be loaded, with `problem` saying why and what to install.
cairo_font_face_t* PictureFontFace(std::string& problem);
