// The two scrolling background layers: the far star field with its nebula
// (one 512 x 486 tile) and the five near tiles of bright stars, dust and rock
// fragments (300 x 200, black shows the far layer through). Every tile is
// drawn wrapped so that it repeats seamlessly in both directions.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

// Value noise on a lattice that wraps, so the field tiles over the picture.
class TWrappedNoise {
public:
    TWrappedNoise(int cellsX, int cellsY, uint32_t seed) : CellsX(cellsX), CellsY(cellsY),
                                                           Values(size_t(cellsX) * cellsY)
    {
        TArtRandom rnd(seed);
        for (double& v : Values)
            v = rnd.Unit();
    }
    // u, v in lattice cells (0..CellsX, 0..CellsY wrap)
    double At(double u, double v) const
    {
        const int x0 = int(std::floor(u)), y0 = int(std::floor(v));
        const double fx = Smooth(u - x0), fy = Smooth(v - y0);
        const double a = Cell(x0, y0), b = Cell(x0 + 1, y0);
        const double c = Cell(x0, y0 + 1), d = Cell(x0 + 1, y0 + 1);
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    double Cell(int x, int y) const
    {
        x = ((x % CellsX) + CellsX) % CellsX;
        y = ((y % CellsY) + CellsY) % CellsY;
        return Values[size_t(y) * CellsX + x];
    }
    int CellsX, CellsY;
    std::vector<double> Values;
};

// Fractal sum of wrapped noise, 0..1, over a w x h picture.
class TCloudField {
public:
    TCloudField(int w, int h, int baseCells, int octaves, uint32_t seed) : W(w), H(h)
    {
        int cells = baseCells;
        for (int o = 0; o < octaves; ++o, cells *= 2) {
            const int down = std::max(1, int(std::lround(cells * double(h) / w)));
            Layers.push_back({TWrappedNoise(cells, down, seed + 977u * uint32_t(o)), cells, down});
        }
    }
    double At(double x, double y) const
    {
        double sum = 0, weight = 0, amp = 1;
        for (const TLayer& l : Layers) {
            sum += amp * l.Noise.At(x / W * l.Across, y / H * l.Down);
            weight += amp;
            amp *= 0.55;
        }
        return sum / weight;
    }

private:
    struct TLayer {
        TWrappedNoise Noise;
        int Across, Down;
    };
    int W, H;
    std::vector<TLayer> Layers;
};

// Draws `draw(dx, dy)` at the tile and at its wrapped neighbours, so whatever
// crosses an edge reappears at the opposite one.
template <class F>
void Wrapped(int w, int h, double x, double y, double reach, F draw)
{
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            const double px = x + ox * w, py = y + oy * h;
            if (px + reach < 0 || px - reach > w || py + reach < 0 || py - reach > h)
                continue;
            draw(px, py);
        }
}

TColor StarTint(TArtRandom& rnd)
{
    const int t = rnd.Int(10);
    if (t < 5) return TColor::Hex(0xE8F0FF); // white-blue
    if (t < 7) return TColor::Hex(0xA8C8FF); // blue
    if (t < 9) return TColor::Hex(0xFFF0C8); // yellow
    return TColor::Hex(0xFFB89A);            // red giant
}

void DrawSparkle(cairo_t* cr, double x, double y, double len, const TColor& c, double alpha)
{
    for (int k = 0; k < 2; ++k) {
        cairo_pattern_t* p = k == 0 ? cairo_pattern_create_linear(x - len, y, x + len, y)
                                    : cairo_pattern_create_linear(x, y - len, x, y + len);
        AddStop(p, 0.0, c, 0);
        AddStop(p, 0.5, c, alpha);
        AddStop(p, 1.0, c, 0);
        cairo_set_source(cr, p);
        if (k == 0)
            cairo_rectangle(cr, x - len, y - 0.5, 2 * len, 1);
        else
            cairo_rectangle(cr, x - 0.5, y - len, 1, 2 * len);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
}

} // namespace

