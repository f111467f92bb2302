// The art generator: every picture of the asset pack drawn with Cairo.
// Same bytes on every run: no clocks, no unseeded randomness, fixed fonts.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

// A finished picture, 0x00RRGGBB pixels, rows top to bottom.
struct TPicture {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
};

constexpr uint32_t Magenta = 0x00FF00FF;

// A fresh ARGB canvas, fully transparent.
cairo_surface_t* NewCanvas(int width, int height);

// Turns a canvas into a pack picture. Pixels that are mostly transparent
// become the transparent colour `key`; the rest are composited over `matte`
// (so anti-aliased edges blend into a dark colour, not into magenta).
// key = Magenta for sprites, 0 (black) for the near-layer tiles.
TPicture Flatten(cairo_surface_t* canvas, uint32_t key = Magenta, uint32_t matte = 0x00000000);
// A canvas whose every pixel is kept as it is (opaque pictures).
TPicture FlattenOpaque(cairo_surface_t* canvas);

// Small deterministic generator for stars, noise and debris.
class TArtRandom {
public:
    explicit TArtRandom(uint32_t seed) : State(seed ? seed : 1u) {}
    uint32_t Next()
    {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return State;
    }
    double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); } // 0..1
    double Range(double a, double b) { return a + (b - a) * Unit(); }
    int Int(int n) { return n > 0 ? int(Next() % uint32_t(n)) : 0; }

private:
    uint32_t State;
};

// Text in the interface face (Play bold from fonts-play, through fontconfig).
void DrawLabel(cairo_t* cr, const std::string& text, double x, double y, double size,
               double r, double g, double b, bool bold = true);
// Width of a label at that size.
double LabelWidth(cairo_t* cr, const std::string& text, double size, bool bold = true);

// Pack entries: 0..59 game sheets, 60..101 menu sheets.
TPicture DrawGameEntry(int entry); // GameArt*.cpp
TPicture DrawMenuEntry(int entry); // MenuArt*.cpp

// A 24-bit BMP file image of a picture.
std::vector<uint8_t> EncodeBmp24(const TPicture& picture);
