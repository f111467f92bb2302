// The few ways pixels and text reach the back buffer: the clipped sprite blit,
// the life-bar rectangle, the mouse hit test and the "Crystal" texts.
#include "graphics/Draw.h"

#include <algorithm>

namespace {

// Clipped sprites stop two rows short of the bottom of the screen.
constexpr int32_t ClipRight = 800;
constexpr int32_t ClipBottom = 598;

constexpr int32_t TextWeight = 800; // extra bold

TFontSpec TextFont(int32_t height, int32_t width) { return TFontSpec{"Crystal", height, width, TextWeight}; }

void Write(TSurface* target, int32_t x, int32_t y, const std::string& text, const TFontSpec& font,
           uint32_t color, uint32_t align)
{
    if (target && Platform.Text)
        Platform.Text->DrawText(*target, x, y, text, font, color, align);
}

} // namespace

HRESULT BlitClipped(TSurface* sheet, TSurface* target, TRect src, int32_t x, int32_t y)
{
    if (!sheet || !target)
        return DDERR_INVALIDPARAMS;
    // Positions are 16-bit on screen: 70000 is 4464.
    int32_t dx = int16_t(x), dy = int16_t(y);
    // Right and bottom are cut with the rectangle as given, before the left
    // and top cuts move it.
    if (dx + src.Width() > ClipRight)
        src.Right = src.Left + ClipRight - dx;
    if (dy + src.Height() > ClipBottom)
        src.Bottom = src.Top + ClipBottom - dy;
    if (dx < 0) {
        src.Left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        src.Top -= dy;
        dy = 0;
    }
    // A sprite wholly outside leaves an empty or inverted rectangle, which the
    // surface refuses: nothing is drawn.
    return target->BltFast(dx, dy, sheet, &src, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DONOTWAIT);
}

void FillRoundRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color, TSurface* target)
{
    if (!target || width <= 0 || height <= 0)
        return;
    // Outline and inside share the colour, so the life bar is a plain box,
    // cut to the surface like any drawing on it.
    TRect r{std::max(x, 0), std::max(y, 0),
            int32_t(std::min<int64_t>(int64_t(x) + width, target->Width())),
            int32_t(std::min<int64_t>(int64_t(y) + height, target->Height()))};
    if (r.Left >= r.Right || r.Top >= r.Bottom)
        return;
    target->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, color & 0x00FFFFFF);
}

bool PointInRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t px, int32_t py)
{
    return left < px && px < right && top < py && py < bottom;
}

void PrepareText(int32_t height, int32_t width, const std::string& chars)
{
    if (Platform.Text)
        Platform.Text->Prepare(TextFont(height, width), chars);
}

void DrawTextShadowed(TSurface* target, int32_t x, int32_t y, const std::string& text, int32_t height,
                      int32_t width, uint32_t color)
{
    const TFontSpec font = TextFont(height, width);
    const uint32_t shadow = color == ColorBrightGreen ? ColorLightGreen : ColorMidGreen;
    Write(target, x + 1, y + 1, text, font, shadow, TA_LEFT | TA_TOP);
    Write(target, x, y, text, font, color, TA_LEFT | TA_TOP);
}

void DrawTextAligned(TSurface* target, int32_t x, int32_t y, const std::string& text, int32_t height,
                     int32_t width, uint32_t color, uint32_t alignment, bool shadow)
{
    const TFontSpec font = TextFont(height, width);
    // The optional shadow is always light green, whatever the text's colour.
    if (shadow)
        Write(target, x + 1, y + 1, text, font, ColorLightGreen, alignment);
    Write(target, x, y, text, font, color, alignment);
}

void DrawText(TSurface* target, int32_t x, int32_t y, const std::string& text, int32_t height, int32_t width,
              uint32_t color, bool shadow)
{
    DrawTextAligned(target, x, y, text, height, width, color, TA_LEFT | TA_TOP, shadow);
}
