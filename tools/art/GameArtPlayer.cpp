// The player's warship: five tilts, each with two engine-flame frames.
// The ship rolls as it slides sideways: the lower wing shortens and darkens,
// the raised one catches the light, and more of the hull's upper flank shows.
#include <cmath>
#include <vector>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

constexpr double FrameW = 65, FrameH = 100;

const TColor Hull = TColor::Hex(0x9AA8BC);
const TColor WingMetal = TColor::Hex(0x5A6A86);
const TColor Camo = TColor::Hex(0x1E5A2C); // dark green wing panels
const TColor Trim = TColor::Hex(0x22CC44); // the fleet's green
const TColor Glass = TColor::Hex(0x38C8FF);
const TColor FlameCore = TColor::Hex(0xF0FFFF);
const TColor FlameOuter = TColor::Hex(0x2A8CFF);

// The geometry of one tilt: where the spine is and how wide each side looks.
struct TRoll {
    double Spine;    // x of the centre line
    double Wing[2];  // projected wing scale, left and right
    double Side[2];  // projected hull half-width scale, left and right
    double Light[2]; // brightness of each wing
    double X(int side, double out, bool wing) const
    {
        const int i = side < 0 ? 0 : 1;
        return Spine + side * out * (wing ? Wing[i] : Side[i]);
    }
};

// Leaning left (tilt < 0) lowers the left wing: it looks shorter and darker,
// while the raised right wing and the right flank of the hull show more.
TRoll MakeRoll(double tilt)
{
    TRoll r;
    const double a = tilt * 0.62;
    r.Spine = FrameW / 2 + tilt * 3.0;
    for (int i = 0; i < 2; ++i) {
        const int s = i == 0 ? -1 : 1;
        r.Wing[i] = std::cos(a) * (1 - 0.22 * s * tilt);
        r.Side[i] = 1 - 0.32 * s * tilt;
        r.Light[i] = 1 - 0.3 * s * tilt;
    }
    return r;
}

using TProfile = std::vector<std::pair<double, double>>;

// A closed outline from a half profile, each side projected through the roll.
void RolledPath(cairo_t* cr, const TRoll& roll, const TProfile& half, bool wing)
{
    bool first = true;
    for (const auto& [out, y] : half) {
        const double x = roll.X(1, out, wing);
        if (first)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
        first = false;
    }
    for (auto it = half.rbegin(); it != half.rend(); ++it)
        cairo_line_to(cr, roll.X(-1, it->first, wing), it->second);
    cairo_close_path(cr);
}

// One side's outline (a wing, a canard, a pod) from outward offsets.
void SidePath(cairo_t* cr, const TRoll& roll, int side, const TProfile& pts)
{
    bool first = true;
    for (const auto& [out, y] : pts) {
        const double x = roll.X(side, out, true);
        if (first)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
        first = false;
    }
    cairo_close_path(cr);
}

void DrawFlame(cairo_t* cr, double x, double top, double length, double width, double bend)
{
    RadialGlow(cr, x, top + 1, width * 2.2, FlameOuter, 0.55);
    cairo_move_to(cr, x - width, top);
    cairo_curve_to(cr, x - width, top + length * 0.4, x + bend - width * 0.3, top + length * 0.8, x + bend, top + length);
    cairo_curve_to(cr, x + bend + width * 0.3, top + length * 0.8, x + width, top + length * 0.4, x + width, top);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, top + length);
    AddStop(p, 0.0, FlameCore);
    AddStop(p, 0.3, TColor::Hex(0x9CF0FF));
    AddStop(p, 0.7, FlameOuter, 0.85);
    AddStop(p, 1.0, FlameOuter, 0.0);
    FillWithPattern(cr, p);
    // the hot core
    EllipsePath(cr, x + bend * 0.2, top + length * 0.2, width * 0.45, length * 0.25);
    SetColor(cr, {1, 1, 1}, 0.9);
    cairo_fill(cr);
}

} // namespace

