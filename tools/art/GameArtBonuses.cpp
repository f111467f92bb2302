// The bonuses that fall from destroyed enemies: each an emblem inside a
// glowing capsule whose ring pulses and whose light runs round it over the
// eight frames; and the HUD's weapon icons, built from the same emblems.
#include <cmath>
#include <string>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

struct TBonusLook {
    TColor Ring;       // the capsule's colour
    const char* Label; // letters on the gun capsules, empty for the others
};

const TBonusLook BonusLooks[9] = {
    {TColor::Hex(0x40E0F0), ""},        // Armor
    {TColor::Hex(0x40FF60), ""},        // Live
    {TColor::Hex(0xD0F040), ""},        // Energy
    {TColor::Hex(0x40A0FF), "ION"},     // Ionic gun
    {TColor::Hex(0xFF4050), "LASER"},   // Laser gun
    {TColor::Hex(0xC060FF), "PLASMA"},  // Plasma gun
    {TColor::Hex(0xFF9A30), "MISSILE"}, // Missiles
    {TColor::Hex(0x90FF40), ""},        // Mega-skull
    {TColor::Hex(0xFF5A20), ""},        // mega-bomb
};

void Shield(cairo_t* cr, double x, double y, double k, const TColor& c)
{
    cairo_move_to(cr, x, y - 13 * k);
    cairo_curve_to(cr, x + 6 * k, y - 10 * k, x + 10 * k, y - 10 * k, x + 12 * k, y - 11 * k);
    cairo_curve_to(cr, x + 12 * k, y + 2 * k, x + 8 * k, y + 10 * k, x, y + 15 * k);
    cairo_curve_to(cr, x - 8 * k, y + 10 * k, x - 12 * k, y + 2 * k, x - 12 * k, y - 11 * k);
    cairo_curve_to(cr, x - 10 * k, y - 10 * k, x - 6 * k, y - 10 * k, x, y - 13 * k);
    cairo_close_path(cr);
    PlateFill(cr, x - 12 * k, y - 13 * k, x + 12 * k, y + 15 * k, c, 1.0);
    // the boss and its cross
    Line(cr, x, y - 9 * k, x, y + 10 * k, c.Lighter(0.7), 0.9, 1.6 * k);
    Line(cr, x - 8 * k, y - 3 * k, x + 8 * k, y - 3 * k, c.Lighter(0.7), 0.9, 1.6 * k);
}

void PowerCell(cairo_t* cr, double x, double y, double k, const TColor& c)
{
    cairo_rectangle(cr, x - 3 * k, y - 14 * k, 6 * k, 3 * k);
    MetalFill(cr, x - 3 * k, x + 3 * k, TColor::Hex(0xB0B8C0), 0.35, 0.6);
    cairo_rectangle(cr, x - 8 * k, y - 11 * k, 16 * k, 25 * k);
    MetalFill(cr, x - 8 * k, x + 8 * k, c.Scaled(0.7), 0.3, 1.0);
    // charge bars
    for (int i = 0; i < 3; ++i) {
        cairo_rectangle(cr, x - 5.5 * k, y + (6 - i * 7) * k, 11 * k, 5 * k);
        SetColor(cr, c.Lighter(0.2 + 0.15 * i));
        cairo_fill(cr);
    }
    // the bolt
    PolyPath(cr, {{x + 2 * k, y - 10 * k}, {x - 4 * k, y + 1 * k}, {x, y + 1 * k}, {x - 2 * k, y + 11 * k}, {x + 4.5 * k, y - 2 * k}, {x + 0.5 * k, y - 2 * k}});
    SetColor(cr, {1, 1, 1}, 0.95);
    cairo_fill_preserve(cr);
    StrokeWith(cr, c.Scaled(0.3), 0.6);
}

