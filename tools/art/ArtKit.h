// The drawing kit every picture of the art generator is painted with: the game's
// sprites, the menu pictures and the program icon. One colour type, one canvas,
// outline paths, metal and glass fills, glows and labels.
#pragma once
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "Art.h"

constexpr double Pi = 3.14159265358979323846;

// An RGB colour, components 0..1.
struct TColor {
    double R = 0, G = 0, B = 0;
    static constexpr TColor Hex(uint32_t rgb)
    {
        return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
    }
    TColor Scaled(double k) const { return {Clamp(R * k), Clamp(G * k), Clamp(B * k)}; }
    // This colour moved towards `o` by t (0: this colour, 1: o).
    TColor Mixed(const TColor& o, double t) const
    {
        return {R + (o.R - R) * t, G + (o.G - G) * t, B + (o.B - B) * t};
    }
    TColor Lighter(double t) const { return Mixed({1, 1, 1}, t); }
    static constexpr double Clamp(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
};

// The interface colours of the game's screens (and of the icon's rim).
constexpr TColor BrightGreen{0.0, 1.0, 0.0};
constexpr TColor DarkGreen{34 / 255.0, 136 / 255.0, 34 / 255.0};
constexpr TColor LightGreen{120 / 255.0, 1.0, 120 / 255.0};
constexpr TColor MidGreen{48 / 255.0, 187 / 255.0, 48 / 255.0};

void SetColor(cairo_t* cr, const TColor& c, double alpha = 1.0);
// Strokes the current path in a colour and line width (the path is consumed).
void StrokeWith(cairo_t* cr, const TColor& c, double width, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, const TColor& c, double alpha = 1.0);

// 0 below a, 1 above b, a smooth S-curve between.
double SmoothStep(double a, double b, double x);

// A canvas with its drawing context, fully transparent at first; freed with the object.
class TCanvas {
public:
    TCanvas(int width, int height);
    // Of the pack entry's size (ArtSizes.h).
    explicit TCanvas(int entry);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    cairo_t* cr() const { return Cr; }
    cairo_surface_t* surface() const { return Surface; }
    // A sprite: the transparent colour (magenta) where nothing was drawn, the
    // anti-aliased edges blended into `matte`.
    TPicture Keyed(uint32_t matte = 0x00000000);
    // A near-layer tile: transparent where black.
    TPicture KeyedOnBlack();
    // Every pixel kept (over black); never the transparent colour.
    TPicture Opaque();
    const int Width, Height;

private:
    cairo_surface_t* Surface;
    cairo_t* Cr;
};

// Runs `draw(cr, frame)` for every frame of a sheet, each translated to its
// own cell and clipped to it.
template <class F>
void ForEachFrame(TCanvas& canvas, int frames, int frameWidth, F draw)
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

// Outline paths.
// A closed path through the points, mirrored about x = axis: the points give
// the right half from top to bottom, the left half follows back up.
void MirroredPath(cairo_t* cr, double axis, std::initializer_list<std::pair<double, double>> half);
// A closed path through the points in order.
void PolyPath(cairo_t* cr, std::initializer_list<std::pair<double, double>> points);
void EllipsePath(cairo_t* cr, double x, double y, double rx, double ry);
void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r);
// A rectangle with its four corners cut at 45 degrees (the game's panel shape).
void ChamferPath(cairo_t* cr, double x, double y, double w, double h, double c);

// Fills the current path with a pattern (keeping the path for a stroke when
// asked) and frees the pattern.
void FillWithPattern(cairo_t* cr, cairo_pattern_t* pattern, bool keepPath = false);
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
// A glowing light or core: a radial glow of radius r and a hot centre.
void Lamp(cairo_t* cr, double x, double y, double r, const TColor& c);
// A glassy canopy or lens: dark edge, coloured body, a white glint at the top left.
void Canopy(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c);
// A thin bright line (panel highlight or seam).
void Line(cairo_t* cr, double x0, double y0, double x1, double y1, const TColor& c, double alpha,
          double width);

// Glows. A radial glow is a gradient disc, cheap and placed by its centre; a
// blurred halo follows the outline of whatever shape it is given.
// A soft round glow: colour at the centre fading to nothing at radius r.
void RadialGlow(cairo_t* cr, double x, double y, double r, const TColor& c, double alpha = 1.0);
// The same stretched into an ellipse (rx across, ry down).
void RadialGlowEllipse(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c,
                       double alpha = 1.0);
// Blurs a canvas in place (three box passes, close to a gaussian).
void BlurCanvas(cairo_surface_t* canvas, int radius);
// Paints what `paint` draws on a scratch canvas of the target's size, blurred
// by `radius`, over the target with the given strength (above 1 paints it
// again): a soft halo around the painted shape.
void BlurredHalo(cairo_t* cr, double radius, double strength, const std::function<void(cairo_t*)>& paint);

// Label metrics in the interface face.
double CapHeight(cairo_t* cr, double size, bool bold = true);
// The baseline that centres capitals of that size in a band top..top+height.
double CentredBaseline(cairo_t* cr, double size, double top, double height, bool bold = true);
// A label with a blurred halo around it.
void HaloLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TColor core,
               TColor halo, double radius, double strength);
// A label engraved into a plate: a dark cut above, a faint light edge below.
void EngravedLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TColor colour);
