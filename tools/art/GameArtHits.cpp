// Shot impacts (16 x 16) and exploding ships (64 x 64), sixteen frames each,
// worked out pixel by pixel: turbulent fire from hashed value noise, sparks
// and burning debris as streaks, smoke that thins and breaks apart.
//
// The game draws these sheets with a colour key, so a pixel is either fully
// drawn or transparent. Nothing here is blended towards a background: every
// drawn pixel takes the colour of the flame, smoke or spark it belongs to, so
// the outline never shows a dark or magenta fringe over the star field.
#include <algorithm>
#include <cmath>
#include <vector>

#include "ArtSizes.h"
#include "GameArt.h"

namespace {

// ---- noise -----------------------------------------------------------------

uint32_t Mix32(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// A hash of a lattice point.
uint32_t Lattice(int x, int y, int z, uint32_t seed)
{
    return Mix32(seed ^ Mix32(uint32_t(x) ^ Mix32(uint32_t(y) * 0x9E3779B9u ^ Mix32(uint32_t(z)))));
}

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// The slope a lattice point gives to (x, y, z), its offset from that point:
// one of twelve directions towards the edges of a cube.
double Slope(uint32_t h, double x, double y, double z)
{
    switch (h % 12) {
    case 0: return x + y;
    case 1: return -x + y;
    case 2: return x - y;
    case 3: return -x - y;
    case 4: return x + z;
    case 5: return -x + z;
    case 6: return x - z;
    case 7: return -x - z;
    case 8: return y + z;
    case 9: return -y + z;
    case 10: return y - z;
    default: return -y - z;
    }
}

// Gradient noise in three dimensions (the third one is time), about -0.5..0.5.
// Unlike noise of values at lattice points it shows no square cells.
double Noise(double x, double y, double z, uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int ix = int(fx), iy = int(fy), iz = int(fz);
    const double dx = x - fx, dy = y - fy, dz = z - fz;
    const double u = Fade(dx), v = Fade(dy), w = Fade(dz);
    double plane[2];
    for (int k = 0; k < 2; ++k) {
        const double a = Slope(Lattice(ix, iy, iz + k, seed), dx, dy, dz - k);
        const double b = Slope(Lattice(ix + 1, iy, iz + k, seed), dx - 1, dy, dz - k);
        const double c = Slope(Lattice(ix, iy + 1, iz + k, seed), dx, dy - 1, dz - k);
        const double d = Slope(Lattice(ix + 1, iy + 1, iz + k, seed), dx - 1, dy - 1, dz - k);
        const double top = a + (b - a) * u, bottom = c + (d - c) * u;
        plane[k] = top + (bottom - top) * v;
    }
    return (plane[0] + (plane[1] - plane[0]) * w) * 0.5;
}

// Fractal sum of noise octaves, centred on 0 (about -0.5..0.5). Each octave
// is turned and shifted so the lattice never lines up, and runs faster in
// time: small eddies churn quicker than big ones.
double Fbm(double x, double y, double z, uint32_t seed, int octaves)
{
    double sum = 0, amp = 1, norm = 0;
    // the first octave turned too, by an angle of its own
    {
        const double nx = x * 0.8 - y * 0.6, ny = x * 0.6 + y * 0.8;
        x = nx;
        y = ny;
    }
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(x, y, z, seed + 7919u * uint32_t(o));
        norm += amp;
        const double nx = x * 1.6 - y * 1.2 + 3.1, ny = x * 1.2 + y * 1.6 + 1.7;
        x = nx;
        y = ny;
        z = z * 1.9 + 0.37;
        amp *= 0.5;
    }
    return sum / norm * 1.5;
}

// ---- colour ----------------------------------------------------------------

struct TStop {
    double At;
    uint32_t Rgb;
};

// A colour ramp by temperature: stops in rising order.
struct TRamp {
    TStop Stops[7];
    TColor At(double h) const
    {
        if (h <= Stops[0].At)
            return TColor::Hex(Stops[0].Rgb);
        for (int i = 1; i < 7; ++i)
            if (h <= Stops[i].At) {
                const double k = (h - Stops[i - 1].At) / (Stops[i].At - Stops[i - 1].At);
                return TColor::Hex(Stops[i - 1].Rgb).Mixed(TColor::Hex(Stops[i].Rgb), k);
            }
        return TColor::Hex(Stops[6].Rgb);
    }
};

// ---- pixels ----------------------------------------------------------------

// What one sample point of a frame shows.
struct TSample {
    bool Drawn = false;
    TColor Colour;
};

constexpr int SubSamples = 3;        // 3 x 3 sample points per pixel
constexpr double MinBrightest = 0.2; // the strongest channel of a drawn pixel

// Renders `frames` square frames side by side. A pixel is drawn when at least
// four of its nine sample points are; it then takes the mean colour of those
// points (so an edge pixel is as bright as the flame it belongs to).
template <class F>
TPicture RenderFrames(int size, int frames, F sample)
{
    TPicture p;
    p.Width = size * frames;
    p.Height = size;
    p.Pixels.assign(size_t(p.Width) * p.Height, Magenta);
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                int drawn = 0;
                double r = 0, g = 0, b = 0;
                for (int j = 0; j < SubSamples; ++j)
                    for (int i = 0; i < SubSamples; ++i) {
                        const TSample s = sample(f, x + (i + 0.5) / SubSamples, y + (j + 0.5) / SubSamples);
                        if (!s.Drawn)
                            continue;
                        ++drawn;
                        r += s.Colour.R;
                        g += s.Colour.G;
                        b += s.Colour.B;
                    }
                if (drawn * 9 < 4 * SubSamples * SubSamples)
                    continue;
                // never darker than a dim ember: a near-black pixel would
                // show as a hole over the star field
                const double top = std::max({r, g, b}) / drawn;
                const double lift = top < MinBrightest ? MinBrightest / std::max(top, 1e-3) : 1.0;
                auto byte = [&](double v) {
                    return uint32_t(std::lround(std::clamp(v * lift / drawn, 0.0, 1.0) * 255));
                };
                uint32_t c = byte(r) << 16 | byte(g) << 8 | byte(b);
                if (c == Magenta)
                    c ^= 0x000100;
                p.Pixels[size_t(y) * p.Width + size_t(f) * size + x] = c;
            }
    return p;
}

