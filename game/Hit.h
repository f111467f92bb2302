// Hit flashes and explosions, living in the game's 20 Hits slots.
#pragma once
#include <cstdint>

#include "platform/DDraw.h"

constexpr int HitKindCount = 6;
// Square frame size by hit kind: 16 x 16 flashes, 64 x 64 explosions.
constexpr int16_t HitSize[HitKindCount] = {16, 16, 16, 64, 64, 64};
constexpr int HitFrameCount = 16;

class THit {
public:
    // Types 0..8 give kind type mod 3, 9..17 give 3 + type mod 3, others 0.
    THit(uint8_t hitType, int8_t startFrame, int16_t x, int16_t y, uint8_t slot);
    static uint8_t KindOfType(uint8_t hitType);
    // False once its sixteen frames have been shown: the game empties the slot.
    bool UpdateAndDraw(TSurface* target);

    uint8_t Kind;
    uint8_t Slot;
    int16_t X, Y;
    int16_t Frame; // negative: the effect has not started yet
    uint32_t NowTick = 0;
    uint32_t LastFrameTick = 0;
};
