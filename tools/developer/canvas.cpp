// The character canvas.
#include "developer/canvas.h"

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), cells_(static_cast<std::size_t>(width * height)) {}

void Canvas::Write(int column, int row, std::string_view text) {
  if (row < 0 || row >= height_) {
    return;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int x = column + static_cast<int>(i);
    if (x >= 0 && x < width_) {
      cells_[static_cast<std::size_t>(row * width_ + x)].ch = text[i];
    }
  }
}

void Canvas::Shade(int left, int top, int right, int bottom, ::Shade shade) {
  for (int row = top < 0 ? 0 : top; row < bottom && row < height_; ++row) {
    for (int column = left < 0 ? 0 : left; column < right && column < width_; ++column) {
      cells_[static_cast<std::size_t>(row * width_ + column)].shade = shade;
    }
  }
}

const Cell& Canvas::At(int column, int row) const {
  return cells_[static_cast<std::size_t>(row * width_ + column)];
}

std::string Canvas::PlainRow(int row) const {
  std::string text;
  for (int column = 0; column < width_; ++column) {
    const Cell& cell = At(column, row);
    if (cell.ch != ' ' || cell.shade == Shade::kPlain) {
      text += cell.ch;
    } else {
      text += cell.shade == Shade::kOpaque ? '=' : '.';
    }
  }
  return text;
}

std::string Canvas::Framed(std::string_view title) const {
  std::string border = "+" + std::string(static_cast<std::size_t>(width_), '-') + "+\n";
  std::string text = border;
  if (!title.empty()) {
    text.replace(2, title.size() + 2, " " + std::string(title) + " ");
  }
  for (int row = 0; row < height_; ++row) {
    text += "|" + PlainRow(row) + "|\n";
  }
  return text + border;
}
