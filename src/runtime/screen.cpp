// Text and rectangle drawing through the game's natives, and the banner. The banner's age is
// measured from when it was shown, so it shows for its whole duration across the tick count's
// 49.7-day wrap, and a record that was never shown never draws.
#include "runtime/screen.h"

#include "runtime/native.h"

Notification* notification = nullptr;

namespace {

constexpr NativeHash kSetTextSize = 0x4170B650590B3B00;
constexpr NativeHash kSetTextColor = 0x50A41AD966910F03;
constexpr NativeHash kSetTextCentered = 0xBE5261939FBECB8C;
constexpr NativeHash kSetTextEffect = 0x1BE39DBAA7263CA5;
constexpr NativeHash kMakeLiteralText = 0xFA925AC00EB830B9;
constexpr NativeHash kDrawTextAt = 0xD79334A4BB99BAD1;
constexpr NativeHash kDrawBox = 0x405224591DF02025;

}  // namespace

void SetTextSize(float x, float y) {
  native::Invoke(kSetTextSize, x, y);
}

void SetTextColor(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t a) {
  native::Invoke(kSetTextColor, r, g, b, a);
}

void SetTextCentered(std::int32_t centered) {
  native::Invoke(kSetTextCentered, centered);
}

void SetTextEffect(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e) {
  native::Invoke(kSetTextEffect, a, b, c, d, e);
}

void DrawScreenText(float x, float y, const char* text) {
  const std::uint64_t handle =
      native::Invoke<std::uint64_t>(kMakeLiteralText, 10, "LITERAL_STRING", text);
  native::Invoke(kDrawTextAt, handle, x, y);
}

void DrawHudText(const char* text) {
  SetTextSize(0.3f, 0.3f);
  SetTextColor(255, 255, 255, 255);
  SetTextCentered(0);
  SetTextEffect(0, 0, 0, 0, 0);
  DrawScreenText(0.0f, 0.0f, text);
}

void DrawRectangle(float x, float y, float width, float height, std::int32_t alpha) {
  native::Invoke(kDrawBox, x, y, width, height, 0, 0, 0, alpha, 0, 0);
}

void ShowNotification(Notification& record, std::string text, std::uint32_t durationMs) {
  record.text = std::move(text);
  record.shownAt = GetTickCount();
  record.expiresAt = record.shownAt + durationMs;
}

void DrawNotification() {
  const Notification& record = *notification;
  const std::uint32_t duration = record.expiresAt - record.shownAt;
  if (GetTickCount() - record.shownAt >= duration) {
    return;
  }
  SetTextSize(0.55f, 0.55f);
  SetTextColor(255, 255, 255, 255);
  SetTextCentered(1);
  SetTextEffect(0, 0, 0, 0, 0);
  DrawScreenText(0.5f, 0.5f, record.text.c_str());
}
