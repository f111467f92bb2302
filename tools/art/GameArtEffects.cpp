// Asteroids turning through their eight frames, the small hit flashes of
// shot impacts and the big explosions of destroyed ships, sixteen frames each.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

double Smooth01(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// The lumpy outline of a rock: radius (about 1) by angle on the body.
struct TRockShape {
    double Amp[6], Phase[6];
    double Radius(double a) const
    {
        double r = 0.92;
        for (int k = 0; k < 6; ++k)
            r += Amp[k] * std::sin((k + 2) * a + Phase[k]);
        return r;
    }
};

struct TCrater {
    double Angle, Distance, Size;
};

void DrawRock(cairo_t* cr, double cx, double cy, double rx, double ry, double turn, const TRockShape& shape,
              const std::vector<TCrater>& craters, const TColor& rock, uint32_t speckleSeed)
{
    // outline, turned with the body; projected through the ellipse it tumbles
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double a = 2 * Pi * i / steps;
        const double r = shape.Radius(a - turn);
        const double x = cx + std::cos(a) * rx * r, y = cy + std::sin(a) * ry * r;
        if (i == 0) cairo_move_to(cr, x, y); else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // light from the upper left stays put while the rock turns
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - rx * 0.45, cy - ry * 0.5, 0, cx, cy, std::max(rx, ry) * 1.25);
    AddStop(p, 0.0, rock.Lighter(0.35));
    AddStop(p, 0.45, rock);
    AddStop(p, 1.0, rock.Scaled(0.22));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // mottled patches of lighter and darker stone, turning with the body
    TArtRandom rnd(speckleSeed);
    for (int i = 0; i < 7; ++i) {
        const double a = rnd.Range(0, 2 * Pi) + turn, d = rnd.Range(0, 0.8);
        const bool light = rnd.Int(2) == 0;
        GlowEllipse(cr, cx + std::cos(a) * rx * d, cy + std::sin(a) * ry * d, rx * rnd.Range(0.25, 0.45),
                    ry * rnd.Range(0.25, 0.45), light ? rock.Lighter(0.25) : rock.Scaled(0.45), 0.45);
    }
    // grit
    const int specks = int(rx * ry * 0.35);
    for (int i = 0; i < specks; ++i) {
        const double a = rnd.Range(0, 2 * Pi) + turn, d = std::sqrt(rnd.Unit());
        const double x = cx + std::cos(a) * rx * d, y = cy + std::sin(a) * ry * d;
        cairo_rectangle(cr, x, y, 1, 1);
        const bool light = rnd.Int(2) == 0;
        SetColor(cr, light ? rock.Lighter(0.3) : rock.Scaled(0.5), 0.35);
        cairo_fill(cr);
    }
    // craters: a shadowed bowl with a lit lower-right rim
    for (const TCrater& c : craters) {
        const double a = c.Angle + turn;
        const double x = cx + std::cos(a) * rx * c.Distance, y = cy + std::sin(a) * ry * c.Distance;
        // foreshortened towards the limb
        const double squash = 1 - 0.45 * c.Distance;
        const double sx = c.Size * rx * (0.55 + 0.45 * squash), sy = c.Size * ry * (0.55 + 0.45 * squash);
        EllipsePath(cr, x + sx * 0.2, y + sy * 0.2, sx * 1.05, sy * 1.05);
        SetColor(cr, rock.Lighter(0.45), 0.6);
        cairo_fill(cr);
        EllipsePath(cr, x, y, sx, sy);
        cairo_pattern_t* bowl = cairo_pattern_create_linear(x - sx, y - sy, x + sx, y + sy);
        AddStop(bowl, 0.0, rock.Scaled(0.3));
        AddStop(bowl, 1.0, rock.Scaled(0.75));
        cairo_set_source(cr, bowl);
        cairo_fill(cr);
        cairo_pattern_destroy(bowl);
    }
    cairo_restore(cr);
    SetColor(cr, rock.Scaled(0.2));
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

} // namespace

