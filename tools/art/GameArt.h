// Drawing helpers shared by the game's sprite art (ships, shots, effects,
// bonuses, background layers) and the program icon.
#pragma once
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "Art.h"

constexpr double Pi = 3.14159265358979323846;

// A canvas with its drawing context; freed with the object.
class TArtCanvas {
public:
    TArtCanvas(int width, int height) : Width(width), Height(height), Surface(NewCanvas(width, height)),
        Cr(cairo_create(Surface)) {}
    ~TArtCanvas() { cairo_destroy(Cr); cairo_surface_destroy(Surface); }
    TArtCanvas(const TArtCanvas&) = delete;
    TArtCanvas& operator=(const TArtCanvas&) = delete;
    cairo_t* cr() const { return Cr; }
    cairo_surface_t* surface() const { return Surface; }
    // A sprite: transparent where nothing was drawn.
    TPicture Sprite() { cairo_surface_flush(Surface); return Flatten(Surface, Magenta); }
    // A near-layer tile: transparent where black.
    TPicture KeyedOnBlack() { cairo_surface_flush(Surface); return Flatten(Surface, 0); }
    TPicture Opaque() { cairo_surface_flush(Surface); return FlattenOpaque(Surface); }
    const int Width, Height;
private:
    cairo_surface_t* Surface;
    cairo_t* Cr;
};

// An RGB colour, components 0..1.
struct TColor {
    double R = 0, G = 0, B = 0;
    static constexpr TColor Hex(uint32_t rgb)
    {
        return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
    }
    TColor Scaled(double k) const { return {Clamp(R * k), Clamp(G * k), Clamp(B * k)}; }
    TColor Mixed(const TColor& o, double t) const
    {
        return {R + (o.R - R) * t, G + (o.G - G) * t, B + (o.B - B) * t};
    }
    TColor Lighter(double t) const { return Mixed({1, 1, 1}, t); }
    static constexpr double Clamp(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
};

void SetColor(cairo_t* cr, const TColor& c, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, const TColor& c, double alpha = 1.0);

// A soft round glow: colour at the centre fading to nothing at radius r.
void Glow(cairo_t* cr, double x, double y, double r, const TColor& c, double alpha = 1.0);
// A glow stretched into an ellipse (rx across, ry down).
void GlowEllipse(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c, double alpha = 1.0);

// A closed path through the points, mirrored about x = axis: the points give
// the right half from top to bottom, the left half follows back up.
void MirroredPath(cairo_t* cr, double axis, std::initializer_list<std::pair<double, double>> half);
// A closed path through the points in order.
void PolyPath(cairo_t* cr, std::initializer_list<std::pair<double, double>> points);
void EllipsePath(cairo_t* cr, double x, double y, double rx, double ry);

// Fills the current path as brushed metal lit from the left: a horizontal
// gradient from x0 to x1 with a bright band at `light` (0..1 across), then
// strokes it with a dark rim. The path is consumed.
void MetalFill(cairo_t* cr, double x0, double x1, const TColor& base, double light = 0.35,
               double rim = 1.0);
// The same lit from above: a vertical gradient from y0 to y1.
void MetalFillVertical(cairo_t* cr, double y0, double y1, const TColor& base, double light = 0.3,
                       double rim = 1.0);
// Fills the current path as a flat armour plate lit from (lx, ly) and falling
// dark towards (dx, dy), then rims it. The path is consumed.
void PlateFill(cairo_t* cr, double lx, double ly, double dx, double dy, const TColor& base,
               double rim = 0.8);
// A glowing light or core: a halo of radius r and a hot centre.
void Lamp(cairo_t* cr, double x, double y, double r, const TColor& c);
// A glassy canopy or lens: dark edge, coloured body, a white glint at the top left.
void Canopy(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c);
// A thin bright line (panel highlight or seam).
void Line(cairo_t* cr, double x0, double y0, double x1, double y1, const TColor& c, double alpha,
          double width);

// Runs `draw(cr, frame)` for every frame of a sheet, each translated to its
// own cell and clipped to it.
template <class F>
void ForEachFrame(TArtCanvas& canvas, int frames, int frameWidth, F draw)
{
    for (int f = 0; f < frames; ++f) {
        cairo_t* cr = canvas.cr();
        cairo_save(cr);
        cairo_rectangle(cr, f * frameWidth, 0, frameWidth, canvas.Height);
        cairo_clip(cr);
        cairo_translate(cr, f * frameWidth, 0);
        draw(cr, f);
        cairo_restore(cr);
    }
}

// Turns the drawing upside down within a height h (for pictures designed
// nose-up that fly nose-down).
void FlipVertically(cairo_t* cr, double height);

// The pictures, by subject.
TPicture DrawArmorStrip();
TPicture DrawEnergyStrip();
TPicture DrawPauseStripe();
TPicture DrawFarLayer();
TPicture DrawNearTile(int tile);                 // 0..4
TPicture DrawPlayerShipSheet();
TPicture DrawEnemy(int kind);                    // 0..8
TPicture DrawBoss(int kind);                     // 0..2
TPicture DrawShotSheet(int kind);                // 0..14
TPicture DrawAsteroidSheet(int kind);            // 0..1
TPicture DrawHitSheet(int kind);                 // 0..5: 0..2 flashes, 3..5 explosions
TPicture DrawBonusSheet(int kind);               // 0..8
TPicture DrawWeaponIcon(int entry);              // 55..59
TPicture DrawUnusedEntry();

// The player's warship, centred at (cx, top), nose up, 65 x 100 at scale 1.
// tilt -1 (full lean left) .. 1 (full lean right); flame 0 or 1.
void DrawWarship(cairo_t* cr, double tilt, int flame);
// A sky of stars over (0, 0, w, h), wrapped at the edges so it tiles.
void DrawStarSky(cairo_t* cr, int w, int h, uint32_t seed, int count, double brightness);
