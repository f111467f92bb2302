// Drawing primitives and text on the game's surfaces.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// Colours (0x00RRGGBB).
constexpr uint32_t ColorBrightGreen = 0x0000FF00; // 0, 255, 0
constexpr uint32_t ColorDarkGreen = 0x00228822;   // 34, 136, 34
constexpr uint32_t ColorLightGreen = 0x0078FF78;  // 120, 255, 120
constexpr uint32_t ColorMidGreen = 0x0030BB30;    // 48, 187, 48
constexpr uint32_t ColorRed = 0x00FF0000;         // 255, 0, 0

// The sprite's source rectangle drawn at (x, y), clipped to x 0..799, y 0..597,
// colour-keyed, not waiting. x and y are taken as signed 16-bit values.
HRESULT BlitClipped(TSurface* sheet, TSurface* target, TRect src, int32_t x, int32_t y);
void FillRoundRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color, TSurface* target);
// Strictly inside: left < px < right and top < py < bottom.
bool PointInRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t px, int32_t py);
inline bool PointInRect(const TRect& r, int32_t px, int32_t py)
{
    return PointInRect(r.Left, r.Top, r.Right, r.Bottom, px, py);
}

// Gets the game's text font of this size ready before it is first drawn in
// a frame (see ITextRenderer::Prepare).
void PrepareText(int32_t height, int32_t width, const std::string& chars);
void DrawTextShadowed(TSurface* target, int32_t x, int32_t y, const std::string& text, int32_t height,
                      int32_t width, uint32_t color);
void DrawTextAligned(TSurface* target, int32_t x, int32_t y, const std::string& text, int32_t height,
                     int32_t width, uint32_t color, uint32_t alignment, bool shadow);
void DrawText(TSurface* target, int32_t x, int32_t y, const std::string& text, int32_t height,
              int32_t width, uint32_t color, bool shadow);
