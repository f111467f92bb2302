// Shot sheets, one per shot kind, frames side by side. They are drawn
// travelling down (the enemies' way); the player's gun shows kinds 0..8 from
// an upside-down copy, so their heads sit at the bottom and trails at the top.
#include <cmath>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

struct TShotLook {
    int Frames;
    int Width; // one frame
};

// clang-format off
constexpr TShotLook ShotLooks[15] = {
    {2, 26}, {2, 15}, {1, 26}, {1, 60}, {1, 25}, {4, 14}, {8, 35}, {1, 27},
    {1, 20}, {8, 32}, {5, 75}, {1, 35}, {1, 235}, {1, 50}, {1, 15},
};
// clang-format on

// A teardrop of light: round head at (x, headY) of radius r, tail up to tailY.
void Teardrop(cairo_t* cr, double x, double headY, double r, double tailY, const TColor& c, double alpha = 1)
{
    cairo_move_to(cr, x, tailY);
    cairo_curve_to(cr, x + r * 0.5, tailY + (headY - tailY) * 0.5, x + r, headY - r * 0.8, x + r, headY);
    cairo_arc(cr, x, headY, r, 0, Pi);
    cairo_curve_to(cr, x - r, headY - r * 0.8, x - r * 0.5, tailY + (headY - tailY) * 0.5, x, tailY);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, tailY, 0, headY + r);
    AddStop(p, 0.0, c, 0);
    AddStop(p, 0.55, c, alpha * 0.85);
    AddStop(p, 1.0, c.Lighter(0.5), alpha);
    FillWithPattern(cr, p);
    EllipsePath(cr, x, headY, r * 0.5, r * 0.6);
    SetColor(cr, {1, 1, 1}, alpha);
    cairo_fill(cr);
}

// A spinning blade star of n points at (x, y).
void SpinStar(cairo_t* cr, double x, double y, double r, int n, double turn, const TColor& c)
{
    RadialGlow(cr, x, y, r * 1.3, c, 0.6);
    for (int i = 0; i < n; ++i) {
        const double a = turn + 2 * Pi * i / n;
        cairo_move_to(cr, x + std::cos(a - 0.35) * r * 0.3, y + std::sin(a - 0.35) * r * 0.3);
        cairo_curve_to(cr, x + std::cos(a - 0.2) * r * 0.8, y + std::sin(a - 0.2) * r * 0.8,
                       x + std::cos(a) * r, y + std::sin(a) * r, x + std::cos(a + 0.3) * r, y + std::sin(a + 0.3) * r);
        cairo_line_to(cr, x + std::cos(a + 0.5) * r * 0.3, y + std::sin(a + 0.5) * r * 0.3);
        cairo_close_path(cr);
        SetColor(cr, c.Lighter(0.25), 0.95);
        cairo_fill(cr);
    }
    RadialGlow(cr, x, y, r * 0.55, {1, 1, 1}, 1);
}

// 0: the basic gun's twin bolts, pulsing between frames.
void Shot0(cairo_t* cr, int f, double w, double h)
{
    const TColor c = TColor::Hex(0xFFC83A);
    const double pulse = f == 0 ? 1.0 : 0.8;
    for (int s = -1; s <= 1; s += 2) {
        const double x = w / 2 + s * 6;
        RadialGlow(cr, x, h - 8, 7 * pulse, TColor::Hex(0xFF8A20), 0.6);
        Teardrop(cr, x, h - 7, 3.2 * pulse + 0.4, 2 + (1 - pulse) * 8, c);
    }
}

// 1: ion bolt, blue with a ring travelling along it.
void Shot1(cairo_t* cr, int f, double w, double h)
{
    const TColor c = TColor::Hex(0x40B8FF);
    const double x = w / 2;
    RadialGlowEllipse(cr, x, h / 2 + 3, 7, 14, c, 0.55);
    Teardrop(cr, x, h - 6, 4, 1, c);
    const double ry = f == 0 ? h - 12 : h - 20;
    EllipsePath(cr, x, ry, 5.5, 1.8);
    StrokeWith(cr, TColor::Hex(0xC8F0FF), 1.0, 0.9);
}

// 2: a slow red energy star.
void Shot2(cairo_t* cr, int, double w, double h)
{
    SpinStar(cr, w / 2, h / 2, 11, 4, 0.4, TColor::Hex(0xFF3A2A));
}