void Skull(cairo_t* cr, double x, double y, double k, const TColor& eyes)
{
    const TColor bone = TColor::Hex(0xEAE2CC);
    EllipsePath(cr, x, y - 3 * k, 12 * k, 12 * k);
    PlateFill(cr, x - 12 * k, y - 15 * k, x + 12 * k, y + 9 * k, bone, 1.0);
    MirroredPath(cr, x, {{0, y + 4 * k}, {7.5 * k, y + 4 * k}, {7 * k, y + 12 * k}, {0, y + 13 * k}});
    PlateFill(cr, x - 7 * k, y + 4 * k, x + 7 * k, y + 13 * k, bone.Scaled(0.9), 0.9);
    for (int s = -1; s <= 1; s += 2) {
        EllipsePath(cr, x + s * 5 * k, y - 2 * k, 3.6 * k, 4.2 * k);
        SetColor(cr, TColor::Hex(0x100808));
        cairo_fill(cr);
        RadialGlow(cr, x + s * 5 * k, y - 1.5 * k, 3.4 * k, eyes, 1.0);
    }
    PolyPath(cr, {{x, y + 2 * k}, {x - 2 * k, y + 6 * k}, {x + 2 * k, y + 6 * k}});
    SetColor(cr, TColor::Hex(0x201410));
    cairo_fill(cr);
    for (int i = -2; i <= 2; ++i)
        Line(cr, x + i * 2.6 * k, y + 8.5 * k, x + i * 2.6 * k, y + 12.5 * k, TColor::Hex(0x403028), 0.9, 0.9 * k);
}

void Bomb(cairo_t* cr, double x, double y, double k, const TColor& spark)
{
    EllipsePath(cr, x, y + 2 * k, 12 * k, 12 * k);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - 4 * k, y - 3 * k, 0, x, y + 2 * k, 13 * k);
    AddStop(p, 0.0, TColor::Hex(0x8890A0));
    AddStop(p, 0.4, TColor::Hex(0x383C48));
    AddStop(p, 1.0, TColor::Hex(0x101218));
    FillWithPattern(cr, p);
    // red danger band
    cairo_save(cr);
    EllipsePath(cr, x, y + 2 * k, 12 * k, 12 * k);
    cairo_clip(cr);
    cairo_rectangle(cr, x - 13 * k, y + 1 * k, 26 * k, 4 * k);
    SetColor(cr, TColor::Hex(0xD02018), 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_rectangle(cr, x - 3.5 * k, y - 13 * k, 7 * k, 4.5 * k);
    MetalFill(cr, x - 3.5 * k, x + 3.5 * k, TColor::Hex(0x909098), 0.35, 0.6);
    cairo_move_to(cr, x, y - 13 * k);
    cairo_curve_to(cr, x + 2 * k, y - 17 * k, x + 6 * k, y - 16 * k, x + 7 * k, y - 19 * k);
    StrokeWith(cr, TColor::Hex(0xC0A070), 1.3 * k);
    RadialGlow(cr, x + 7 * k, y - 19 * k, 4 * k, spark, 1.0);
    RadialGlow(cr, x + 7 * k, y - 19 * k, 1.6 * k, {1, 1, 1}, 1.0);
}

