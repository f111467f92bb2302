// The nine enemy fighters. They fly downwards, so every one is drawn nose
// down, lit from the upper left like everything else. Kinds 0 and 1 are small
// darts; from kind 2 on they grow heavier, more armoured and more armed.
// Their hulls are alien: crimson, violet, bronze and gunmetal, never the
// player's steel and green.
#include "ArtSizes.h"
#include "GameArt.h"

namespace {

const TColor Crimson = TColor::Hex(0xB82430);
const TColor Violet = TColor::Hex(0x7A38B0);
const TColor Bronze = TColor::Hex(0xB8742C);
const TColor Gunmetal = TColor::Hex(0x5E4858); // mauve alien steel
const TColor DarkPlum = TColor::Hex(0x4A2450);
const TColor Bone = TColor::Hex(0xD8CCB0);
const TColor EyeRed = TColor::Hex(0xFF3A20);
const TColor EyeAmber = TColor::Hex(0xFFB020);
const TColor EyeGreen = TColor::Hex(0x9CFF40);
const TColor EyePink = TColor::Hex(0xFF50D0);

// A gun barrel pointing down, from y0 to y1 at x.
void Barrel(cairo_t* cr, double x, double y0, double y1, double r, const TColor& metal)
{
    cairo_rectangle(cr, x - r, y0, 2 * r, y1 - y0);
    MetalFill(cr, x - r, x + r, metal, 0.35, 0.6);
    cairo_rectangle(cr, x - r - 0.6, y1 - 1.8, 2 * r + 1.2, 1.8);
    MetalFill(cr, x - r - 0.6, x + r + 0.6, metal.Lighter(0.2), 0.35, 0.5);
}

// An engine glow at the back (the top, since they fly down).
void Exhaust(cairo_t* cr, double x, double y, double r, const TColor& c)
{
    RadialGlowEllipse(cr, x, y - r * 0.6, r * 1.3, r * 2.2, c, 0.8);
    EllipsePath(cr, x, y, r, r * 0.45);
    SetColor(cr, c.Lighter(0.6));
    cairo_fill(cr);
}

void Enemy0(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    Exhaust(cr, cx, 3, 3.2, TColor::Hex(0xFF7A20));
    // swept wings trailing towards the top
    MirroredPath(cr, cx, {{3, 9}, {24, 1.5}, {29, 3}, {28.5, 7}, {9, 18}, {3, 19}});
    PlateFill(cr, cx - 28, 0, cx + 28, 20, Crimson, 0.8);
    for (int s = -1; s <= 1; s += 2)
        Line(cr, cx + s * 6, 10, cx + s * 26, 3.5, TColor::Hex(0xFF9A50), 0.8, 1.0);
    // the dart body, nose at the bottom
    MirroredPath(cr, cx, {{0, 1}, {4.5, 3}, {6, 11}, {4.5, 20}, {1.5, 26}, {0, 27.5}});
    MetalFill(cr, cx - 6, cx + 6, TColor::Hex(0x7A3A40), 0.35, 0.8);
    Canopy(cr, cx, 15, 2.6, 4.2, EyeAmber);
    for (int s = -1; s <= 1; s += 2)
        Lamp(cr, cx + s * 27, 5.5, 1.3, EyeRed);
}

void Enemy1(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    Exhaust(cr, cx - 5, 2.5, 2.2, TColor::Hex(0xD060FF));
    Exhaust(cr, cx + 5, 2.5, 2.2, TColor::Hex(0xD060FF));
    // forward-swept crescent blades reaching down past the nose
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, cx + s * 5, 6);
        cairo_curve_to(cr, cx + s * 18, 2, cx + s * 28, 8, cx + s * 28.5, 26.5);
        cairo_curve_to(cr, cx + s * 24, 17, cx + s * 16, 13, cx + s * 6, 16);
        cairo_close_path(cr);
        PlateFill(cr, cx - 20, 2, cx + 28, 26, Violet, 0.8);
        Lamp(cr, cx + s * 28, 25.5, 1.2, EyePink);
    }
    MirroredPath(cr, cx, {{0, 1.5}, {5, 3}, {7, 10}, {5, 18}, {2, 24}, {0, 25}});
    MetalFill(cr, cx - 7, cx + 7, DarkPlum.Lighter(0.25), 0.35, 0.8);
    Lamp(cr, cx, 11, 3.0, EyePink);
}