void DrawStarSky(cairo_t* cr, int w, int h, uint32_t seed, int count, double brightness)
{
    TArtRandom rnd(seed);
    for (int i = 0; i < count; ++i) {
        const double x = rnd.Range(0, w), y = rnd.Range(0, h);
        const TColor c = StarTint(rnd);
        const double roll = rnd.Unit();
        // most stars are faint points; a few are bright, fewer still glow
        const double size = roll < 0.75 ? rnd.Range(0.45, 0.8) : (roll < 0.97 ? rnd.Range(0.8, 1.3) : rnd.Range(1.3, 2.0));
        const double alpha = std::min(1.0, brightness * (roll < 0.75 ? rnd.Range(0.25, 0.75) : rnd.Range(0.7, 1.0)));
        const bool glows = roll >= 0.97;
        Wrapped(w, h, x, y, glows ? 12 : 3, [&](double px, double py) {
            if (glows) {
                RadialGlow(cr, px, py, size * 5, c, 0.35 * alpha);
                DrawSparkle(cr, px, py, size * 5, c.Lighter(0.5), 0.8 * alpha);
            }
            cairo_arc(cr, px, py, size, 0, 2 * Pi);
            SetColor(cr, c.Lighter(glows ? 0.6 : 0.2), alpha);
            cairo_fill(cr);
        });
    }
}

TPicture DrawFarLayer()
{
    const TSize s = EntrySize(2);
    TCanvas canvas(s.Width, s.Height);
    cairo_surface_t* surface = canvas.surface();
    cairo_surface_flush(surface);
    // The nebula: two wrapped cloud fields, one for density, one for hue.
    const TCloudField density(s.Width, s.Height, 3, 5, 0xC10D5u);
    const TCloudField hue(s.Width, s.Height, 2, 3, 0x4E7A1u);
    const TCloudField wisps(s.Width, s.Height, 6, 4, 0x77123u);
    const TColor deep = TColor::Hex(0x020309);
    const TColor violet = TColor::Hex(0x3A1456);
    const TColor teal = TColor::Hex(0x0B3550);
    const TColor rose = TColor::Hex(0x4A0E2C);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < s.Height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < s.Width; ++x) {
            const double d = density.At(x, y);
            const double t = hue.At(x, y);
            const double w = wisps.At(x, y);
            double cloud = SmoothStep(0.42, 0.78, d) * 0.8 + SmoothStep(0.55, 0.85, w) * 0.25 * SmoothStep(0.35, 0.6, d);
            cloud = std::min(1.0, cloud);
            TColor tint = t < 0.5 ? teal.Mixed(violet, SmoothStep(0.3, 0.5, t))
                                  : violet.Mixed(rose, SmoothStep(0.5, 0.72, t));
            const TColor c = deep.Mixed(tint, cloud * 0.85);
            const uint32_t r = uint32_t(std::lround(c.R * 255)), g = uint32_t(std::lround(c.G * 255)),
                           b = uint32_t(std::lround(c.B * 255));
            row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    cairo_t* cr = canvas.cr();
    // a few soft bright knots inside the nebula
    TArtRandom rnd(0xFA11u);
    for (int i = 0; i < 6; ++i) {
        const double x = rnd.Range(0, s.Width), y = rnd.Range(0, s.Height);
        if (density.At(x, y) < 0.55) {
            --i;
            continue;
        }
        const double r = rnd.Range(20, 45);
        const TColor c = i % 2 ? TColor::Hex(0x6A3CA0) : TColor::Hex(0x2A6A9A);
        Wrapped(s.Width, s.Height, x, y, r, [&](double px, double py) { RadialGlow(cr, px, py, r, c, 0.22); });
    }
    DrawStarSky(cr, s.Width, s.Height, 0x5AB1u, 900, 0.85);
    return canvas.Opaque();
}