void DrawWarship(cairo_t* cr, double tilt, int flame)
{
    const TRoll roll = MakeRoll(tilt);
    const double sp = roll.Spine;
    const double light = 0.5 - tilt * 0.22; // where the spine's highlight sits across the hull

    // engine flames behind everything
    for (int s = -1; s <= 1; s += 2) {
        const double nx = roll.X(s, 7.5, true);
        const double len = flame == 0 ? 8.5 : 12.5;
        const double wid = flame == 0 ? 2.6 : 3.1;
        DrawFlame(cr, nx, 88, len + (s > 0 ? 0.6 : 0) * flame, wid, (flame == 0 ? 0.4 : -0.5) * s);
    }

    // wings, with a wingtip gun pod
    for (int s = -1; s <= 1; s += 2) {
        const int i = s < 0 ? 0 : 1;
        const TColor metal = WingMetal.Scaled(roll.Light[i]);
        SidePath(cr, roll, s, {{5, 36}, {27, 62}, {29.5, 70}, {27, 76}, {6, 80}});
        PlateFill(cr, roll.X(s, 6, true), 40, roll.X(s, 26, true), 78, metal, 0.9);
        // the green inset panel
        SidePath(cr, roll, s, {{10.5, 54}, {19, 63}, {20, 71}, {10.5, 73}});
        PlateFill(cr, roll.X(s, 10.5, true), 54, roll.X(s, 20, true), 73, Camo.Scaled(roll.Light[i]), 0.6);
        // leading-edge trim in the fleet's green
        Line(cr, roll.X(s, 7, true), 39.5, roll.X(s, 25, true), 62, Trim.Scaled(roll.Light[i]), 0.9, 1.2);
        // panel seam
        Line(cr, roll.X(s, 10, true), 70, roll.X(s, 24, true), 70.5, metal.Scaled(0.45), 0.9, 0.6);
        // the gun pod
        SidePath(cr, roll, s, {{27.2, 50}, {29.3, 50}, {30.2, 56}, {30.2, 77}, {26.3, 77}, {26.3, 56}});
        const double p0 = roll.X(s, 26.3, true), p1 = roll.X(s, 30.2, true);
        MetalFill(cr, std::min(p0, p1), std::max(p0, p1), Hull.Scaled(roll.Light[i]), 0.4, 0.7);
        RadialGlow(cr, roll.X(s, 28.3, true), 50.5, 1.6, TColor::Hex(0x80FF90), 0.9);
    }

    // engine nacelles beside the hull
    for (int s = -1; s <= 1; s += 2) {
        const int i = s < 0 ? 0 : 1;
        SidePath(cr, roll, s, {{5, 50}, {9.5, 54}, {10.5, 84}, {9.5, 89}, {5.5, 89}, {4.5, 84}});
        const double n0 = roll.X(s, 4.5, true), n1 = roll.X(s, 10.5, true);
        MetalFill(cr, std::min(n0, n1), std::max(n0, n1), WingMetal.Lighter(0.15).Scaled(roll.Light[i]), 0.45, 0.8);
        // the nozzle ring
        const double nx = roll.X(s, 7.5, true);
        EllipsePath(cr, nx, 88.3, 2.8 * roll.Wing[i], 1.3);
        SetColor(cr, TColor::Hex(0x101820));
        cairo_fill(cr);
        EllipsePath(cr, nx, 88.3, 1.8 * roll.Wing[i], 0.8);
        SetColor(cr, TColor::Hex(0xA8F4FF), 0.95);
        cairo_fill(cr);
    }

    // the hull
    const TProfile hull = {{0, 2}, {2.4, 9}, {4.2, 18}, {5.8, 28}, {6.8, 40}, {7.4, 54}, {7.0, 70}, {6.2, 82}, {4.6, 88}};
    RolledPath(cr, roll, hull, false);
    MetalFill(cr, roll.X(-1, 7.4, false), roll.X(1, 7.4, false), Hull, light, 1.0);
    // spine ridge and armour seams
    Line(cr, sp, 12, sp, 80, Hull.Lighter(0.6), 0.55, 0.8);
    for (double y : {46.0, 62.0, 76.0})
        Line(cr, roll.X(-1, 6.5, false), y, roll.X(1, 6.5, false), y, Hull.Scaled(0.4), 0.7, 0.6);
    // green marking on the nose
    cairo_move_to(cr, roll.X(-1, 2.0, false), 12);
    cairo_line_to(cr, roll.X(1, 2.0, false), 12);
    cairo_line_to(cr, roll.X(1, 3.0, false), 15);
    cairo_line_to(cr, roll.X(-1, 3.0, false), 15);
    cairo_close_path(cr);
    SetColor(cr, Trim, 0.9);
    cairo_fill(cr);

    // canards
    for (int s = -1; s <= 1; s += 2) {
        const int i = s < 0 ? 0 : 1;
        SidePath(cr, roll, s, {{5.5, 25}, {13, 35}, {12.5, 38}, {6, 35}});
        const double c0 = roll.X(s, 5.5, true), c1 = roll.X(s, 13, true);
        MetalFill(cr, std::min(c0, c1), std::max(c0, c1), Hull.Scaled(0.9 * roll.Light[i]), 0.4, 0.7);
    }

    // cockpit
    Canopy(cr, sp + tilt * 0.8, 29, 3.0 * (1 - 0.15 * std::abs(tilt)), 7.0, Glass);

    // running lights
    RadialGlow(cr, roll.X(-1, 26, true), 73, 2.0, TColor::Hex(0xFF4040), 0.9);
    RadialGlow(cr, roll.X(1, 26, true), 73, 2.0, TColor::Hex(0x40FF60), 0.9);
}

TPicture DrawPlayerShipSheet()
{
    const TSize s = EntrySize(8);
    TCanvas canvas(s.Width, s.Height);
    ForEachFrame(canvas, 10, int(FrameW), [](cairo_t* cr, int frame) {
        const int bank = frame / 2, flame = frame % 2;
        DrawWarship(cr, (bank - 2) / 2.0, flame);
    });
    (void)FrameH;
    return canvas.Keyed();
}