// 3: the plasma ball, violet and boiling.
void Shot3(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2, y = h / 2;
    const TColor c = TColor::Hex(0xC040FF);
    RadialGlow(cr, x, y, 29, c, 0.75);
    TArtRandom rnd(0x9A5Au);
    for (int i = 0; i < 14; ++i) {
        const double a = rnd.Range(0, 2 * Pi), d = rnd.Range(6, 14);
        RadialGlow(cr, x + std::cos(a) * d, y + std::sin(a) * d, rnd.Range(6, 11), TColor::Hex(0xF070FF), 0.55);
    }
    // crackling filaments
    for (int i = 0; i < 7; ++i) {
        double a = rnd.Range(0, 2 * Pi), px = x, py = y;
        cairo_move_to(cr, px, py);
        for (int k = 0; k < 4; ++k) {
            a += rnd.Range(-0.6, 0.6);
            px += std::cos(a) * 5.5;
            py += std::sin(a) * 5.5;
            cairo_line_to(cr, px, py);
        }
        StrokeWith(cr, TColor::Hex(0xFFD0FF), 1.0, 0.8);
    }
    RadialGlow(cr, x, y, 11, {1, 1, 1}, 1);
}

// 4: an orange fireball with a bright rim.
void Shot4(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2, y = h / 2;
    RadialGlow(cr, x, y, 12, TColor::Hex(0xFF6A10), 0.8);
    EllipsePath(cr, x, y, 6.5, 6.5);
    StrokeWith(cr, TColor::Hex(0xFFC040), 2, 0.95);
    RadialGlow(cr, x, y, 5, {1, 1, 0.8}, 1);
}

// 5: a missile, warhead down, with a flickering flame trail above it.
void Shot5(cairo_t* cr, int f, double w, double h)
{
    const double x = w / 2;
    const double body0 = h - 34, body1 = h - 2;
    const double flicker[4] = {1.0, 0.82, 0.95, 0.75};
    const double len = 90 * flicker[f];
    // trail of smoke and fire
    cairo_pattern_t* p = cairo_pattern_create_linear(0, body0 - len, 0, body0);
    AddStop(p, 0.0, TColor::Hex(0x605860), 0.0);
    AddStop(p, 0.45, TColor::Hex(0xA08070), 0.45);
    AddStop(p, 0.75, TColor::Hex(0xFF8020), 0.85);
    AddStop(p, 1.0, TColor::Hex(0xFFF0A0), 1.0);
    cairo_move_to(cr, x - 1.5, body0);
    cairo_curve_to(cr, x - 5, body0 - len * 0.4, x - 4 + (f % 2), body0 - len * 0.8, x, body0 - len);
    cairo_curve_to(cr, x + 4 - (f % 2), body0 - len * 0.8, x + 5, body0 - len * 0.4, x + 1.5, body0);
    cairo_close_path(cr);
    FillWithPattern(cr, p);
    RadialGlowEllipse(cr, x, body0 - 6, 5, 10, TColor::Hex(0xFFD060), 0.9);
    // fins and body
    MirroredPath(cr, x, {{1.5, body0}, {6.5, body0 - 1}, {6.5, body0 + 5}, {3, body0 + 7}});
    PlateFill(cr, x - 6, body0, x + 6, body0 + 7, TColor::Hex(0x8A2020), 0.5);
    cairo_rectangle(cr, x - 3, body0, 6, body1 - body0 - 6);
    MetalFill(cr, x - 3, x + 3, TColor::Hex(0xC8C8D0), 0.35, 0.5);
    Line(cr, x - 3, body0 + 12, x + 3, body0 + 12, TColor::Hex(0xD02020), 1, 1.5);
    MirroredPath(cr, x, {{3, body1 - 7}, {2, body1 - 2}, {0, body1}});
    MetalFill(cr, x - 3, x + 3, TColor::Hex(0xD03030), 0.35, 0.5);
}