// ---- sparks and debris -----------------------------------------------------

// A glowing fleck flung out from the heart: its head leaves (cx, cy) at Delay,
// slows down as it flies, and burns out after Life (times in 0..1 of the sheet).
struct TSpark {
    double Angle, Reach, Delay, Life, Trail, Width;
};

// Squared distance from (px, py) to the segment a-b, and how far along it (0 at a).
double SegmentDistance2(double px, double py, double ax, double ay, double bx, double by, double& along)
{
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    along = len2 > 1e-9 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    const double qx = ax + dx * along - px, qy = ay + dy * along - py;
    return qx * qx + qy * qy;
}

// Distance flown by age a (0..1 of its life): fast at first, then slowing.
double Flown(double a) { return 1 - (1 - a) * (1 - a) * (1 - a * 0.35); }

// Whether (px, py) lies on the spark at time t; heat 1 (white) .. 0 (ember) of that point.
bool OnSpark(const TSpark& s, double cx, double cy, double start, double t, double px, double py, double& heat)
{
    const double age = (t - s.Delay) / s.Life;
    if (age < 0 || age >= 1)
        return false;
    const double c = std::cos(s.Angle), n = std::sin(s.Angle);
    const double head = start + s.Reach * Flown(age);
    const double tail = start + s.Reach * Flown(std::max(0.0, age - s.Trail));
    double along = 0;
    const double d2 = SegmentDistance2(px, py, cx + c * head, cy + n * head, cx + c * tail, cy + n * tail, along);
    // tapering towards the tail, thinning as it cools
    const double w = s.Width * (0.55 + 0.45 * (1 - along)) * (1 - 0.45 * age);
    if (d2 > w * w)
        return false;
    heat = std::clamp((1 - age) * (0.55 + 0.45 * (1 - along)) * 1.2, 0.0, 1.0);
    return true;
}

