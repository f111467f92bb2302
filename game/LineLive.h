// The small life bar over a damaged enemy ship or command ship.
#pragma once
#include <cstdint>

#include "platform/DDraw.h"

class TLineLive {
public:
    // Reads its owner's position and hit points live; as wide as the owner at
    // full hit points.
    TLineLive(const int16_t& x, const int16_t& y, const int32_t& hitPoints, int16_t width, int32_t startHitPoints);
    void Draw(TSurface* target);
    int32_t BarWidth() const;

    const int16_t* XRef;
    const int16_t* YRef;
    const int32_t* HitPointsRef;
    bool Visible = false;
    float Scale;
    uint16_t ShowCounter = 0;
};
