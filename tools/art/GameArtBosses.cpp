// The three command ships that guard every third stage, nose down:
// 0 a wedge cruiser whose prow holds the great beam, 1 a crescent carrier
// that throws its blast from the belly, 2 a towering dreadnought.
#include <cmath>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

const TColor Plate = TColor::Hex(0x5C5468);
const TColor PlateDark = TColor::Hex(0x322C3C);
const TColor Rust = TColor::Hex(0x8A3A2A);
const TColor Wine = TColor::Hex(0x6A1C34);
const TColor Ochre = TColor::Hex(0xA06A28);
const TColor CoreBlue = TColor::Hex(0x60B0FF);
const TColor CoreOrange = TColor::Hex(0xFF9A30);
const TColor CoreGreen = TColor::Hex(0x80FF60);
const TColor Warning = TColor::Hex(0xFF3020);

// A turret: an armoured dome with a twin barrel pointing down.
void Turret(cairo_t* cr, double x, double y, double r, const TColor& metal)
{
    for (int s = -1; s <= 1; s += 2) {
        cairo_rectangle(cr, x + s * r * 0.35 - r * 0.16, y, r * 0.32, r * 1.7);
        MetalFill(cr, x + s * r * 0.35 - r * 0.16, x + s * r * 0.35 + r * 0.16, metal.Lighter(0.1), 0.35, 0.6);
    }
    EllipsePath(cr, x, y, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.4, 0, x, y, r * 1.1);
    AddStop(p, 0.0, metal.Lighter(0.55));
    AddStop(p, 0.5, metal);
    AddStop(p, 1.0, metal.Scaled(0.35));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, metal.Scaled(0.25), 0.8);
    Lamp(cr, x, y + r * 0.15, r * 0.25, Warning);
}

// A row of engine nozzles at the top, burning upwards.
void EngineBank(cairo_t* cr, double x0, double x1, double y, int count, double r, const TColor& flame)
{
    for (int i = 0; i < count; ++i) {
        const double x = count == 1 ? (x0 + x1) / 2 : x0 + (x1 - x0) * i / (count - 1);
        RadialGlowEllipse(cr, x, y - r, r * 1.4, r * 2.6, flame, 0.75);
        cairo_rectangle(cr, x - r, y, 2 * r, r * 1.6);
        MetalFill(cr, x - r, x + r, PlateDark.Lighter(0.2), 0.35, 0.7);
        EllipsePath(cr, x, y, r * 0.9, r * 0.4);
        SetColor(cr, flame.Lighter(0.6));
        cairo_fill(cr);
    }
}