// ---- explosions ------------------------------------------------------------

struct TExplosionLook {
    TRamp Fire; // by temperature 0.3 (dull red) .. 1.1 (white)
    uint32_t HotSmoke, CoolSmoke;
    uint32_t SparkHot, SparkWarm, SparkCool;
    double Reach; // fireball radius at its fullest, pixels
    double Heat;  // how long the fire keeps burning (1 = plain fuel)
    double Smoke; // how long the smoke hangs (1 = plain fuel)
    int Sparks, Debris, Rays;
    uint32_t Seed;
};

// clang-format off
const TExplosionLook ExplosionLooks[3] = {
    // a fighter's fuel: yellow-white heart, orange flame, brown smoke
    {{{{0.30, 0x7A1E08}, {0.40, 0xB8380C}, {0.52, 0xEC6A12}, {0.66, 0xFF9C22}, {0.80, 0xFFCB52},
       {0.95, 0xFFF0AE}, {1.10, 0xFFFFF2}}},
     0x5E3222, 0x463E3A, 0xFFFFE8, 0xFFC850, 0xE85A14, 23, 1.0, 1.0, 26, 4, 5, 0xF1A3E001u},
    // a plasma drive: blue-white heart, violet-blue flame, thin indigo smoke
    {{{{0.30, 0x40309A}, {0.40, 0x6248D8}, {0.52, 0x7474FF}, {0.66, 0x86AAFF}, {0.80, 0xA6CCFF},
       {0.95, 0xDCF0FF}, {1.10, 0xFFFFFF}}},
     0x40346E, 0x38384E, 0xF4FCFF, 0x9CD8FF, 0x7A6CFF, 23, 0.9, 0.7, 28, 2, 6, 0xF1A3E002u},
    // a heavy hull: pink-white heart, red flame, thick dark smoke, more wreckage
    {{{{0.30, 0x701210}, {0.40, 0xAE2012}, {0.52, 0xE03A12}, {0.66, 0xF86420}, {0.80, 0xFF8E52},
       {0.95, 0xFFCEB4}, {1.10, 0xFFF6F0}}},
     0x4A2420, 0x363030, 0xFFF4EC, 0xFF9A60, 0xD83018, 25, 0.9, 1.3, 24, 7, 5, 0xF1A3E003u},
};
// clang-format on

class TExplosion {
public:
    explicit TExplosion(const TExplosionLook& look) : Look(look)
    {
        TArtRandom rnd(look.Seed);
        for (int i = 0; i < look.Sparks; ++i) {
            // spread evenly round the heart, each a little off its own line
            const double a = 2 * Pi * (i + rnd.Range(-0.45, 0.45)) / look.Sparks;
            // some burst out at once, some later from the churning fire;
            // fast ones fly far, slow ones burn out close in
            Sparks.push_back({a, rnd.Range(20, 27), rnd.Range(0.0, 0.16), rnd.Range(0.3, 0.6), rnd.Range(0.12, 0.26),
                              rnd.Range(0.55, 0.85)});
        }
        for (int i = 0; i < look.Debris; ++i) {
            const double a = 2 * Pi * (i + rnd.Range(-0.3, 0.3)) / look.Debris + 0.4;
            Debris.push_back({a, rnd.Range(18, 25), rnd.Range(0.05, 0.12), rnd.Range(0.6, 0.82), 0.4,
                              rnd.Range(0.9, 1.3)});
        }
        for (int i = 0; i < look.Rays; ++i)
            RayAngles.push_back(2 * Pi * (i + rnd.Range(-0.25, 0.25)) / look.Rays);
    }

