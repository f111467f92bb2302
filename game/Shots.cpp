#include "game/Shots.h"

#include <cmath>
#include <numbers>

#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Platform.h"

int32_t RoundHalfEven(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

TPulya::TPulya(uint8_t kind, int16_t x, int16_t y, double angle)
    : Kind(kind), Y(y), X(x), Angle(angle), LastFrameTick(GetTickCount())
{
}

int16_t TPulya::RoundX() const { return static_cast<int16_t>(RoundHalfEven(X)); }
int16_t TPulya::RoundY() const { return static_cast<int16_t>(RoundHalfEven(Y)); }

void TPulya::UpdateAndDraw(TSurface* target, bool isPlayer)
{
    // Kinds outside the table cannot be fired; such a shot neither draws nor moves.
    if (Kind >= ShotKindCount)
        return;
    const uint32_t now = GetTickCount();
    if (ShotFrames[Kind] > 1 && now - LastFrameTick > 200) {
        ++Frame;
        LastFrameTick = now;
    }
    if (Frame >= ShotFrames[Kind])
        Frame = 0;

    const int32_t w = ShotSize[Kind].W, h = ShotSize[Kind].H;
    // The player's gun shoots the same art turned upside down (kinds 0..8 exist so).
    TSurface* sheet = (isPlayer && Kind < FlippedShotSheetCount) ? FlippedShotSheets[Kind] : GameSheets[SheetShot + Kind];
    if (sheet)
        BlitClipped(sheet, target, Bounds(w * Frame, 0, w, h), RoundX(), RoundY());

    const double speed = ShotSpeed[Kind];
    X = static_cast<float>(X + std::cos(Angle + std::numbers::pi / 2) * speed);
    Y = static_cast<float>(Y + std::sin(Angle + std::numbers::pi / 2) * speed);
}