// A reactor core behind a ring: the glowing heart of a command ship.
void Core(cairo_t* cr, double x, double y, double r, const TColor& c)
{
    RadialGlow(cr, x, y, r * 2.4, c, 0.6);
    EllipsePath(cr, x, y, r * 1.25, r * 1.25);
    MetalFill(cr, x - r * 1.25, x + r * 1.25, PlateDark, 0.35, 1.0);
    EllipsePath(cr, x, y, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    AddStop(p, 0.0, {1, 1, 1});
    AddStop(p, 0.35, c.Lighter(0.5));
    AddStop(p, 1.0, c.Scaled(0.5));
    FillWithPattern(cr, p);
}

// Rows of small hull lights along a line.
void Portholes(cairo_t* cr, double x0, double y0, double x1, double y1, int n, const TColor& c)
{
    for (int i = 0; i < n; ++i) {
        const double t = n == 1 ? 0.5 : double(i) / (n - 1);
        RadialGlow(cr, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, 1.6, c, 0.95);
    }
}

void Boss0(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    EngineBank(cr, cx - 40, cx + 40, 8, 4, 6, CoreBlue);
    // wings swept back with a turret each
    MirroredPath(cr, cx, {{20, 12}, {70, 30}, {74, 70}, {60, 96}, {44, 92}, {28, 120}});
    PlateFill(cr, cx - 74, 12, cx + 74, 120, Plate, 1.0);
    for (int s = -1; s <= 1; s += 2) {
        Line(cr, cx + s * 24, 24, cx + s * 68, 38, Rust.Lighter(0.3), 0.9, 2.0);
        Line(cr, cx + s * 30, 60, cx + s * 70, 60, PlateDark, 0.8, 0.8);
        Line(cr, cx + s * 30, 80, cx + s * 62, 86, PlateDark, 0.8, 0.8);
        Turret(cr, cx + s * 52, 62, 8, Plate.Lighter(0.1));
        Portholes(cr, cx + s * 26, 44, cx + s * 66, 50, 5, CoreOrange);
    }
    // the wedge hull, tapering to the beam prow
    MirroredPath(cr, cx, {{0, 4}, {34, 8}, {40, 40}, {34, 110}, {20, 150}, {12, 172}, {0, 178}});
    MetalFill(cr, cx - 40, cx + 40, Plate.Lighter(0.1), 0.35, 1.4);
    // raised spine deck
    MirroredPath(cr, cx, {{0, 14}, {16, 18}, {18, 80}, {10, 120}, {0, 126}});
    MetalFill(cr, cx - 18, cx + 18, Rust, 0.35, 1.0);
    for (double y : {34.0, 52.0, 70.0, 88.0})
        Line(cr, cx - 15, y, cx + 15, y, Rust.Scaled(0.4), 0.9, 0.8);
    for (int s = -1; s <= 1; s += 2) {
        Line(cr, cx + s * 30, 20, cx + s * 26, 118, PlateDark, 0.8, 0.9);
        Turret(cr, cx + s * 26, 128, 6, Plate);
    }
    Core(cr, cx, 98, 9, CoreBlue);
    // bridge
    Canopy(cr, cx, 40, 6, 9, TColor::Hex(0xFF6040));
    // the beam prow
    MirroredPath(cr, cx, {{0, 136}, {10, 142}, {9, 168}, {5, 178}, {0, 179}});
    MetalFill(cr, cx - 10, cx + 10, PlateDark.Lighter(0.3), 0.35, 1.0);
    RadialGlow(cr, cx, 168, 14, CoreBlue, 0.8);
    Lamp(cr, cx, 168, 4.5, TColor::Hex(0xC0E8FF));
}

void Boss1(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    EngineBank(cr, cx - 50, cx + 50, 10, 5, 6.5, CoreOrange);
    // crescent arms reaching down on both sides
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, cx + s * 40, 24);
        cairo_curve_to(cr, cx + s * 110, 20, cx + s * 118, 120, cx + s * 96, 220);
        cairo_line_to(cr, cx + s * 84, 214);
        cairo_curve_to(cr, cx + s * 92, 150, cx + s * 84, 96, cx + s * 44, 80);
        cairo_close_path(cr);
        PlateFill(cr, cx - 40, 20, cx + 116, 220, Wine, 1.2);
        Line(cr, cx + s * 60, 36, cx + s * 104, 120, Wine.Lighter(0.35), 0.8, 1.5);
        Line(cr, cx + s * 96, 140, cx + s * 92, 200, Wine.Scaled(0.4), 0.9, 1.2);
        Turret(cr, cx + s * 96, 110, 8, Ochre);
        Turret(cr, cx + s * 92, 170, 7, Ochre);
        Lamp(cr, cx + s * 90, 214, 2.4, CoreOrange);
        Portholes(cr, cx + s * 58, 40, cx + s * 88, 70, 5, TColor::Hex(0xFFD070));
    }
    // the round carrier body
    EllipsePath(cr, cx, 100, 74, 80);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 26, 62, 6, cx, 100, 82);
    AddStop(p, 0.0, Plate.Lighter(0.5));
    AddStop(p, 0.5, Plate);
    AddStop(p, 1.0, PlateDark.Scaled(0.6));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, PlateDark.Scaled(0.4), 1.4);
    // armour rings and radial ribs
    for (double r : {58.0, 40.0}) {
        EllipsePath(cr, cx, 100, r, r * 1.08);
        StrokeWith(cr, PlateDark.Scaled(0.6), 1.5, 0.9);
    }
    for (int i = 0; i < 12; ++i) {
        const double a = i * Pi / 6;
        Line(cr, cx + std::cos(a) * 42, 100 + std::sin(a) * 45, cx + std::cos(a) * 72, 100 + std::sin(a) * 78,
             PlateDark.Scaled(0.5), 0.8, 1.0);
    }
    for (int i = 0; i < 6; ++i) {
        const double a = Pi / 12 + i * Pi / 3;
        Turret(cr, cx + std::cos(a) * 50, 100 + std::sin(a) * 54, 6, Ochre);
    }
    Core(cr, cx, 96, 22, CoreOrange);
    // the blast mouth under the belly
    MirroredPath(cr, cx, {{0, 166}, {26, 168}, {22, 200}, {12, 222}, {0, 224}});
    MetalFill(cr, cx - 26, cx + 26, Rust, 0.35, 1.2);
    EllipsePath(cr, cx, 206, 12, 8);
    SetColor(cr, TColor::Hex(0x1A0804));
    cairo_fill(cr);
    RadialGlow(cr, cx, 208, 20, CoreOrange, 0.8);
    Lamp(cr, cx, 207, 5, TColor::Hex(0xFFE0A0));
}