// 6: the Mega-skull rocket: a skull tumbling end over end in green fire. It
// turns a full circle over the eight frames, so it reads the same whether an
// enemy fires it downwards or the player's salvo (the flipped copy) upwards.
void Shot6(cairo_t* cr, int f, double w, double h)
{
    const double x = w / 2, y = h / 2;
    const TColor fire = TColor::Hex(0x60FF40);
    RadialGlow(cr, x, y, 17, fire, 0.6);
    for (int i = 0; i < 3; ++i) {
        const double a = -f * Pi / 4 + i * 2 * Pi / 3;
        RadialGlow(cr, x + std::cos(a) * 10, y + std::sin(a) * 10, 5, TColor::Hex(0xB0FF60), 0.8);
    }
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, f * Pi / 4);
    const TColor bone = TColor::Hex(0xE8E0C8);
    EllipsePath(cr, 0, -2, 8, 8.5);
    PlateFill(cr, -8, -10, 8, 7, bone, 0.7);
    cairo_rectangle(cr, -4.5, 3, 9, 6);
    PlateFill(cr, -4, 3, 4, 9, bone.Scaled(0.9), 0.6);
    for (int s = -1; s <= 1; s += 2) {
        EllipsePath(cr, s * 3.3, -1, 2.3, 2.7);
        SetColor(cr, TColor::Hex(0x081004));
        cairo_fill(cr);
        RadialGlow(cr, s * 3.3, -0.7, 2.2, fire, 1.0);
    }
    PolyPath(cr, {{0, 2}, {-1.2, 4}, {1.2, 4}});
    SetColor(cr, TColor::Hex(0x201810));
    cairo_fill(cr);
    for (int i = -1; i <= 1; ++i)
        Line(cr, i * 2.2, 6, i * 2.2, 8.5, TColor::Hex(0x403020), 0.9, 0.7);
    cairo_restore(cr);
}

// 7: a spiked yellow mine.
void Shot7(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2, y = h / 2;
    RadialGlow(cr, x, y, 13, TColor::Hex(0xFFE040), 0.6);
    for (int i = 0; i < 8; ++i) {
        const double a = i * Pi / 4 + Pi / 8;
        PolyPath(cr, {{x + std::cos(a - 0.25) * 5, y + std::sin(a - 0.25) * 5},
                      {x + std::cos(a) * 12, y + std::sin(a) * 12},
                      {x + std::cos(a + 0.25) * 5, y + std::sin(a + 0.25) * 5}});
        SetColor(cr, TColor::Hex(0xFFF0A0), 0.95);
        cairo_fill(cr);
    }
    RadialGlow(cr, x, y, 6, {1, 1, 1}, 1);
}

// 8: the laser bolt, a long white-hot needle in a red sheath.
void Shot8(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2;
    RadialGlowEllipse(cr, x, h / 2, 9, 22, TColor::Hex(0xFF2050), 0.7);
    cairo_move_to(cr, x, 1);
    cairo_curve_to(cr, x + 4, 12, x + 4, h - 8, x, h - 1);
    cairo_curve_to(cr, x - 4, h - 8, x - 4, 12, x, 1);
    SetColor(cr, TColor::Hex(0xFF5070), 0.95);
    cairo_fill(cr);
    cairo_move_to(cr, x, 4);
    cairo_curve_to(cr, x + 1.8, 14, x + 1.8, h - 10, x, h - 3);
    cairo_curve_to(cr, x - 1.8, h - 10, x - 1.8, 14, x, 4);
    SetColor(cr, {1, 1, 1});
    cairo_fill(cr);
}

// 9: the cruiser's spinning shuriken of orange fire.
void Shot9(cairo_t* cr, int f, double w, double h)
{
    SpinStar(cr, w / 2, h / 2, 14, 3, f * (2 * Pi / 3) / 8, TColor::Hex(0xFF7A20));
}

// 10: the cruiser's great beam, rippling as it runs.
void Shot10(cairo_t* cr, int f, double w, double h)
{
    const double x = w / 2;
    const TColor outer = TColor::Hex(0x5040FF);
    // the beam's halo
    cairo_pattern_t* halo = cairo_pattern_create_linear(0, 0, w, 0);
    AddStop(halo, 0.0, outer, 0);
    AddStop(halo, 0.3, outer, 0.55);
    AddStop(halo, 0.5, TColor::Hex(0x9090FF), 0.9);
    AddStop(halo, 0.7, outer, 0.55);
    AddStop(halo, 1.0, outer, 0);
    cairo_rectangle(cr, 0, 0, w, h);
    FillWithPattern(cr, halo);
    // the rippling sheath
    const double phase = f * 2 * Pi / 5;
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, x, 0);
        for (int y = 0; y <= int(h); y += 4) {
            const double r = 12 + 4 * std::sin(y / 22.0 - phase * side);
            cairo_line_to(cr, x + side * r, y);
        }
        cairo_line_to(cr, x, h);
        cairo_close_path(cr);
        SetColor(cr, TColor::Hex(0xA8B0FF), 0.75);
        cairo_fill(cr);
    }
    // the white core and travelling bright knots
    cairo_rectangle(cr, x - 5, 0, 10, h);
    SetColor(cr, TColor::Hex(0xF0F4FF));
    cairo_fill(cr);
    for (int k = 0; k < 6; ++k) {
        const double y = std::fmod(k * 84 + f * 17.0, h);
        RadialGlowEllipse(cr, x, y, 16, 10, {1, 1, 1}, 0.8);
    }
}

