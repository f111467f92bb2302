// The seven sound effects' waves, RIFF WAVE images compiled into the program
// (synthesized at build time by tools/sound), in EffectId order.
#pragma once
#include <cstddef>
#include <cstdint>

struct TWaveImage {
    const char* Name;    // "MenuClick", "Hit", ...
    const uint8_t* Data; // the whole RIFF file image
    size_t Size;
};

constexpr int WaveImageCount = 7;
extern const TWaveImage WaveImages[WaveImageCount];
