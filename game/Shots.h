// Shots in flight and the shot table that guns, the ship and collisions share.
#pragma once
#include <cstdint>

#include "graphics/SpriteSizes.h"
#include "platform/DDraw.h"

// Indexed by shot kind. Size and animation frames (side by side in the
// sheet) in graphics/SpriteSizes.h; speed in pixels per frame, hit points
// taken from what a shot strikes.
constexpr uint8_t ShotSpeed[ShotKindCount] = {10, 10, 5, 12, 10, 10, 10, 10, 15, 10, 10, 10, 10, 10, 10};
constexpr uint8_t ShotDamage[ShotKindCount] = {10, 20, 50, 40, 50, 40, 70, 60, 90, 60, 60, 60, 60, 60, 60};

// One shot, owned by the gun that fired it. The position is the top-left
// corner in floats; drawing and collision use it rounded, halves to even.
class TPulya {
public:
    TPulya(uint8_t kind, int16_t x, int16_t y, double angle);
    // Animates, draws (the player's shots from the upside-down sheets), then moves.
    void UpdateAndDraw(TSurface* target, bool isPlayer);
    int16_t RoundX() const;
    int16_t RoundY() const;

    uint8_t Kind;
    uint8_t Frame = 0;
    float Y;
    float X;
    double Angle;
    uint32_t LastFrameTick;
};

// Nearest integer, halves to even (the default rounding mode).
int32_t RoundHalfEven(double v);