// 11: the carrier's main gun: a green-gold orb in a ring.
void Shot11(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2, y = h / 2;
    RadialGlow(cr, x, y, 17, TColor::Hex(0x9AFF30), 0.65);
    EllipsePath(cr, x, y, 11, 11);
    StrokeWith(cr, TColor::Hex(0xE0FF80), 1.6, 0.9);
    RadialGlow(cr, x, y, 7, {1, 1, 0.85}, 1);
}

// 12: the carrier's blast: a huge crescent shock front of fire, white-hot at
// its leading edge and cooling to red behind.
void Shot12(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2, cy = h - 112;
    const TColor hot = TColor::Hex(0xFFF4C0), warm = TColor::Hex(0xFFA030), cool = TColor::Hex(0xD03010);
    // the fire: thin arcs from the trailing edge (inside, cool) to the front (outside, hot)
    const int bands = 24;
    for (int i = 0; i < bands; ++i) {
        const double t = double(i) / (bands - 1);
        const double r = 78 + 30 * t;
        const TColor c = t < 0.6 ? cool.Mixed(warm, t / 0.6) : warm.Mixed(hot, (t - 0.6) / 0.4);
        const double spread = 0.08 + 0.06 * (1 - t);
        cairo_save(cr);
        cairo_translate(cr, x, cy);
        cairo_scale(cr, 1, 0.92);
        cairo_arc(cr, 0, 0, r, Pi * spread, Pi * (1 - spread));
        cairo_restore(cr);
        SetColor(cr, c, 0.55 + 0.45 * t);
        cairo_set_line_width(cr, 2.2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
    // flickering tongues licking back from the front
    TArtRandom rnd(0xB1A5u);
    for (int i = 0; i < 26; ++i) {
        const double a = rnd.Range(Pi * 0.15, Pi * 0.85), r = rnd.Range(70, 100);
        RadialGlowEllipse(cr, x + std::cos(a) * r, cy + std::sin(a) * r * 0.92, rnd.Range(5, 9), rnd.Range(5, 9),
                          rnd.Int(2) ? warm : cool, 0.9);
    }
    // sparks thrown ahead of the front
    for (int i = 0; i < 40; ++i) {
        const double a = rnd.Range(Pi * 0.12, Pi * 0.88), d = rnd.Range(108, 124);
        RadialGlow(cr, x + std::cos(a) * d, cy + std::sin(a) * d * 0.92, rnd.Range(2, 4.5), TColor::Hex(0xFFE090), 0.95);
    }
}

// 13: the dreadnought's comet, blue-violet fire with a white head.
void Shot13(cairo_t* cr, int, double w, double h)
{
    const double x = w / 2;
    RadialGlowEllipse(cr, x, h / 2 + 6, 22, 32, TColor::Hex(0x4060FF), 0.6);
    Teardrop(cr, x, h - 14, 11, 2, TColor::Hex(0x8070FF));
    Teardrop(cr, x, h - 13, 6, 16, TColor::Hex(0xC0D0FF));
    RadialGlow(cr, x, h - 13, 8, {1, 1, 1}, 0.9);
}

// 14: a thin red needle.
void Shot14(cairo_t* cr, int, double w, double h)
{
    Teardrop(cr, w / 2, h - 5, 3, 1, TColor::Hex(0xFF3030));
}

} // namespace

TPicture DrawShotSheet(int kind)
{
    const TSize s = EntrySize(22 + kind);
    TCanvas canvas(s.Width, s.Height);
    void (*const draw[15])(cairo_t*, int, double, double) = {Shot0, Shot1, Shot2, Shot3, Shot4,
                                                             Shot5, Shot6, Shot7, Shot8, Shot9, Shot10, Shot11, Shot12, Shot13, Shot14};
    const TShotLook look = ShotLooks[kind];
    ForEachFrame(canvas, look.Frames, look.Width, [&](cairo_t* cr, int f) {
        draw[kind](cr, f, look.Width, s.Height);
    });
    return canvas.Keyed();
}