void Enemy2(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    for (int s = -1; s <= 1; s += 2)
        Exhaust(cr, cx + s * 22, 6, 4, TColor::Hex(0xFF8A30));
    // side hulls carrying the twin cannons
    for (int s = -1; s <= 1; s += 2) {
        const double x = cx + s * 22;
        Barrel(cr, x, 70, 96, 2.2, Gunmetal);
        MirroredPath(cr, x, {{0, 3}, {6, 6}, {8, 30}, {7, 64}, {4, 78}, {0, 80}});
        MetalFill(cr, x - 8, x + 8, Bronze, 0.35, 0.9);
        for (double y : {24.0, 44.0, 60.0})
            Line(cr, x - 6, y, x + 6, y, Bronze.Scaled(0.4), 0.8, 0.7);
        Lamp(cr, x, 72, 1.6, EyeAmber);
    }
    // the wing joining them
    MirroredPath(cr, cx, {{0, 22}, {18, 24}, {18, 50}, {9, 58}, {0, 56}});
    PlateFill(cr, cx - 18, 22, cx + 18, 58, Crimson.Scaled(0.8), 0.8);
    // central hull with the cockpit, nose down
    MirroredPath(cr, cx, {{0, 8}, {6, 12}, {9, 36}, {8, 70}, {4, 92}, {0, 101}});
    MetalFill(cr, cx - 9, cx + 9, Gunmetal.Lighter(0.2), 0.35, 1.0);
    Line(cr, cx, 14, cx, 88, TColor::Hex(0xFFFFFF), 0.25, 0.8);
    Canopy(cr, cx, 64, 3.6, 8, EyeAmber);
    for (int i = 0; i < 3; ++i)
        Lamp(cr, cx, 24 + i * 9, 1.2, EyeRed);
}

void Enemy3(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    Exhaust(cr, cx, 5, 5, TColor::Hex(0xC050FF));
    // tail fins at the top
    MirroredPath(cr, cx, {{4, 4}, {26, 2}, {27, 10}, {12, 34}, {5, 36}});
    PlateFill(cr, cx - 26, 0, cx + 26, 36, Violet, 0.8);
    // side blades along the lance
    MirroredPath(cr, cx, {{5, 60}, {16, 74}, {18, 110}, {7, 122}});
    PlateFill(cr, cx - 18, 60, cx + 18, 122, DarkPlum.Lighter(0.2), 0.8);
    // the long spine
    MirroredPath(cr, cx, {{0, 3}, {6, 6}, {8, 40}, {7, 120}, {6, 140}, {3, 152}, {0, 154}});
    MetalFill(cr, cx - 8, cx + 8, Gunmetal.Lighter(0.15), 0.35, 1.0);
    // glowing rings down the spine, feeding the plasma emitter
    for (int i = 0; i < 5; ++i) {
        const double y = 48 + i * 18;
        EllipsePath(cr, cx, y, 6.5, 2.2);
        SetColor(cr, DarkPlum.Scaled(0.6));
        cairo_fill(cr);
        RadialGlowEllipse(cr, cx, y, 7, 3, EyePink, 0.8);
    }
    Canopy(cr, cx, 28, 3.2, 7, EyeGreen);
    // the emitter at the nose
    RadialGlow(cr, cx, 150, 9, EyePink, 0.8);
    Lamp(cr, cx, 150, 3.2, TColor::Hex(0xFFA0F0));
}

void Enemy4(cairo_t* cr, double w, double h)
{
    const double cx = w / 2, cy = 34;
    (void)h;
    // three barrels fanned downwards
    for (int i = -1; i <= 1; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, -i * 0.5);
        Barrel(cr, 0, 20, 40, 2.4, Gunmetal);
        cairo_restore(cr);
    }
    // the saucer
    EllipsePath(cr, cx, cy, 35, 30);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 10, cy - 12, 2, cx, cy, 36);
    AddStop(p, 0.0, Violet.Lighter(0.5));
    AddStop(p, 0.5, Violet);
    AddStop(p, 1.0, DarkPlum.Scaled(0.5));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, DarkPlum.Scaled(0.3), 1);
    // armour ring with vents
    EllipsePath(cr, cx, cy, 25, 21);
    StrokeWith(cr, DarkPlum.Scaled(0.45), 2, 0.9);
    for (int i = 0; i < 12; ++i) {
        const double a = i * Pi / 6 + 0.26;
        Lamp(cr, cx + std::cos(a) * 30, cy + std::sin(a) * 25.5, 0.9, i % 3 ? EyeAmber : EyeRed);
    }
    // the dome and its red eye
    EllipsePath(cr, cx, cy, 14, 12);
    MetalFill(cr, cx - 14, cx + 14, Gunmetal.Lighter(0.2), 0.35, 0.9);
    Lamp(cr, cx, cy + 2, 5, EyeRed);
}

