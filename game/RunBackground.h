// A scrolling background layer, tiled one tile beyond the screen on every side.
#pragma once
#include <cstdint>

#include "platform/DDraw.h"

class TGame;

class TRunBackground {
public:
    // The tile size follows from the sheet; other sheets keep the size given.
    TRunBackground(TGame* game, uint16_t tileWidth, uint16_t tileHeight, uint8_t sheet, uint16_t stepInterval);
    // Draws the tiles, then scrolls one pixel down when more than StepInterval
    // ms have passed; every step counts towards the game's Distance.
    void ScrollAndDraw(TSurface* target);

    TGame* Game;
    int16_t OffsetX = 0; // moved by the ship, never wrapped
    int16_t OffsetY = 0;
    uint16_t TileWidth;
    uint16_t TileHeight;
    uint16_t StepInterval;
    uint8_t Sheet;
    uint8_t Columns;
    uint8_t Rows;
    uint32_t NowTick = 0;
    uint32_t LastStep = 0;
};