    TSample At(int f, double x, double y) const
    {
        const double t = f / 15.0;
        const double cx = 32, cy = 32;
        double heat = 0;
        // once the fire has cooled, the glowing wreckage shows in front of the smoke
        if (t > 0.3)
            for (const TSpark& d : Debris)
                if (OnSpark(Chip(d), cx, cy, 4, t, x, y, heat))
                    return ChipSample(heat);
        // the fire in front; sparks and wreckage show where they leave it
        TSample s = Fire(t, x - cx, y - cy);
        if (s.Drawn)
            return s;
        for (const TSpark& k : Sparks)
            if (OnSpark(k, cx, cy, 4, t, x, y, heat)) {
                s.Drawn = true;
                s.Colour = heat > 0.6 ? TColor::Hex(Look.SparkWarm).Mixed(TColor::Hex(Look.SparkHot), (heat - 0.6) / 0.4)
                                      : TColor::Hex(Look.SparkCool).Mixed(TColor::Hex(Look.SparkWarm), heat / 0.6);
                return s;
            }
        // burning wreckage: a glowing chip trailing smoke
        for (const TSpark& d : Debris) {
            if (OnSpark(Chip(d), cx, cy, 4, t, x, y, heat))
                return ChipSample(heat);
            if (OnSpark(d, cx, cy, 4, t, x, y, heat)) {
                s.Drawn = true;
                s.Colour = TColor::Hex(Look.CoolSmoke).Lighter(0.12 + 0.2 * heat);
                return s;
            }
        }
        return s;
    }

private:
    // A piece of wreckage: the glowing head of its smoke trail.
    static TSpark Chip(const TSpark& d) { return {d.Angle, d.Reach, d.Delay, d.Life, 0.05, d.Width * 1.5}; }
    TSample ChipSample(double heat) const
    {
        return {true, TColor::Hex(Look.SparkCool).Mixed(TColor::Hex(Look.SparkWarm), heat)};
    }

