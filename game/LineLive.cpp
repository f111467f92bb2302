#include "game/LineLive.h"

#include "game/Shots.h"
#include "graphics/Draw.h"

TLineLive::TLineLive(const int16_t& x, const int16_t& y, const int32_t& hitPoints, int16_t width,
                     int32_t startHitPoints)
    : XRef(&x), YRef(&y), HitPointsRef(&hitPoints),
      Scale(startHitPoints != 0 ? static_cast<float>(width) / static_cast<float>(startHitPoints) : 0.0f)
{
}

int32_t TLineLive::BarWidth() const
{
    return RoundHalfEven(static_cast<double>(*HitPointsRef) * static_cast<double>(Scale));
}

void TLineLive::Draw(TSurface* target)
{
    FillRoundRect(*XRef + 2, *YRef - 10, BarWidth(), 3, ColorDarkGreen, target);
    // A bar stays for 101 draws from when it was first shown; further hits do
    // not extend it.
    ++ShowCounter;
    if (ShowCounter > 100) {
        ShowCounter = 0;
        Visible = false;
    }
}
