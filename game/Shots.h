// Shots in flight and the shot table that guns, the ship and collisions share.
#pragma once
#include <cstdint>

#include "platform/DDraw.h"

struct TSpriteSize {
    int16_t W, H;
};

constexpr int ShotKindCount = 15;

// Indexed by shot kind. Size in pixels, speed in pixels per frame, animation
// frames side by side in the sheet, hit points taken from what a shot strikes.
constexpr TSpriteSize ShotSize[ShotKindCount] = {
    {26, 28}, {15, 29}, {26, 26}, {60, 60}, {25, 25}, {14, 139}, {35, 35}, {27, 27},
    {20, 45}, {32, 32}, {75, 420}, {35, 35}, {235, 225}, {50, 70}, {15, 35},
};
constexpr uint8_t ShotSpeed[ShotKindCount] = {10, 10, 5, 12, 10, 10, 10, 10, 15, 10, 10, 10, 10, 10, 10};
constexpr uint8_t ShotFrames[ShotKindCount] = {2, 2, 1, 1, 1, 4, 8, 1, 1, 8, 5, 1, 1, 1, 1};
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
