// Asteroids turning through their eight frames. The hit flashes and
// explosions are in GameArtHits.cpp.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

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
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // light from the upper left stays put while the rock turns
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - rx * 0.45, cy - ry * 0.5, 0, cx, cy, std::max(rx, ry) * 1.25);
    AddStop(p, 0.0, rock.Lighter(0.35));
    AddStop(p, 0.45, rock);
    AddStop(p, 1.0, rock.Scaled(0.22));
    FillWithPattern(cr, p);
    // mottled patches of lighter and darker stone, turning with the body
    TArtRandom rnd(speckleSeed);
    for (int i = 0; i < 7; ++i) {
        const double a = rnd.Range(0, 2 * Pi) + turn, d = rnd.Range(0, 0.8);
        const bool light = rnd.Int(2) == 0;
        RadialGlowEllipse(cr, cx + std::cos(a) * rx * d, cy + std::sin(a) * ry * d, rx * rnd.Range(0.25, 0.45),
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
        FillWithPattern(cr, bowl);
    }
    cairo_restore(cr);
    StrokeWith(cr, rock.Scaled(0.2), 0.8);
}

} // namespace

TPicture DrawAsteroidSheet(int kind)
{
    const TSize s = EntrySize(37 + kind);
    const int fw = s.Width / 8;
    TCanvas canvas(s.Width, s.Height);
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
    return canvas.Keyed();
}
