#include "game/RunBackground.h"

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Platform.h"

namespace {

// Rounds towards minus infinity, for negative shifts too.
int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

TRunBackground::TRunBackground(TGame* game, uint16_t tileWidth, uint16_t tileHeight, uint8_t sheet,
                               uint16_t stepInterval)
    : Game(game), TileWidth(tileWidth), TileHeight(tileHeight), StepInterval(stepInterval), Sheet(sheet)
{
    if (sheet == 0) {
        TileWidth = 400, TileHeight = 300;
    } else if (sheet == 1) {
        TileWidth = 800, TileHeight = 200;
    } else if (sheet == 2) {
        TileWidth = 512, TileHeight = 486;
    } else if (sheet >= 3 && sheet <= 7) {
        TileWidth = 300, TileHeight = 200;
    }
    // A zero-sized tile would tile nothing; it must not divide by zero.
    Columns = static_cast<uint8_t>(TileWidth ? 800 / TileWidth : 0);
    Rows = static_cast<uint8_t>(TileHeight ? 600 / TileHeight : 0);
}

void TRunBackground::ScrollAndDraw(TSurface* target)
{
    TSurface* sheet = Sheet < GameSheetCount ? GameSheets[Sheet] : nullptr;
    if (sheet && TileWidth && TileHeight) {
        // Every tile that shows, from the one holding the top-left pixel to
        // the one holding the bottom-right: the ship moves the layer sideways
        // without limit, and the layer still covers the whole 800 x 600 area
        // however far it was pushed (a fixed one tile beyond each edge left a
        // bare band once the shift passed a tile's width).
        const TRect tile = Bounds(0, 0, TileWidth, TileHeight);
        const int firstColumn = FloorDiv(-OffsetX, TileWidth), lastColumn = FloorDiv(799 - OffsetX, TileWidth);
        const int firstRow = FloorDiv(-OffsetY, TileHeight), lastRow = FloorDiv(599 - OffsetY, TileHeight);
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstColumn; c <= lastColumn; ++c) {
                const int x = c * TileWidth + OffsetX, y = r * TileHeight + OffsetY;
                BlitClipped(sheet, target, tile, static_cast<int16_t>(x), static_cast<int16_t>(y));
            }
    }
    NowTick = GetTickCount();
    if (NowTick - LastStep > StepInterval) {
        OffsetY = static_cast<int16_t>(OffsetY + 1);
        ++Game->Distance;
        if (OffsetY >= TileHeight)
            OffsetY = 0;
        LastStep = NowTick;
    }
}
