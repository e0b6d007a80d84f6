// The screen recorder: the game's text and box drawing, remembered instead of rendered.
#include "core/screen_recorder.h"

namespace sim {

void ScreenRecorder::BeginFrame(std::uint32_t frame) {
  frame_ = frame;
  preparedCount_ = 0;
}

void ScreenRecorder::SetTextSize(float x, float y) {
  pending_.sizeSet = true;
  pending_.sizeX = x;
  pending_.sizeY = y;
}

void ScreenRecorder::SetTextColor(int r, int g, int b, int a) {
  pending_.colorSet = true;
  pending_.color = {r, g, b, a};
}

void ScreenRecorder::SetTextCentered(int centered) {
  pending_.centeredSet = true;
  pending_.centered = centered;
}

void ScreenRecorder::SetTextEffect(const std::array<int, 5>& effect) {
  pending_.effectSet = true;
  pending_.effect = effect;
}

std::uint64_t ScreenRecorder::MakeLiteralText(const char* text) {
  if (preparedCount_ == prepared_.size()) {
    prepared_.emplace_back();
  }
  prepared_[preparedCount_].assign(text ? text : "");
  return ++preparedCount_;
}

bool ScreenRecorder::DrawTextAt(std::uint64_t handle, float x, float y) {
  if (handle == 0 || handle > preparedCount_) {
    return false;
  }
  if (keeping_) {
    texts_.push_back(DrawnText{frame_, prepared_[handle - 1], x, y, pending_});
  }
  pending_ = TextStyle{};
  return true;
}

void ScreenRecorder::DrawBox(float x, float y, float width, float height,
                             const std::array<int, 4>& color) {
  if (keeping_) {
    boxes_.push_back(DrawnBox{frame_, x, y, width, height, color});
  }
}

std::vector<DrawnText> ScreenRecorder::TextsInFrame(std::uint32_t frame) const {
  std::vector<DrawnText> matching;
  for (const DrawnText& text : texts_) {
    if (text.frame == frame) {
      matching.push_back(text);
    }
  }
  return matching;
}

std::vector<DrawnBox> ScreenRecorder::BoxesInFrame(std::uint32_t frame) const {
  std::vector<DrawnBox> matching;
  for (const DrawnBox& box : boxes_) {
    if (box.frame == frame) {
      matching.push_back(box);
    }
  }
  return matching;
}

void ScreenRecorder::Clear() {
  texts_.clear();
  boxes_.clear();
}

}  // namespace sim
