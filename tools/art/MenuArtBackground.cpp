// The menu backdrop: deep space over the horizon of a green-blue planet, a
// thin nebula and a small moon. The middle of the screen stays dark, since the
// help pages, the options and the high-score table are written over it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "MenuArt.h"

namespace {

constexpr int W = 800, H = 600;

// Value noise on an integer lattice, hashed from a seed.
double Lattice(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

double ValueNoise(double x, double y, uint32_t seed)
{
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const double fx = Smooth(x - ix), fy = Smooth(y - iy);
    const double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    const double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double Fbm(double x, double y, uint32_t seed, int octaves = 5)
{
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise(x, y, seed + uint32_t(o) * 101u);
        norm += amp;
        x = x * 2.03 + 17.1;
        y = y * 2.03 - 9.7;
        amp *= 0.5;
    }
    return sum / norm;
}

struct TField {
    std::vector<double> R, G, B;
    TField() : R(size_t(W) * H), G(size_t(W) * H), B(size_t(W) * H) {}
    void Add(int x, int y, double r, double g, double b)
    {
        if (x < 0 || y < 0 || x >= W || y >= H)
            return;
        const size_t i = size_t(y) * W + x;
        R[i] += r;
        G[i] += g;
        B[i] += b;
    }
};

// The planet whose horizon crosses the lower left of the screen.
constexpr double PlanetX = 200, PlanetY = 1450, PlanetR = 960;

void PaintSky(TField& f)
{
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const size_t i = size_t(y) * W + x;
            const double t = y / double(H);
            double r = 0.008 + 0.010 * t, g = 0.012 + 0.012 * t, b = 0.030 + 0.022 * t;
            // the nebula: a broad veil in the upper right, a thin strand to the left
            const double veil = std::exp(-(std::pow((x - 610) / 300.0, 2) + std::pow((y - 180) / 190.0, 2)));
            const double strand =
                0.55 * std::exp(-std::pow((y - (300 - 0.35 * (x - 200))) / 70.0, 2)) * SmoothStep(0, 260, x);
            const double mask = std::max(veil, strand);
            const double n1 = Fbm(x / 230.0, y / 230.0, 11);
            const double n2 = Fbm(x / 120.0 + 5, y / 120.0 + 9, 23);
            const double wisp = Fbm(x / 55.0, y / 35.0, 37, 4);
            double density = SmoothStep(0.38, 0.78, n1) * mask * (0.55 + 0.6 * wisp);
            // darker dust lanes across the glow
            density *= 0.55 + 0.45 * SmoothStep(0.25, 0.6, Fbm(x / 90.0 - 3, y / 60.0 + 2, 41, 4));
            // calmer behind the help and option texts in the middle
            const double inside = std::min({x - 20.0, 780.0 - x, y - 140.0, 460.0 - y});
            const double k = 0.30 - 0.16 * SmoothStep(-50, 10, inside);
            const TColor teal{0.06, 0.42, 0.40}, violet{0.30, 0.12, 0.46};
            const TColor c = teal.Mixed(violet, SmoothStep(0.3, 0.7, n2));
            r += c.R * density * k;
            g += c.G * density * k;
            b += c.B * density * k;
            f.R[i] = r;
            f.G[i] = g;
            f.B[i] = b;
        }
    }
}

void Stamp(TField& f, double cx, double cy, double sigma, TColor c, double intensity)
{
    const int reach = int(std::ceil(sigma * 3));
    for (int y = int(cy) - reach; y <= int(cy) + reach; ++y)
        for (int x = int(cx) - reach; x <= int(cx) + reach; ++x) {
            const double d2 = (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy);
            const double v = intensity * std::exp(-d2 / (2 * sigma * sigma));
            f.Add(x, y, c.R * v, c.G * v, c.B * v);
        }
}

TColor StarTint(TArtRandom& rnd)
{
    switch (rnd.Int(6)) {
    case 0: return {0.75, 0.85, 1.0};
    case 1: return {1.0, 0.92, 0.75};
    case 2: return {0.8, 1.0, 0.85};
    default: return {0.95, 0.97, 1.0};
    }
}

void PaintStars(TField& f)
{
    TArtRandom rnd(0x5EED60u);
    for (int s = 0; s < 1100; ++s) {
        const double x = rnd.Range(0, W), y = rnd.Range(0, H);
        const double u = rnd.Unit();
        const double b = 0.08 + 0.9 * std::pow(u, 7);
        const TColor tint = StarTint(rnd);
        Stamp(f, x, y, 0.45 + 0.35 * std::pow(u, 4), tint, b * 2.2);
    }
    // a few bright stars, away from the places where text is written
    struct TBig {
        double X, Y, Size;
        TColor Tint;
    };
    // clang-format off
    const TBig big[] = {
        {338, 128, 1.0, {0.85, 0.95, 1.0}}, {446, 498, 0.8, {1.0, 0.95, 0.85}}, {791, 296, 0.9, {0.8, 1.0, 0.9}},
        {268, 22, 0.6, {1.0, 1.0, 1.0}},    {12, 470, 0.6, {0.8, 0.9, 1.0}},
    };
    // clang-format on
    for (const TBig& s : big) {
        Stamp(f, s.X, s.Y, 0.9 * s.Size, s.Tint, 1.6);
        Stamp(f, s.X, s.Y, 3.5 * s.Size, s.Tint, 0.16);
        // diffraction spikes
        const int len = int(18 * s.Size);
        for (int d = 2; d <= len; ++d) {
            const double v = 0.5 * std::pow(1.0 - d / double(len + 1), 2.2);
            for (int sign : {-1, 1}) {
                f.Add(int(s.X) + sign * d, int(s.Y), s.Tint.R * v, s.Tint.G * v, s.Tint.B * v);
                f.Add(int(s.X), int(s.Y) + sign * d, s.Tint.R * v, s.Tint.G * v, s.Tint.B * v);
            }
        }
    }
}

