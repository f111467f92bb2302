#include "game/Hit.h"

#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Platform.h"

uint8_t THit::KindOfType(uint8_t hitType)
{
    if (hitType <= 8)
        return hitType % 3;
    if (hitType <= 17)
        return 3 + hitType % 3;
    return 0;
}

THit::THit(uint8_t hitType, int8_t startFrame, int16_t x, int16_t y, uint8_t slot)
    : Kind(KindOfType(hitType)), Slot(slot), X(x), Y(y), Frame(startFrame)
{
}

bool THit::UpdateAndDraw(TSurface* target)
{
    const int16_t s = HitSize[Kind];
    const int16_t shown = Frame; // the frame drawn is the one before the step
    NowTick = GetTickCount();
    if (NowTick - LastFrameTick > 30) {
        ++Frame;
        LastFrameTick = NowTick;
    }
    if (Frame < 0)
        return true; // not started yet
    if (Frame >= HitFrameCount)
        return false;
    // On the step from -1 to 0 the frame before the step lies left of the
    // sheet: nothing is drawn, as the blitter would refuse it.
    if (shown >= 0 && GameSheets[SheetHit + Kind])
        BlitClipped(GameSheets[SheetHit + Kind], target, Bounds(s * shown, 0, s, s), X, Y);
    return true;
}