// The gun emblems: each shows what the gun fires.
void GunEmblem(cairo_t* cr, int kind, double x, double y, double k, const TColor& c)
{
    switch (kind) {
    case 3: // ion: three fanned bolts
        for (int i = -1; i <= 1; ++i) {
            cairo_save(cr);
            cairo_translate(cr, x, y + 8 * k);
            cairo_rotate(cr, i * 0.38);
            RadialGlowEllipse(cr, 0, -10 * k, 3 * k, 7 * k, c, 0.9);
            EllipsePath(cr, 0, -11 * k, 1.4 * k, 4.5 * k);
            SetColor(cr, {1, 1, 1});
            cairo_fill(cr);
            cairo_restore(cr);
        }
        break;
    case 4: // laser: a white-hot needle from an emitter
        cairo_rectangle(cr, x - 3.5 * k, y + 3 * k, 7 * k, 8 * k);
        MetalFill(cr, x - 3.5 * k, x + 3.5 * k, TColor::Hex(0xA0A0B0), 0.35, 0.6);
        RadialGlowEllipse(cr, x, y - 5 * k, 4 * k, 11 * k, c, 0.95);
        cairo_rectangle(cr, x - 1 * k, y - 15 * k, 2 * k, 18 * k);
        SetColor(cr, {1, 1, 1});
        cairo_fill(cr);
        break;
    case 5: // plasma: a violet orb
        RadialGlow(cr, x, y, 11 * k, c, 0.95);
        RadialGlow(cr, x, y, 6 * k, c.Lighter(0.5), 1.0);
        RadialGlow(cr, x, y, 3 * k, {1, 1, 1}, 1.0);
        break;
    default: // missiles: two rockets side by side
        for (int s = -1; s <= 1; s += 2) {
            const double mx = x + s * 4.5 * k;
            RadialGlowEllipse(cr, mx, y + 11 * k, 2.5 * k, 4 * k, TColor::Hex(0xFFD060), 0.95);
            cairo_rectangle(cr, mx - 2 * k, y - 6 * k, 4 * k, 15 * k);
            MetalFill(cr, mx - 2 * k, mx + 2 * k, TColor::Hex(0xD8D8E0), 0.35, 0.5);
            MirroredPath(cr, mx, {{0, y - 12 * k}, {2 * k, y - 6 * k}});
            SetColor(cr, TColor::Hex(0xD03030));
            cairo_fill(cr);
            MirroredPath(cr, mx, {{2 * k, y + 4 * k}, {3.8 * k, y + 9 * k}, {2 * k, y + 9 * k}});
            SetColor(cr, TColor::Hex(0xA02020));
            cairo_fill(cr);
        }
        break;
    }
}

void Emblem(cairo_t* cr, int kind, double x, double y, double k, const TColor& c)
{
    switch (kind) {
    case 0: Shield(cr, x, y, k, c); break;
    case 1:
        cairo_save(cr);
        cairo_translate(cr, x - 65 * 0.38 * k / 2, y - 100 * 0.38 * k / 2 + 1);
        cairo_scale(cr, 0.38 * k, 0.38 * k);
        DrawWarship(cr, 0, 1);
        cairo_restore(cr);
        break;
    case 2: PowerCell(cr, x, y, k, c); break;
    case 7: Skull(cr, x, y, k, c); break;
    case 8: Bomb(cr, x, y, k, TColor::Hex(0xFFC040)); break;
    default: GunEmblem(cr, kind, x, y, k, c); break;
    }
}

// The capsule: dark glass inside a glowing ring; the ring's glow pulses and a
// bright spark runs round it once over the eight frames.
void Capsule(cairo_t* cr, double w, double h, int frame, const TColor& c)
{
    const double x = w / 2, y = h / 2;
    const double rx = w / 2 - 4, ry = h / 2 - 4;
    const double pulse = 0.5 + 0.5 * std::cos(frame * 2 * Pi / 8);
    RadialGlowEllipse(cr, x, y, rx + 3, ry + 3, c, 0.35 + 0.3 * pulse);
    EllipsePath(cr, x, y, rx, ry);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - rx * 0.3, y - ry * 0.35, 0, x, y, std::max(rx, ry));
    AddStop(p, 0.0, c.Scaled(0.35));
    AddStop(p, 0.7, c.Scaled(0.12));
    AddStop(p, 1.0, c.Scaled(0.05));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, c.Lighter(0.15 + 0.35 * pulse), 2.2);
    EllipsePath(cr, x, y, rx - 3, ry - 3);
    StrokeWith(cr, c, 0.8, 0.4);
    const double a = -Pi / 2 + frame * 2 * Pi / 8;
    RadialGlow(cr, x + std::cos(a) * rx, y + std::sin(a) * ry, 5, c.Lighter(0.6), 1.0);
    RadialGlow(cr, x + std::cos(a) * rx, y + std::sin(a) * ry, 2, {1, 1, 1}, 1.0);
    // glass glint
    cairo_save(cr);
    cairo_translate(cr, x - rx * 0.35, y - ry * 0.55);
    cairo_rotate(cr, -0.5);
    EllipsePath(cr, 0, 0, rx * 0.3, ry * 0.09);
    cairo_restore(cr);
    SetColor(cr, {1, 1, 1}, 0.35);
    cairo_fill(cr);
}

} // namespace