namespace {

// A jagged rock fragment, lit from the upper left.
void DrawFragment(cairo_t* cr, double x, double y, double r, double turn, TArtRandom& rnd)
{
    const int corners = 5 + rnd.Int(4);
    std::vector<std::pair<double, double>> pts;
    for (int i = 0; i < corners; ++i) {
        const double a = turn + 2 * Pi * i / corners;
        const double rr = r * rnd.Range(0.6, 1.0);
        pts.emplace_back(x + std::cos(a) * rr, y + std::sin(a) * rr * 0.85);
    }
    const TColor rock = rnd.Int(2) ? TColor::Hex(0x6A5A4C) : TColor::Hex(0x55585E);
    cairo_move_to(cr, pts[0].first, pts[0].second);
    for (size_t i = 1; i < pts.size(); ++i)
        cairo_line_to(cr, pts[i].first, pts[i].second);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x - r, y - r, x + r, y + r);
    AddStop(p, 0.0, rock.Lighter(0.35));
    AddStop(p, 0.5, rock);
    AddStop(p, 1.0, rock.Scaled(0.35));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, rock.Scaled(0.3), 0.7, 1);
    // a lit facet
    cairo_move_to(cr, pts[0].first, pts[0].second);
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, pts[corners - 1].first, pts[corners - 1].second);
    cairo_close_path(cr);
    SetColor(cr, rock.Lighter(0.5), 0.35);
    cairo_fill(cr);
}

} // namespace

TPicture DrawNearTile(int tile)
{
    const TSize s = EntrySize(3 + tile);
    TCanvas canvas(s.Width, s.Height);
    cairo_t* cr = canvas.cr();
    TArtRandom rnd(0x0EA5u + 7919u * uint32_t(tile));
    // dust: small dim specks in drifting streaks
    const int streaks = 3 + rnd.Int(3);
    for (int k = 0; k < streaks; ++k) {
        const double cx = rnd.Range(0, s.Width), cy = rnd.Range(0, s.Height);
        const double len = rnd.Range(40, 110), a = rnd.Range(-0.6, 0.6) + Pi / 2;
        const int specks = 10 + rnd.Int(14);
        for (int i = 0; i < specks; ++i) {
            const double t = rnd.Range(-0.5, 0.5);
            const double x = cx + std::cos(a) * len * t + rnd.Range(-6, 6);
            const double y = cy + std::sin(a) * len * t + rnd.Range(-6, 6);
            const double r = rnd.Range(0.5, 1.0);
            const TColor c = TColor::Hex(rnd.Int(2) ? 0x8A7A6A : 0x707A8A);
            Wrapped(s.Width, s.Height, x, y, 2, [&](double px, double py) {
                cairo_arc(cr, px, py, r, 0, 2 * Pi);
                SetColor(cr, c, 0.8);
                cairo_fill(cr);
            });
        }
    }
    // rock fragments, a few per tile
    const int fragments = 3 + rnd.Int(5);
    for (int i = 0; i < fragments; ++i) {
        const double x = rnd.Range(0, s.Width), y = rnd.Range(0, s.Height);
        const double r = rnd.Range(2.2, 7.0), turn = rnd.Range(0, 2 * Pi);
        const uint32_t shapeSeed = rnd.Next();
        Wrapped(s.Width, s.Height, x, y, r + 2, [&](double px, double py) {
            TArtRandom shape(shapeSeed);
            DrawFragment(cr, px, py, r, turn, shape);
        });
    }
    // sparse bright stars, nearer and sharper than the far layer's
    TArtRandom starRnd(0x51A2u + 104729u * uint32_t(tile));
    const int stars = 18 + starRnd.Int(10);
    for (int i = 0; i < stars; ++i) {
        const double x = starRnd.Range(0, s.Width), y = starRnd.Range(0, s.Height);
        const TColor c = StarTint(starRnd);
        const bool big = starRnd.Int(6) == 0;
        const double r = big ? starRnd.Range(1.2, 1.7) : starRnd.Range(0.7, 1.1);
        Wrapped(s.Width, s.Height, x, y, 10, [&](double px, double py) {
            if (big) {
                RadialGlow(cr, px, py, 4.5, c, 0.7);
                DrawSparkle(cr, px, py, 6, c.Lighter(0.6), 0.9);
            }
            cairo_arc(cr, px, py, r, 0, 2 * Pi);
            SetColor(cr, c.Lighter(0.5), 1);
            cairo_fill(cr);
        });
    }
    return canvas.KeyedOnBlack();
}
