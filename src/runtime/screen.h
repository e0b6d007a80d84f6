// Screen text and the notification banner. Every text is drawn anew in every frame by its
// owner, each with its complete style issued right before it. The banner is one process-wide
// record that shows its text in the middle of the screen until it expires.
#pragma once

#include <cstdint>
#include <string>

// The single banner record. Created empty (no text, never shown) by the frame loop.
struct Notification {
  std::string text;             // the last text shown; kept after expiry
  std::uint32_t shownAt = 0;    // tick count when the text was shown
  std::uint32_t expiresAt = 0;  // tick count at which the banner stops showing
};

// The banner record; null until the frame loop creates it, then written only by ShowNotification.
extern Notification* notification;

// The text style natives: each applies to the next text drawn only.
void SetTextSize(float x, float y);
void SetTextColor(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t a);
void SetTextCentered(std::int32_t centered);  // 1 centres the text on its x, 0 starts it there
void SetTextEffect(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e);

// Draws `text` at (x, y) with whatever style was set just before.
void DrawScreenText(float x, float y, const char* text);
// Draws `text` at the top-left corner in the HUD style (size 0.3, opaque white, not centred).
void DrawHudText(const char* text);
// Draws a black filled rectangle of the given alpha centred on (x, y).
void DrawRectangle(float x, float y, float width, float height, std::int32_t alpha);

// Shows `text` in the banner for `durationMs` from now, replacing whatever it shows.
void ShowNotification(Notification& record, std::string text, std::uint32_t durationMs);
// Draws the published banner if it has not expired; called once per frame.
void DrawNotification();
