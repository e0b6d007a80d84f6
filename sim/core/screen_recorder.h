// What the plug-in put on screen, frame by frame: every text with the style in force when it was
// drawn and its position, and every box. A style call applies to the next text only, as in the
// game, so a text drawn without its own style calls shows up with an incomplete style.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TextStyle {
  bool sizeSet = false;
  float sizeX = 0.0f;
  float sizeY = 0.0f;
  bool colorSet = false;
  std::array<int, 4> color{};  // r, g, b, a
  bool centeredSet = false;
  int centered = 0;
  bool effectSet = false;
  std::array<int, 5> effect{};

  // All four style calls were made for this text.
  bool Complete() const { return sizeSet && colorSet && centeredSet && effectSet; }
};

struct DrawnText {
  std::uint32_t frame;
  std::string text;
  float x;
  float y;
  TextStyle style;
};

struct DrawnBox {
  std::uint32_t frame;
  float x;  // centre
  float y;  // centre
  float width;
  float height;
  std::array<int, 4> color;  // r, g, b, a
};

class ScreenRecorder {
 public:
  // Starts a new frame: texts prepared in earlier frames can no longer be drawn.
  void BeginFrame(std::uint32_t frame);

  void SetTextSize(float x, float y);
  void SetTextColor(int r, int g, int b, int a);
  void SetTextCentered(int centered);
  void SetTextEffect(const std::array<int, 5>& effect);
  // Prepares `text` for drawing in this frame; returns its handle (never 0).
  std::uint64_t MakeLiteralText(const char* text);
  // Draws a prepared text with the pending style; false when the handle is unknown.
  bool DrawTextAt(std::uint64_t handle, float x, float y);
  void DrawBox(float x, float y, float width, float height, const std::array<int, 4>& color);

  std::vector<DrawnText> TextsInFrame(std::uint32_t frame) const;
  std::vector<DrawnBox> BoxesInFrame(std::uint32_t frame) const;
  const std::vector<DrawnText>& Texts() const { return texts_; }
  // Forgets the history (not the pending style or this frame's prepared texts).
  void Clear();
  // With keeping off, drawing is checked as before but nothing joins the history, so a frame
  // costs the recorder no allocation (for measuring the plug-in's own).
  void SetKeeping(bool keeping) { keeping_ = keeping; }

 private:
  std::uint32_t frame_ = 0;
  TextStyle pending_;
  // This frame's prepared texts are the first preparedCount_ entries; the strings are reused
  // from frame to frame.
  std::vector<std::string> prepared_;
  std::size_t preparedCount_ = 0;
  bool keeping_ = true;
  std::vector<DrawnText> texts_;
  std::vector<DrawnBox> boxes_;
};

}  // namespace sim