    // The fireball, its flame tongues and the smoke it leaves.
    TSample Fire(double t, double px, double py) const
    {
        TSample s;
        const double r = std::hypot(px, py);
        if (r > 30)
            return s;
        const uint32_t seed = Look.Seed;
        // the ball swells fast, then drifts outwards more slowly
        const double grow = 1 - std::pow(1 - std::min(1.0, t / 0.5), 2.2);
        const double R = Look.Reach * (0.45 + 0.55 * grow + 0.15 * std::max(0.0, t - 0.5));
        // coordinates that expand with the ball, so its features fly outwards
        const double ux = px / R, uy = py / R;
        const double z = t * 2.0;
        // a gentle swirl of the whole field
        const double wx = Fbm(ux * 1.2 + 11.3, uy * 1.2 + 4.1, z, seed + 1, 2);
        const double wy = Fbm(ux * 1.2 + 2.7, uy * 1.2 + 17.9, z, seed + 2, 2);
        const double vx = ux + wx * 0.35, vy = uy + wy * 0.35;
        const double rv = std::hypot(vx, vy);
        // flame tongues: the reach varies round the ball and licks outwards
        const double a = std::atan2(vy, vx);
        const double tongue = Fbm(std::cos(a) * 2.2 + 5.0, std::sin(a) * 2.2 + 9.0, rv * 0.9 - t * 1.6, seed + 3, 3);
        // the fire burns out from the heart first, leaving puffs that break apart
        const double burn = std::pow(std::clamp((t * (1.25 - 0.25 * Look.Smoke) - 0.3) / 0.78, 0.0, 1.0), 2.0);
        const double reach = std::clamp(0.97 + tongue * 2.0 * (1 - 0.5 * burn), 0.45, 1.45);
        // cauliflower billows: rounded puffs with sharp creases between them,
        // lit from the upper left
        const double bx = vx * 2.2 + 31.0, by = vy * 2.2 + 7.0;
        const double b = Fbm(bx, by, z * 1.2, seed + 4, 4);
        const double billow = std::abs(b) * 2.6 - 0.45;
        const double lit = std::clamp((std::abs(b) - std::abs(Fbm(bx + 0.22, by + 0.22, z * 1.2, seed + 4, 4))) * 6, -0.5, 0.5);
        // the frame's edge is never reached: the field thins out before it
        double density = 1 - rv / reach + billow * 0.5 - SmoothStep(23, 31, r) * 1.6;
        const double clumps = Fbm(vx * 2.0 + 13.0, vy * 2.0 + 27.0, z * 0.5, seed + 6, 2);
        density -= burn * (1.6 + 0.6 * std::max(0.0, 1 - rv * 1.2) - clumps * 2.0);
        // short white flare spikes in the first frames
        const double flare = 1 - SmoothStep(0.0, 0.14, t);
        if (flare > 0 && density <= 0) {
            for (double ra : RayAngles) {
                const double along = px * std::cos(ra) + py * std::sin(ra);
                const double across = std::abs(-px * std::sin(ra) + py * std::cos(ra));
                const double length = R * (1.1 + 0.5 * flare);
                if (along > 0 && along < length && across < 1.3 * (1 - along / length) * flare + 0.2) {
                    s.Drawn = true;
                    s.Colour = Look.Fire.At(1.1 - 0.55 * along / length);
                    return s;
                }
            }
        }
        if (density <= 0)
            return s;
        s.Drawn = true;
        // temperature: white at the heart early, cooling over time; creases run cooler
        const double hot = 0.1 + 1.4 * std::exp(-std::pow(t / (0.38 * Look.Heat), 1.6));
        const double pocket = Fbm(vx * 4.5 + 41.0, vy * 4.5 + 3.0, z * 1.6, seed + 5, 2);
        double h = hot * (0.36 + 0.64 * std::min(1.0, density * 1.3)) *
                   (0.78 + 0.5 * std::clamp(billow, -0.2, 0.6) + 0.5 * pocket + 0.25 * lit);
        h += 0.8 * flare * std::max(0.0, 1 - r / (R * 0.8));
        h *= 1 + (0.2 + 0.3 * t) * Fbm(vx * 7.0 + 19.0, vy * 7.0 + 5.0, z * 2.2, seed + 8, 2);
        // smoke: lit from within while the fire lasts, fading to cool grey
        const TColor smoke0 = TColor::Hex(Look.HotSmoke).Mixed(TColor::Hex(Look.CoolSmoke), SmoothStep(0.25, 0.8, t));
        // fine grain in the smoke, and thin wisps at its edge go dimmer
        const double grain = Fbm(vx * 7.0 + 19.0, vy * 7.0 + 5.0, z * 2.2, seed + 8, 2);
        const double shade = 0.9 + 0.5 * std::clamp(billow, -0.3, 0.6) + 0.7 * lit + 0.6 * grain -
                             0.25 * (1 - std::min(1.0, density * 3));
        const TColor smoke = smoke0.Scaled(std::clamp(shade, 0.62, 1.4));
        if (h >= 0.32)
            s.Colour = Look.Fire.At(h);
        else if (h <= 0.2)
            s.Colour = smoke;
        else
            s.Colour = smoke.Mixed(Look.Fire.At(0.32), (h - 0.2) / 0.12);
        return s;
    }

    const TExplosionLook& Look;
    std::vector<TSpark> Sparks, Debris;
    std::vector<double> RayAngles;
};

// ---- shot impacts ----------------------------------------------------------

struct TFlashLook {
    TRamp Fire;
    uint32_t SparkHot, SparkCool;
    uint32_t Seed;
};

// clang-format off
const TFlashLook FlashLooks[3] = {
    {{{{0.30, 0x9A3A0C}, {0.40, 0xD8600E}, {0.52, 0xFF9A1E}, {0.66, 0xFFC23E}, {0.80, 0xFFE27A},
       {0.95, 0xFFEC9C}, {1.10, 0xFFFFE8}}}, 0xFFE890, 0xF07A18, 0xF1A50001u},
    {{{{0.30, 0x2A48A8}, {0.40, 0x2E6ADC}, {0.52, 0x3C9CFF}, {0.66, 0x6CC4FF}, {0.80, 0xA4E2FF},
       {0.95, 0xDCF6FF}, {1.10, 0xFFFFFF}}}, 0xE8FAFF, 0x4C8CFF, 0xF1A50002u},
    {{{{0.30, 0x8A1020}, {0.40, 0xC41C2C}, {0.52, 0xF03A44}, {0.66, 0xFF6A6A}, {0.80, 0xFF9E9A},
       {0.95, 0xFFD8D4}, {1.10, 0xFFFFFF}}}, 0xFFE4E0, 0xFF4A50, 0xF1A50003u},
};
// clang-format on

