#include "game/RunBackground.h"

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Platform.h"

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
    if (sheet) {
        const TRect tile = Bounds(0, 0, TileWidth, TileHeight);
        for (int r = -1; r <= Rows; ++r)
            for (int c = -1; c <= Columns; ++c)
                BlitClipped(sheet, target, tile, static_cast<int16_t>(c * TileWidth + OffsetX),
                            static_cast<int16_t>(r * TileHeight + OffsetY));
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