void PaintPlanet(TField& f)
{
    for (int y = 360; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double dx = x + 0.5 - PlanetX, dy = y + 0.5 - PlanetY;
            const double dist = std::sqrt(dx * dx + dy * dy);
            const double depth = PlanetR - dist; // > 0 inside the planet
            // sunlight comes from the upper left; the right side of the horizon is in shadow
            const double sun = SmoothStep(760, 40, x);
            const size_t i = size_t(y) * W + x;
            if (depth > -60 && depth <= 0) {
                // atmosphere glow above the horizon
                const double g = std::exp(depth / 9.0) * 0.55 + std::exp(depth / 26.0) * 0.12;
                const double v = g * (0.15 + 0.85 * sun);
                f.R[i] += 0.10 * v;
                f.G[i] += 0.75 * v;
                f.B[i] += 0.62 * v;
            }
            if (depth <= 0)
                continue;
            const double cover = std::min(1.0, depth);         // anti-aliased horizon
            const double along = std::atan2(dy, dx) * PlanetR; // distance along the horizon
            const double bands = Fbm(along / 160.0, depth / 16.0, 77);
            const double clouds = Fbm(along / 60.0, depth / 9.0, 91, 4);
            const double surface = 0.45 * bands + 0.55 * SmoothStep(0.45, 0.8, clouds);
            const TColor deep{0.015, 0.05, 0.06}, bright{0.09, 0.30, 0.26};
            TColor c = deep.Mixed(bright, surface);
            // lit near the horizon, falling into night further down
            const double light = (0.12 + 0.88 * std::exp(-depth / 70.0)) * (0.25 + 0.75 * sun);
            c = {c.R * light, c.G * light, c.B * light};
            // the sunlit rim of the atmosphere
            const double rim = std::exp(-depth / 3.0) * (0.2 + 0.8 * sun);
            c.R += 0.25 * rim;
            c.G += 0.95 * rim;
            c.B += 0.75 * rim;
            f.R[i] = f.R[i] * (1 - cover) + c.R * cover;
            f.G[i] = f.G[i] * (1 - cover) + c.G * cover;
            f.B[i] = f.B[i] * (1 - cover) + c.B * cover;
        }
    }
}

void PaintMoon(cairo_t* cr)
{
    const double mx = 318, my = 66, mr = 19;
    cairo_save(cr);
    cairo_arc(cr, mx, my, mr, 0, 2 * M_PI);
    cairo_pattern_t* body = cairo_pattern_create_radial(mx - 9, my - 7, 2, mx, my, mr);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.55, 0.62, 0.62);
    cairo_pattern_add_color_stop_rgb(body, 0.55, 0.20, 0.26, 0.28);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.04, 0.06, 0.08);
    FillWithPattern(cr, body, true);
    // the night side
    cairo_clip(cr);
    cairo_arc(cr, mx + 10, my + 6, mr * 1.05, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0.01, 0.015, 0.03, 0.82);
    cairo_fill(cr);
    // a few craters on the lit side
    const double craters[][3] = {{-8, -6, 3}, {-3, 4, 2.2}, {-12, 3, 1.6}, {1, -11, 1.8}};
    for (const auto& c : craters) {
        cairo_arc(cr, mx + c[0], my + c[1], c[2], 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.05, 0.08, 0.09, 0.45);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

cairo_surface_t* RenderBackdrop()
{
    TField f;
    PaintSky(f);
    PaintStars(f);
    PaintPlanet(f);
    cairo_surface_t* s = NewCanvas(W, H);
    cairo_surface_flush(s);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    TArtRandom dither(0xD17u);
    auto channel = [&](double v) {
        const double d = (dither.Unit() - 0.5) / 255.0; // break up banding in the dark gradients
        return uint32_t(std::clamp(std::lround((v + d) * 255.0), 0L, 255L));
    };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const size_t i = size_t(y) * W + x;
            data[size_t(y) * stride + x] =
                0xFF000000u | (channel(f.R[i]) << 16) | (channel(f.G[i]) << 8) | channel(f.B[i]);
        }
    cairo_surface_mark_dirty(s);
    cairo_t* cr = cairo_create(s);
    PaintMoon(cr);
    cairo_destroy(cr);
    return s;
}

} // namespace

cairo_surface_t* MenuBackdrop()
{
    // drawn once per run; the pictures painted over it share the same pixels
    static cairo_surface_t* backdrop = RenderBackdrop();
    return backdrop;
}

TPicture DrawMenuBackground()
{
    TCanvas c(W, H);
    PaintBackdrop(c.cr(), 0, 0);
    return c.Opaque();
}