TPicture DrawAsteroidSheet(int kind)
{
    const TSize s = EntrySize(37 + kind);
    const int fw = s.Width / 8;
    TArtCanvas canvas(s.Width, s.Height);
    TArtRandom rnd(kind == 0 ? 0xA57E01u : 0xA57E02u);
    TRockShape shape;
    for (int k = 0; k < 6; ++k) {
        shape.Amp[k] = rnd.Range(0.05, 0.11) / (1 + k * 0.6);
        shape.Phase[k] = rnd.Range(0, 2 * Pi);
    }
    std::vector<TCrater> craters;
    const int count = kind == 0 ? 4 : 7;
    for (int i = 0; i < count; ++i)
        craters.push_back({rnd.Range(0, 2 * Pi), rnd.Range(0.15, 0.75), rnd.Range(0.08, kind == 0 ? 0.18 : 0.15)});
    const TColor rock = kind == 0 ? TColor::Hex(0x8A7562) : TColor::Hex(0x76706A);
    const uint32_t speckles = rnd.Next();
    ForEachFrame(canvas, 8, fw, [&](cairo_t* cr, int f) {
        const double rx = fw / 2.0 - 2.5, ry = s.Height / 2.0 - 2.5;
        DrawRock(cr, fw / 2.0, s.Height / 2.0, rx * 0.9, ry * 0.9, f * 2 * Pi / 8, shape, craters, rock, speckles);
    });
    return canvas.Sprite();
}