// A shot striking home: a brief white flare with four spikes, a spray of
// sparks that fly off and die, a small ember where it hit.
class TFlash {
public:
    explicit TFlash(const TFlashLook& look) : Look(look)
    {
        TArtRandom rnd(look.Seed);
        for (int i = 0; i < 6; ++i) {
            const double a = 2 * Pi * (i + rnd.Range(-0.35, 0.35)) / 6;
            Sparks.push_back({a, rnd.Range(4.0, 5.5), rnd.Range(0.04, 0.14), rnd.Range(0.35, 0.75), rnd.Range(0.3, 0.45),
                              rnd.Range(0.6, 0.7)});
        }
        Turn = rnd.Range(0, Pi / 2);
    }

    TSample At(int f, double x, double y) const
    {
        const double t = f / 15.0;
        const double cx = 8, cy = 8, px = x - cx, py = y - cy;
        const double r = std::hypot(px, py);
        TSample s;
        // the flare: a hot point with four spikes, swelling for two frames, gone after five
        const double flare = t < 0.3 ? std::pow(std::sin(Pi * (t + 0.1) / 0.4), 1.5) : 0.0;
        if (flare > 0.05) {
            const double core = 0.9 + 1.6 * flare;
            if (r < core) {
                s.Drawn = true;
                // white at the point struck, the flame's colour round it
                s.Colour = Look.Fire.At(r < 0.5 * core ? 1.1 : 0.9 + 0.4 * flare * (1 - r / core));
                return s;
            }
            for (int i = 0; i < 4; ++i) {
                const double sa = Turn + Pi / 2 * i + t * 1.5;
                const double along = px * std::cos(sa) + py * std::sin(sa);
                const double across = std::abs(-px * std::sin(sa) + py * std::cos(sa));
                const double length = (i % 2 ? 4.5 : 6.5) * flare + 1.5;
                if (along > 0 && along < length && across < 0.85 * (1 - along / length) + 0.15) {
                    s.Drawn = true;
                    s.Colour = Look.Fire.At(1.0 - 0.55 * along / length);
                    return s;
                }
            }
        }
        double heat = 0;
        for (const TSpark& k : Sparks)
            if (OnSpark(k, cx, cy, 1.2, t, x, y, heat)) {
                s.Drawn = true;
                s.Colour = TColor::Hex(Look.SparkCool).Mixed(TColor::Hex(Look.SparkHot), heat);
                return s;
            }
        // the ember where it struck, cooling and shrinking
        const double ember = 1 - SmoothStep(0.1, 0.55, t);
        if (ember > 0 && flare <= 0.05) {
            const double rag = Fbm(px * 0.9 + 7, py * 0.9 + 2, t * 3, Look.Seed + 9, 2);
            if (r < 0.6 + 1.6 * ember + rag * 1.2) {
                s.Drawn = true;
                s.Colour = Look.Fire.At(0.32 + 0.45 * ember);
            }
        }
        return s;
    }

private:
    const TFlashLook& Look;
    std::vector<TSpark> Sparks;
    double Turn = 0;
};

} // namespace

TPicture DrawHitSheet(int kind)
{
    const TSize s = EntrySize(39 + kind);
    const int size = s.Height;
    if (kind < 3) {
        const TFlash flash(FlashLooks[kind]);
        return RenderFrames(size, 16, [&](int f, double x, double y) { return flash.At(f, x, y); });
    }
    const TExplosion explosion(ExplosionLooks[kind - 3]);
    return RenderFrames(size, 16, [&](int f, double x, double y) { return explosion.At(f, x, y); });
}