void Enemy5(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    for (int s = -1; s <= 1; s += 2)
        Exhaust(cr, cx + s * 10, 4, 3.2, TColor::Hex(0xFF6A20));
    // broad delta
    MirroredPath(cr, cx, {{0, 2}, {14, 4}, {39, 40}, {38, 50}, {14, 50}, {0, 56}});
    PlateFill(cr, cx - 39, 2, cx + 39, 56, Crimson.Scaled(0.75), 0.9);
    for (int s = -1; s <= 1; s += 2) {
        Line(cr, cx + s * 14, 8, cx + s * 36, 42, TColor::Hex(0xFF8040), 0.7, 1.0);
        // the missile pods, warheads showing
        const double x = cx + s * 21;
        MirroredPath(cr, x, {{0, 14}, {6, 18}, {6, 58}, {4, 62}, {0, 63}});
        MetalFill(cr, x - 6, x + 6, Gunmetal, 0.35, 0.8);
        for (int k = -1; k <= 1; k += 2) {
            EllipsePath(cr, x + k * 2.6, 60, 1.6, 3.2);
            SetColor(cr, TColor::Hex(0xE0D0C0));
            cairo_fill(cr);
            Line(cr, x + k * 2.6, 58, x + k * 2.6, 62.5, EyeRed, 0.9, 1.0);
        }
    }
    MirroredPath(cr, cx, {{0, 2}, {7, 6}, {9, 30}, {7, 56}, {3, 66}, {0, 69}});
    MetalFill(cr, cx - 9, cx + 9, Gunmetal.Lighter(0.25), 0.35, 1.0);
    Canopy(cr, cx, 46, 3.6, 7, EyeAmber);
    Lamp(cr, cx, 22, 2.4, EyeRed);
}

void Enemy6(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    for (int s = -1; s <= 1; s += 2)
        Exhaust(cr, cx + s * 16, 5, 4.5, TColor::Hex(0x70FF50));
    // heavy bat wings with ribs
    MirroredPath(cr, cx, {{6, 8}, {30, 6}, {42, 20}, {40, 48}, {34, 40}, {30, 56}, {24, 50}, {16, 72}, {8, 74}});
    PlateFill(cr, cx - 42, 6, cx + 42, 74, TColor::Hex(0x3A1418), 0.9);
    for (int s = -1; s <= 1; s += 2) {
        Line(cr, cx + s * 10, 14, cx + s * 40, 22, Crimson, 0.9, 1.4);
        Line(cr, cx + s * 10, 22, cx + s * 33, 42, Crimson, 0.9, 1.4);
        Line(cr, cx + s * 10, 30, cx + s * 22, 54, Crimson, 0.9, 1.4);
        Barrel(cr, cx + s * 30, 40, 64, 2.4, Gunmetal);
    }
    // armoured hull
    MirroredPath(cr, cx, {{0, 2}, {12, 6}, {15, 40}, {13, 80}, {8, 100}, {0, 108}});
    MetalFill(cr, cx - 15, cx + 15, TColor::Hex(0x5A3438), 0.35, 1.2);
    for (double y : {30.0, 46.0})
        Line(cr, cx - 13, y, cx + 13, y, TColor::Hex(0x200808), 0.8, 0.8);
    // the skull on the prow: its weapon's mark
    const double sy = 78;
    EllipsePath(cr, cx, sy, 9, 9.5);
    PlateFill(cr, cx - 9, sy - 9, cx + 9, sy + 9, Bone, 0.8);
    cairo_rectangle(cr, cx - 5.5, sy + 5, 11, 7);
    PlateFill(cr, cx - 5, sy + 5, cx + 5, sy + 12, Bone.Scaled(0.9), 0.7);
    for (int s = -1; s <= 1; s += 2) {
        EllipsePath(cr, cx + s * 3.6, sy + 0.5, 2.6, 3);
        SetColor(cr, TColor::Hex(0x100404));
        cairo_fill(cr);
        RadialGlow(cr, cx + s * 3.6, sy + 0.8, 2.6, EyeGreen, 0.9);
    }
    for (int i = -1; i <= 1; ++i)
        Line(cr, cx + i * 2.5, sy + 8, cx + i * 2.5, sy + 11.5, TColor::Hex(0x302020), 0.9, 0.8);
}