namespace {

struct THitColors {
    TColor Hot, Warm, Cool;
};

const THitColors FlashColors[3] = {
    {TColor::Hex(0xFFFFE0), TColor::Hex(0xFFD040), TColor::Hex(0xFF6010)},
    {TColor::Hex(0xE0FFFF), TColor::Hex(0x60D0FF), TColor::Hex(0x2050FF)},
    {TColor::Hex(0xFFE8F0), TColor::Hex(0xFF6080), TColor::Hex(0xC01030)},
};

// A shot impact: a star of light that blooms and dies away in 16 frames.
void Flash(cairo_t* cr, int f, const THitColors& c)
{
    const double t = f / 15.0;
    const double grow = Smooth01(0.0, 0.25, t), fade = 1 - Smooth01(0.3, 0.95, t);
    const double r = 2 + 6 * grow;
    const double x = 8, y = 8;
    if (fade <= 0.02)
        return;
    Glow(cr, x, y, r, c.Cool, fade);
    for (int i = 0; i < 4; ++i) {
        const double a = i * Pi / 2 + t * 0.8;
        const double len = r * (1.1 - 0.3 * t);
        cairo_move_to(cr, x + std::cos(a) * len, y + std::sin(a) * len);
        cairo_line_to(cr, x + std::cos(a + Pi / 2) * 1.2, y + std::sin(a + Pi / 2) * 1.2);
        cairo_line_to(cr, x - std::cos(a) * 0.5, y - std::sin(a) * 0.5);
        cairo_line_to(cr, x + std::cos(a - Pi / 2) * 1.2, y + std::sin(a - Pi / 2) * 1.2);
        cairo_close_path(cr);
        SetColor(cr, c.Warm, fade);
        cairo_fill(cr);
    }
    Glow(cr, x, y, r * 0.55 * (1 - 0.5 * t), c.Hot, fade);
}

struct TExplosionLook {
    TColor Core, Fire, Ember, Smoke;
    int Puffs, Sparks;
    double Reach;
    uint32_t Seed;
};

const TExplosionLook ExplosionLooks[3] = {
    {TColor::Hex(0xFFFFD8), TColor::Hex(0xFFA020), TColor::Hex(0xD03010), TColor::Hex(0x4A4040), 10, 14, 18, 0xE1u},
    {TColor::Hex(0xE8F4FF), TColor::Hex(0x70A0FF), TColor::Hex(0xA040E0), TColor::Hex(0x383850), 10, 18, 19, 0xE2u},
    {TColor::Hex(0xFFF4D0), TColor::Hex(0xFF7A18), TColor::Hex(0xB01808), TColor::Hex(0x3C3432), 12, 22, 20, 0xE3u},
};

// A ship blowing up: a white bloom, rolling fire cooling into smoke, sparks
// and a shock ring flying out, all gone by the last frame.
void Explosion(cairo_t* cr, int f, const TExplosionLook& look)
{
    const double t = f / 15.0;
    const double cx = 32, cy = 32;
    const double fade = 1 - Smooth01(0.5, 1.0, t);
    TArtRandom rnd(look.Seed);
    // the shock ring
    if (t > 0.03 && t < 0.5) {
        const double ringT = (t - 0.03) / 0.47;
        EllipsePath(cr, cx, cy, 6 + 24 * ringT, 6 + 24 * ringT);
        SetColor(cr, look.Core, 0.85 * (1 - ringT));
        cairo_set_line_width(cr, 2.5 * (1 - ringT) + 0.5);
        cairo_stroke(cr);
    }
    // fire puffs: hot while young, cooling to smoke as they spread
    for (int i = 0; i < look.Puffs; ++i) {
        // puffs spread evenly round the heart, each a little off its own line
        const double a = 2 * Pi * i / look.Puffs + rnd.Range(-0.4, 0.4), d = rnd.Range(0.35, 1.0) * look.Reach;
        const double r0 = rnd.Range(8, 12), lag = rnd.Range(0, 0.15), warmth = rnd.Range(-0.15, 0.15);
        const double pt = std::clamp((t - lag) / (1 - lag), 0.0, 1.0);
        if (t < lag)
            continue;
        const double spread = 1 - std::pow(1 - pt, 2.2);
        const double x = cx + std::cos(a) * d * spread, y = cy + std::sin(a) * d * spread - 3 * pt;
        const double r = r0 * (0.6 + 0.9 * spread);
        const double heat = 1 - pt * 1.35 + warmth;
        TColor c = heat > 0.6 ? look.Core.Mixed(look.Fire, (1 - heat) / 0.4)
                 : heat > 0.2 ? look.Fire.Mixed(look.Ember, (0.6 - heat) / 0.4)
                              : look.Ember.Mixed(look.Smoke, std::clamp((0.2 - heat) / 0.35, 0.0, 1.0));
        cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.2, y - r * 0.2, 0, x, y, r);
        AddStop(p, 0.0, c.Lighter(heat > 0.2 ? 0.3 : 0.1), fade);
        AddStop(p, 0.6, c, fade * 0.9);
        AddStop(p, 1.0, c.Scaled(0.6), 0);
        cairo_set_source(cr, p);
        cairo_arc(cr, x, y, r, 0, 2 * Pi);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    // the bloom at the heart
    const double bloom = 1 - Smooth01(0.0, 0.45, t);
    if (bloom > 0.01) {
        const double grow = Smooth01(0, 0.15, t);
        Glow(cr, cx, cy, 14 + 14 * grow, look.Core, bloom);
        EllipsePath(cr, cx, cy, (5 + 6 * grow) * bloom, (5 + 6 * grow) * bloom);
        SetColor(cr, {1, 1, 1}, bloom);
        cairo_fill(cr);
    }
    // sparks and debris
    for (int i = 0; i < look.Sparks; ++i) {
        // sparks outrun the fire
        const double a = rnd.Range(0, 2 * Pi), speed = rnd.Range(20, 31);
        const double d = 6 + speed * (1 - std::pow(1 - std::min(1.0, t * 1.6), 2));
        const double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d;
        const double life = 1 - Smooth01(0.35, 0.85, t);
        if (life <= 0.02)
            continue;
        const bool debris = i % 4 == 0;
        if (debris) {
            cairo_rectangle(cr, x - 1, y - 1, 2.2, 1.6);
            SetColor(cr, TColor::Hex(0x908070), life);
        } else {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x - std::cos(a) * 5, y - std::sin(a) * 5);
            SetColor(cr, look.Core.Mixed(look.Fire, 0.3), life);
            cairo_set_line_width(cr, 1.3);
            cairo_stroke(cr);
            continue;
        }
        cairo_fill(cr);
    }
}

} // namespace

TPicture DrawHitSheet(int kind)
{
    const TSize s = EntrySize(39 + kind);
    const int fw = s.Height;
    TArtCanvas canvas(s.Width, s.Height);
    ForEachFrame(canvas, 16, fw, [&](cairo_t* cr, int f) {
        if (kind < 3)
            Flash(cr, f, FlashColors[kind]);
        else
            Explosion(cr, f, ExplosionLooks[kind - 3]);
    });
    return canvas.Sprite();
}