TPicture DrawBonusSheet(int kind)
{
    const TSize s = EntrySize(45 + kind);
    const int fw = s.Width / 8;
    const TBonusLook& look = BonusLooks[kind];
    TCanvas canvas(s.Width, s.Height);
    ForEachFrame(canvas, 8, fw, [&](cairo_t* cr, int f) {
        Capsule(cr, fw, s.Height, f, look.Ring);
        const double bob = 1 + 0.05 * std::sin(f * 2 * Pi / 8);
        const bool labelled = look.Label[0] != 0;
        const double k = (std::min(fw, s.Height) / 40.0) * bob * (labelled ? 0.85 : 1.0);
        Emblem(cr, kind, fw / 2.0, s.Height / 2.0 - (labelled ? 4 : 0), k, look.Ring);
        if (labelled) {
            const double size = 8;
            const double lw = LabelWidth(cr, look.Label, size);
            DrawLabel(cr, look.Label, fw / 2.0 - lw / 2 + 0.6, s.Height / 2.0 + 16.6, size, 0, 0, 0);
            DrawLabel(cr, look.Label, fw / 2.0 - lw / 2, s.Height / 2.0 + 16, size, 1, 1, 1);
        }
    });
    return canvas.Keyed();
}

TPicture DrawWeaponIcon(int entry)
{
    // entry -> the bonus whose emblem it shows; the basic gun has its own
    const int bonus = entry == 55   ? 4
                      : entry == 56 ? 3
                      : entry == 57 ? 5
                      : entry == 58 ? 6
                                    : -1;
    const char* const label = entry == 55   ? "LASER"
                              : entry == 56 ? "ION"
                              : entry == 57 ? "PLASMA"
                              : entry == 58 ? "MISSILE"
                                            : "GUN";
    const TSize s = EntrySize(entry);
    TCanvas canvas(s.Width, s.Height);
    cairo_t* cr = canvas.cr();
    // a dark plate with the interface's green rim
    RoundRectPath(cr, 0.5, 0.5, s.Width - 1, s.Height - 1, 4);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, s.Height);
    AddStop(p, 0.0, TColor::Hex(0x10301A));
    AddStop(p, 1.0, TColor::Hex(0x040C06));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, DarkGreen, 1);
    const double k = (s.Height - 4) / 30.0;
    const double ex = 11, ey = s.Height / 2.0;
    if (bonus >= 0) {
        Emblem(cr, bonus, ex, ey, k, BonusLooks[bonus].Ring);
    } else {
        // the basic gun: twin yellow bolts
        for (int i = -1; i <= 1; i += 2) {
            RadialGlowEllipse(cr, ex + i * 3.5, ey, 2.6, 7, TColor::Hex(0xFFA020), 0.9);
            EllipsePath(cr, ex + i * 3.5, ey - 1, 1.2, 4);
            SetColor(cr, TColor::Hex(0xFFF0C0));
            cairo_fill(cr);
        }
    }
    double size = 9;
    while (size > 6 && LabelWidth(cr, label, size) > s.Width - 25)
        size -= 0.5;
    const double lw = LabelWidth(cr, label, size);
    const double lx = 22 + (s.Width - 24 - lw) / 2;
    DrawLabel(cr, label, lx, s.Height / 2.0 + size * 0.36, size, 0, 1, 0);
    return canvas.Keyed();
}