void Enemy7(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    Exhaust(cr, cx, 4, 4, TColor::Hex(0xFFA030));
    // pincers reaching down
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, cx + s * 14, 30);
        cairo_curve_to(cr, cx + s * 40, 30, cx + s * 40, 60, cx + s * 18, 74);
        cairo_curve_to(cr, cx + s * 28, 58, cx + s * 28, 44, cx + s * 12, 44);
        cairo_close_path(cr);
        PlateFill(cr, cx - 30, 30, cx + 40, 74, Bronze, 0.9);
        Line(cr, cx + s * 26, 38, cx + s * 32, 52, Bronze.Lighter(0.5), 0.6, 1.0);
        Lamp(cr, cx + s * 18.5, 72, 1.4, EyeAmber);
    }
    // legs / fins at the back
    MirroredPath(cr, cx, {{4, 2}, {24, 8}, {32, 2}, {34, 8}, {22, 22}, {6, 24}});
    PlateFill(cr, cx - 34, 2, cx + 34, 24, Bronze.Scaled(0.7), 0.8);
    // carapace
    EllipsePath(cr, cx, 32, 17, 24);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 6, 22, 2, cx, 32, 26);
    AddStop(p, 0.0, Bronze.Lighter(0.5));
    AddStop(p, 0.5, Bronze);
    AddStop(p, 1.0, Bronze.Scaled(0.3));
    FillWithPattern(cr, p);
    for (int i = 0; i < 3; ++i)
        Line(cr, cx - 14 + i * 2, 20 + i * 9, cx + 14 - i * 2, 20 + i * 9, Bronze.Scaled(0.35), 0.8, 0.9);
    // the gun under the head
    Barrel(cr, cx, 50, 66, 3, Gunmetal);
    Lamp(cr, cx - 5, 46, 2.2, EyeRed);
    Lamp(cr, cx + 5, 46, 2.2, EyeRed);
}

void Enemy8(cairo_t* cr, double w, double h)
{
    const double cx = w / 2;
    (void)h;
    for (int s = -1; s <= 1; s += 2)
        Exhaust(cr, cx + s * 8, 4, 3, TColor::Hex(0xFF4060));
    // swept-back blades
    MirroredPath(cr, cx, {{5, 10}, {27, 2}, {29, 8}, {20, 26}, {8, 44}});
    PlateFill(cr, cx - 29, 2, cx + 29, 44, DarkPlum.Lighter(0.15), 0.8);
    for (int s = -1; s <= 1; s += 2)
        Line(cr, cx + s * 8, 14, cx + s * 26, 5, EyeRed, 0.9, 1.1);
    // needle hull with the laser under it
    MirroredPath(cr, cx, {{0, 2}, {6, 5}, {8, 24}, {6, 50}, {3, 64}, {0, 68}});
    MetalFill(cr, cx - 8, cx + 8, Gunmetal.Lighter(0.1), 0.35, 1.0);
    Canopy(cr, cx, 28, 3, 7, EyeRed.Lighter(0.1));
    cairo_rectangle(cr, cx - 1.6, 56, 3.2, 15);
    MetalFill(cr, cx - 1.6, cx + 1.6, Gunmetal.Lighter(0.3), 0.35, 0.5);
    RadialGlow(cr, cx, 71, 4.5, EyeRed, 0.9);
    Lamp(cr, cx, 71, 1.8, TColor::Hex(0xFF9090));
}

} // namespace

TPicture DrawEnemy(int kind)
{
    const TSize s = EntrySize(10 + kind);
    TCanvas canvas(s.Width, s.Height);
    cairo_t* cr = canvas.cr();
    void (*const draw[9])(cairo_t*, double, double) = {Enemy0, Enemy1, Enemy2, Enemy3, Enemy4,
                                                       Enemy5, Enemy6, Enemy7, Enemy8};
    draw[kind](cr, s.Width, s.Height);
    return canvas.Keyed();
}
