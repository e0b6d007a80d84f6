// A character canvas: what the demo prints and the arena draws. Each cell holds a character and
// a shade (plain, or inside a translucent or an opaque box), so a terminal can show boxes in
// reverse video while plain output marks them with fill characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class Shade : std::uint8_t { kPlain, kTranslucent, kOpaque };

struct Cell {
  char ch = ' ';
  Shade shade = Shade::kPlain;
};

class Canvas {
 public:
  Canvas(int width, int height);
  // Writes `text` from (column, row) on; what falls outside is clipped.
  void Write(int column, int row, std::string_view text);
  // Shades the cells of a rectangle, keeping their characters.
  void Shade(int left, int top, int right, int bottom, ::Shade shade);
  const Cell& At(int column, int row) const;
  // The row as plain text: translucent empty cells as '.', opaque ones as '='.
  std::string PlainRow(int row) const;
  // Every row, each with a border, ready to print.
  std::string Framed(std::string_view title) const;

 private:
  int width_;
  int height_;
  std::vector<Cell> cells_;
};