void Boss2(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    EngineBank(cr, cx - 70, cx + 70, 12, 6, 6, CoreGreen);
    // broad sponsons along the flanks
    MirroredPath(cr, cx, {{30, 14}, {96, 24}, {110, 60}, {108, 150}, {96, 190}, {70, 200}, {56, 236}});
    PlateFill(cr, cx - 110, 14, cx + 110, 236, PlateDark.Lighter(0.15), 1.2);
    for (int s = -1; s <= 1; s += 2) {
        for (int i = 0; i < 4; ++i)
            Turret(cr, cx + s * 84, 60 + i * 34, 8, Plate.Lighter(0.15));
        Line(cr, cx + s * 100, 56, cx + s * 100, 180, CoreGreen, 0.55, 1.2);
        Line(cr, cx + s * 40, 30, cx + s * 96, 36, Rust.Lighter(0.2), 0.9, 2.5);
        Portholes(cr, cx + s * 64, 54, cx + s * 64, 186, 9, TColor::Hex(0xB0FF90));
        // the forward blades
        cairo_move_to(cr, cx + s * 56, 190);
        cairo_line_to(cr, cx + s * 88, 200);
        cairo_line_to(cr, cx + s * 50, 264);
        cairo_line_to(cr, cx + s * 40, 236);
        cairo_close_path(cr);
        PlateFill(cr, cx - 60, 190, cx + 90, 264, Rust, 1.0);
    }
    // the tower hull
    MirroredPath(cr, cx, {{0, 4}, {36, 8}, {44, 40}, {46, 160}, {38, 220}, {24, 262}, {12, 278}, {0, 279}});
    MetalFill(cr, cx - 46, cx + 46, Plate, 0.35, 1.4);
    // stacked decks
    for (int i = 0; i < 5; ++i) {
        const double y = 34 + i * 38, half = 36 - i * 3;
        MirroredPath(cr, cx, {{0, y}, {half, y + 4}, {half - 2, y + 28}, {0, y + 32}});
        MetalFill(cr, cx - half, cx + half, i % 2 ? Plate.Lighter(0.1) : PlateDark.Lighter(0.35), 0.35, 1.0);
        Portholes(cr, cx - half + 8, y + 16, cx + half - 8, y + 16, 6, i % 2 ? CoreGreen : TColor::Hex(0xFFD070));
    }
    Core(cr, cx, 130, 14, CoreGreen);
    Canopy(cr, cx, 236, 8, 12, TColor::Hex(0xFF4030));
    // twin prow cannons at the nose
    for (int s = -1; s <= 1; s += 2) {
        cairo_rectangle(cr, cx + s * 9 - 3, 240, 6, 36);
        MetalFill(cr, cx + s * 9 - 3, cx + s * 9 + 3, Plate.Lighter(0.25), 0.35, 0.8);
        RadialGlow(cr, cx + s * 9, 274, 6, CoreGreen, 0.9);
    }
}

} // namespace

TPicture DrawBoss(int kind)
{
    const TSize s = EntrySize(19 + kind);
    TCanvas canvas(s.Width, s.Height);
    void (*const draw[3])(cairo_t*, double, double) = {Boss0, Boss1, Boss2};
    draw[kind](canvas.cr(), s.Width, s.Height);
    return canvas.Keyed();
}
