// The game's sprite sheets as the art generator writes them into the pack:
// sizes, transparency, seamless background tiles, real animation, and
// impacts and explosions that burn like fire.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/PackFile.h"
#include "tools/art/ArtSizes.h"

namespace {

constexpr uint32_t Magenta = 0x00FF00FF;

// The generator writes plain 24-bit BMPs; the test asks for nothing else.
using TSheet = packfile::TPackPicture;

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class GameArtPack : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string path = std::string(ZEPHYRION_BINARY_DIR) + "/Data/Data.pp";
        const std::vector<uint8_t> pack = ReadFile(path);
        ASSERT_FALSE(pack.empty()) << "no pack at " << path;
        bool damaged = false;
        std::vector<packfile::TEntry> entries = packfile::ReadPack(pack, 0, 59, damaged);
        ASSERT_FALSE(damaged) << "the pack is damaged";
        ASSERT_EQ(entries.size(), 60u);
        for (packfile::TEntry& e : entries) {
            ASSERT_EQ(e.Picture.Bits, 24) << "entry " << e.Number << " is not a 24-bit BMP";
            Sheets.push_back(std::move(e.Picture));
        }
    }
    static const TSheet& Sheet(int entry) { return Sheets.at(size_t(entry)); }
    static std::vector<TSheet> Sheets;
};

std::vector<TSheet> GameArtPack::Sheets;

int Channel(uint32_t c, int shift) { return int((c >> shift) & 0xFF); }
int ColourDistance(uint32_t a, uint32_t b)
{
    return std::abs(Channel(a, 16) - Channel(b, 16)) + std::abs(Channel(a, 8) - Channel(b, 8)) +
           std::abs(Channel(a, 0) - Channel(b, 0));
}

// Drawn (not transparent) pixels inside one frame.
int DrawnPixels(const TSheet& s, int x0, int w, uint32_t key)
{
    int n = 0;
    for (int y = 0; y < s.Height; ++y)
        for (int x = x0; x < x0 + w; ++x)
            n += s.At(x, y) != key;
    return n;
}

bool FramesEqual(const TSheet& s, int a, int b, int w)
{
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < w; ++x)
            if (s.At(a * w + x, y) != s.At(b * w + x, y))
                return false;
    return true;
}

// Mean colour step across the seam (last column to first, last row to first)
// against the mean and the largest step between neighbouring columns and rows
// inside.
struct TSeams {
    double AcrossSeam = 0, AcrossInside = 0, DownSeam = 0, DownInside = 0;
    double AcrossLargest = 0, DownLargest = 0;
};

TSeams MeasureSeams(const TSheet& s)
{
    TSeams m;
    for (int x = 0; x < s.Width; ++x) {
        double step = 0;
        for (int y = 0; y < s.Height; ++y)
            step += ColourDistance(s.At(x, y), s.At((x + 1) % s.Width, y));
        if (x + 1 == s.Width) {
            m.AcrossSeam = step;
        } else {
            m.AcrossInside += step;
            m.AcrossLargest = std::max(m.AcrossLargest, step / s.Height);
        }
    }
    for (int y = 0; y < s.Height; ++y) {
        double step = 0;
        for (int x = 0; x < s.Width; ++x)
            step += ColourDistance(s.At(x, y), s.At(x, (y + 1) % s.Height));
        if (y + 1 == s.Height) {
            m.DownSeam = step;
        } else {
            m.DownInside += step;
            m.DownLargest = std::max(m.DownLargest, step / s.Width);
        }
    }
    m.AcrossSeam /= s.Height;
    m.AcrossInside /= double(s.Height) * (s.Width - 1);
    m.DownSeam /= s.Width;
    m.DownInside /= double(s.Width) * (s.Height - 1);
    return m;
}

TEST_F(GameArtPack, EverySheetHasTheSizeTheGameCutsFramesFrom)
{
    for (int entry = 0; entry < 60; ++entry) {
        EXPECT_EQ(Sheet(entry).Width, PackSizes[entry].Width) << "entry " << entry;
        EXPECT_EQ(Sheet(entry).Height, PackSizes[entry].Height) << "entry " << entry;
    }
}

TEST_F(GameArtPack, OpaqueStripsAndTheFarLayerHaveNoHoles)
{
    // the gauges, the far layer and the pause stripe are drawn with the magenta
    // key too: a magenta pixel would show the frame behind them
    for (int entry : {0, 1, 2, 9})
        for (uint32_t c : Sheet(entry).Pixels)
            ASSERT_NE(c, Magenta) << "entry " << entry;
}

TEST_F(GameArtPack, GaugesFillFromTheBottomWithoutGaps)
{
    // the HUD shows the bottom rows of the strip: every row must be lit
    for (int entry : {0, 1})
        for (int y = 0; y < Sheet(entry).Height; ++y) {
            int brightest = 0;
            for (int x = 0; x < Sheet(entry).Width; ++x) {
                const uint32_t c = Sheet(entry).At(x, y);
                brightest = std::max({brightest, Channel(c, 16), Channel(c, 8), Channel(c, 0)});
            }
            EXPECT_GT(brightest, 40) << "entry " << entry << " row " << y;
        }
}

TEST_F(GameArtPack, BackgroundTilesRepeatWithoutVisibleSeams)
{
    // the far layer is nebula everywhere: its seams must be as smooth as its inside
    const TSeams far = MeasureSeams(Sheet(2));
    EXPECT_LT(far.AcrossSeam, 2.5 * far.AcrossInside + 1.0) << "far layer, left/right seam";
    EXPECT_LT(far.DownSeam, 2.5 * far.DownInside + 1.0) << "far layer, top/bottom seam";
    // the near tiles are sparse: a seam may cross a star, but no worse than
    // the busiest line inside the tile
    for (int entry = 3; entry <= 7; ++entry) {
        const TSeams m = MeasureSeams(Sheet(entry));
        EXPECT_LE(m.AcrossSeam, m.AcrossLargest) << "entry " << entry << " left/right seam";
        EXPECT_LE(m.DownSeam, m.DownLargest) << "entry " << entry << " top/bottom seam";
    }
}

TEST_F(GameArtPack, NearTilesAreMostlySeeThrough)
{
    for (int entry = 3; entry <= 7; ++entry) {
        const TSheet& s = Sheet(entry);
        const int drawn = DrawnPixels(s, 0, s.Width, 0);
        EXPECT_GT(drawn, 50) << "entry " << entry << " is empty";
        EXPECT_LT(drawn, int(s.Pixels.size() / 10)) << "entry " << entry << " hides the far layer";
    }
    for (int a = 3; a <= 7; ++a)
        for (int b = a + 1; b <= 7; ++b)
            EXPECT_NE(Sheet(a).Pixels, Sheet(b).Pixels) << "tiles " << a << " and " << b;
}

// Sheets with frames side by side: entry, frames, frame width.
struct TFrames {
    int Entry, Count, Width;
};

// clang-format off
const TFrames Animated[] = {
    {8, 10, 65},
    {22, 2, 26}, {23, 2, 15}, {27, 4, 14}, {28, 8, 35}, {31, 8, 32}, {32, 5, 75},
    {37, 8, 36}, {38, 8, 74},
    {45, 8, 58}, {46, 8, 60}, {47, 8, 56}, {48, 8, 62}, {49, 8, 58}, {50, 8, 56}, {51, 8, 56},
    {52, 8, 70}, {53, 8, 58},
};
// clang-format on

TEST_F(GameArtPack, SpritesStandFreeOnTransparentCorners)
{
    // every frame's corners are transparent, so nothing shows a box around it
    for (const TFrames& f : Animated) {
        const TSheet& s = Sheet(f.Entry);
        for (int n = 0; n < f.Count; ++n) {
            const int x0 = n * f.Width, x1 = x0 + f.Width - 1;
            for (auto [x, y] : {std::pair{x0, 0}, {x1, 0}, {x0, s.Height - 1}, {x1, s.Height - 1}})
                EXPECT_EQ(s.At(x, y), Magenta) << "entry " << f.Entry << " frame " << n;
        }
    }
    for (int entry = 10; entry <= 21; ++entry) {
        const TSheet& s = Sheet(entry);
        EXPECT_EQ(s.At(0, 0), Magenta) << "entry " << entry;
        EXPECT_EQ(s.At(s.Width - 1, 0), Magenta) << "entry " << entry;
        EXPECT_GT(DrawnPixels(s, 0, s.Width, Magenta), int(s.Pixels.size() / 5)) << "entry " << entry;
    }
}

TEST_F(GameArtPack, AnimatedSheetsChangeFromFrameToFrame)
{
    for (const TFrames& f : Animated)
        for (int n = 0; n + 1 < f.Count; ++n) {
            EXPECT_GT(DrawnPixels(Sheet(f.Entry), n * f.Width, f.Width, Magenta), 20)
                << "entry " << f.Entry << " frame " << n << " is empty";
            EXPECT_FALSE(FramesEqual(Sheet(f.Entry), n, n + 1, f.Width))
                << "entry " << f.Entry << " frames " << n << " and " << n + 1;
        }
}

TEST_F(GameArtPack, TheWarshipLeansAndItsFlameFlickers)
{
    const TSheet& ship = Sheet(8);
    // frame = 2 x tilt + flame: the five tilts differ, and so do the two flames of each
    for (int tilt = 0; tilt < 5; ++tilt) {
        EXPECT_FALSE(FramesEqual(ship, 2 * tilt, 2 * tilt + 1, 65)) << "tilt " << tilt;
        for (int other = tilt + 1; other < 5; ++other)
            EXPECT_FALSE(FramesEqual(ship, 2 * tilt, 2 * other, 65)) << "tilts " << tilt << ", " << other;
    }
    // leaning left and right mirror each other roughly: as many drawn pixels
    EXPECT_NEAR(DrawnPixels(ship, 0, 65, Magenta), DrawnPixels(ship, 8 * 65, 65, Magenta),
                DrawnPixels(ship, 4 * 65, 65, Magenta) / 10);
}

TEST_F(GameArtPack, HitsAndExplosionsBloomThenDieAway)
{
    for (int entry = 39; entry <= 44; ++entry) {
        const TSheet& s = Sheet(entry);
        const int w = s.Height;
        int peak = 0;
        for (int n = 0; n < 16; ++n)
            peak = std::max(peak, DrawnPixels(s, n * w, w, Magenta));
        EXPECT_GT(DrawnPixels(s, 0, w, Magenta), 0) << "entry " << entry << " starts blank";
        EXPECT_LT(DrawnPixels(s, 15 * w, w, Magenta), peak / 10) << "entry " << entry << " never fades";
        EXPECT_GT(peak, w * w / (entry < 42 ? 8 : 4)) << "entry " << entry << " is too small";
    }
}

// ---- hit flashes and explosions: sixteen square frames side by side ----

struct TFrame {
    const TSheet& S;
    int N, Size;
    uint32_t At(int x, int y) const { return S.At(N * Size + x, y); }
    bool Drawn(int x, int y) const { return x >= 0 && y >= 0 && x < Size && y < Size && At(x, y) != Magenta; }
    // a drawn pixel beside a transparent one (or the cell's border)
    bool OnEdge(int x, int y) const
    {
        return Drawn(x, y) && (!Drawn(x + 1, y) || !Drawn(x - 1, y) || !Drawn(x, y + 1) || !Drawn(x, y - 1));
    }
};

double Luma(uint32_t c) { return 0.299 * Channel(c, 16) + 0.587 * Channel(c, 8) + 0.114 * Channel(c, 0); }
int Brightest(uint32_t c) { return std::max({Channel(c, 16), Channel(c, 8), Channel(c, 0)}); }
bool WhiteHot(uint32_t c) { return Channel(c, 16) >= 235 && Channel(c, 8) >= 235 && Channel(c, 0) >= 215; }

struct TShape {
    int Area = 0;       // drawn pixels
    int Outline = 0;    // steps from a drawn pixel to a transparent one
    int Pieces = 0;     // separate groups of drawn pixels (touching corners join)
    int White = 0;      // white-hot pixels
    int Bright = 0;     // pixels with a channel at flame brightness
    double Luma = 0;    // mean brightness of the drawn pixels
    double Texture = 0; // mean colour step between neighbouring drawn pixels
    // outline squared over the area, 1 for a circle drawn smooth (a pixel
    // disc scores about 1.6): ragged flames score far higher
    double Raggedness() const { return Area ? Outline * double(Outline) / (4 * 3.14159265 * Area) : 0; }
};

TShape Measure(const TFrame& f)
{
    TShape m;
    int steps = 0;
    std::vector<char> seen(size_t(f.Size) * f.Size, 0);
    for (int y = 0; y < f.Size; ++y)
        for (int x = 0; x < f.Size; ++x) {
            if (!f.Drawn(x, y))
                continue;
            const uint32_t c = f.At(x, y);
            ++m.Area;
            m.White += WhiteHot(c);
            m.Bright += Brightest(c) >= 200;
            m.Luma += Luma(c);
            m.Outline += !f.Drawn(x + 1, y) + !f.Drawn(x - 1, y) + !f.Drawn(x, y + 1) + !f.Drawn(x, y - 1);
            for (auto [nx, ny] : {std::pair{x + 1, y}, std::pair{x, y + 1}})
                if (f.Drawn(nx, ny)) {
                    m.Texture += ColourDistance(c, f.At(nx, ny));
                    ++steps;
                }
            if (seen[size_t(y) * f.Size + x])
                continue;
            ++m.Pieces;
            std::vector<std::pair<int, int>> todo{{x, y}};
            seen[size_t(y) * f.Size + x] = 1;
            while (!todo.empty()) {
                const auto [px, py] = todo.back();
                todo.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (f.Drawn(px + dx, py + dy) && !seen[size_t(py + dy) * f.Size + px + dx]) {
                            seen[size_t(py + dy) * f.Size + px + dx] = 1;
                            todo.push_back({px + dx, py + dy});
                        }
            }
        }
    if (m.Area)
        m.Luma /= m.Area;
    if (steps)
        m.Texture /= steps;
    return m;
}

TEST_F(GameArtPack, HitsAndExplosionsHaveCleanEdgesOverTheStarField)
{
    // the game blits these with the magenta key over the star field: a pixel
    // close to magenta shows as a pink speck, a near-black one as a hole, an
    // outline darker than the flame inside it as a painted rim (brightness as
    // the strongest channel, so a deep red is not taken for dark), and anything
    // touching the cell's border is cut off straight
    for (int entry = 39; entry <= 44; ++entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        const TSheet& s = Sheet(entry);
        int nearKey = 0, nearBlack = 0, onBorder = 0;
        for (int n = 0; n < 16; ++n) {
            const TFrame f{s, n, s.Height};
            int edges = 0, inside = 0;
            double edgeValue = 0, insideValue = 0;
            for (int y = 0; y < f.Size; ++y)
                for (int x = 0; x < f.Size; ++x) {
                    if (!f.Drawn(x, y))
                        continue;
                    const uint32_t c = f.At(x, y);
                    nearKey += ColourDistance(c, Magenta) < 150;
                    nearBlack += Brightest(c) < 40;
                    onBorder += x == 0 || y == 0 || x == f.Size - 1 || y == f.Size - 1;
                    if (f.OnEdge(x, y)) {
                        edgeValue += Brightest(c);
                        ++edges;
                    } else if (f.OnEdge(x + 1, y) || f.OnEdge(x - 1, y) || f.OnEdge(x, y + 1) || f.OnEdge(x, y - 1)) {
                        insideValue += Brightest(c);
                        ++inside;
                    }
                }
            // frame by frame, while there is an outline worth the name
            if (edges >= 16 && inside >= 8) {
                EXPECT_GE(edgeValue / edges, 0.85 * insideValue / inside)
                    << "frame " << n << ": the outline is darker than the ring inside it";
            }
        }
        EXPECT_EQ(nearKey, 0) << "pixels close to the transparent magenta";
        EXPECT_EQ(nearBlack, 0) << "near-black pixels";
        EXPECT_EQ(onBorder, 0) << "pixels on a frame's border";
    }
}

TEST_F(GameArtPack, ExplosionsBurnLikeFire)
{
    for (int entry = 42; entry <= 44; ++entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        const TSheet& s = Sheet(entry);
        std::vector<TShape> m;
        for (int n = 0; n < 16; ++n)
            m.push_back(Measure(TFrame{s, n, 64}));
        // a white-hot heart in the first frames, none once it has cooled
        EXPECT_GE(m[0].White, 40) << "frame 0 has no white-hot heart";
        for (int n = 10; n < 16; ++n)
            EXPECT_EQ(m[n].White, 0) << "frame " << n << " is still white-hot";
        int sparkling = 0;
        for (int n = 2; n <= 8; ++n) {
            // turbulent flame: a ragged outline and, while it burns bright, a
            // churning inside, not a smooth blob
            EXPECT_GT(m[n].Raggedness(), 3.0) << "frame " << n << " is a smooth blob";
            if (n <= 5) {
                EXPECT_GT(m[n].Texture, 24) << "frame " << n << " is a smooth gradient";
            }
            // sparks and wreckage fly free of the fireball
            sparkling += m[n].Pieces >= 6;
        }
        EXPECT_GE(sparkling, 4) << "too few frames with sparks flying free";
        // the fire cools into thinning smoke: a few sparks and embers may
        // still glow, the flame-bright mass is gone
        double early = 0, late = 0;
        for (int n = 1; n <= 4; ++n)
            early += m[n].Bright / 4.0;
        for (int n = 10; n <= 12; ++n)
            late += m[n].Bright / 3.0;
        EXPECT_LT(late, 0.15 * early) << "the late frames still burn as bright as the fire";
        int peak = 0;
        for (const TShape& f : m)
            peak = std::max(peak, f.Area);
        EXPECT_LT(m[14].Area, peak / 4) << "the smoke does not thin out";
        EXPECT_LE(m[15].Area, peak / 200) << "something is left in the last frame";
    }
}

TEST_F(GameArtPack, ImpactsAreAFlareAndSparksNotADisc)
{
    for (int entry = 39; entry <= 41; ++entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        const TSheet& s = Sheet(entry);
        std::vector<TShape> m;
        for (int n = 0; n < 16; ++n)
            m.push_back(Measure(TFrame{s, n, 16}));
        // a white flare with spikes at once, gone within a few frames
        int flare = 0;
        for (int n = 0; n <= 2; ++n) {
            EXPECT_GE(m[n].White, 1) << "frame " << n << " has no white flare";
            flare = std::max(flare, m[n].Area);
            EXPECT_GT(m[n].Raggedness(), 2.5) << "frame " << n << " is a disc";
        }
        for (int n = 6; n < 16; ++n)
            EXPECT_EQ(m[n].White, 0) << "frame " << n << " still flares";
        // then sparks flying apart: several separate flecks
        int sparkling = 0;
        for (int n = 3; n <= 8; ++n)
            sparkling += m[n].Pieces >= 4;
        EXPECT_GE(sparkling, 3) << "too few frames with separate sparks";
        EXPECT_LT(m[9].Area, flare / 2) << "the sparks do not die away";
    }
}

TEST_F(GameArtPack, EachEffectKeepsItsColourFamily)
{
    // mean colour of the lit pixels while the effect burns: orange, violet-blue, red
    struct TFamily {
        int Entry;
        const char* Name;
        double GreenOverRedMin, GreenOverRedMax, BlueOverRedMin, BlueOverRedMax;
    };
    // clang-format off
    const TFamily families[] = {
        {39, "orange impact", 0.45, 0.85, 0.0, 0.45}, {40, "blue impact", 0.8, 3.0, 1.4, 9.0},
        {41, "red impact", 0.2, 0.65, 0.2, 0.7},
        {42, "orange explosion", 0.35, 0.75, 0.0, 0.35}, {43, "violet-blue explosion", 0.5, 1.5, 1.4, 9.0},
        {44, "red explosion", 0.15, 0.45, 0.0, 0.35},
    };
    // clang-format on
    for (const TFamily& fam : families) {
        const TSheet& s = Sheet(fam.Entry);
        const int w = s.Height;
        double r = 0, g = 0, b = 0;
        for (int n = 1; n <= 6; ++n) {
            const TFrame f{s, n, w};
            for (int y = 0; y < w; ++y)
                for (int x = 0; x < w; ++x)
                    if (f.Drawn(x, y) && Luma(f.At(x, y)) >= 60) {
                        r += Channel(f.At(x, y), 16);
                        g += Channel(f.At(x, y), 8);
                        b += Channel(f.At(x, y), 0);
                    }
        }
        ASSERT_GT(r, 0) << fam.Name;
        EXPECT_GE(g / r, fam.GreenOverRedMin) << fam.Name;
        EXPECT_LE(g / r, fam.GreenOverRedMax) << fam.Name;
        EXPECT_GE(b / r, fam.BlueOverRedMin) << fam.Name;
        EXPECT_LE(b / r, fam.BlueOverRedMax) << fam.Name;
    }
}

TEST_F(GameArtPack, HitFramesChangeWhileAnythingIsShown)
{
    for (int entry = 39; entry <= 44; ++entry) {
        const TSheet& s = Sheet(entry);
        for (int n = 0; n + 1 < 16; ++n) {
            if (DrawnPixels(s, n * s.Height, s.Height, Magenta) > 0) {
                EXPECT_FALSE(FramesEqual(s, n, n + 1, s.Height)) << "entry " << entry << " frames " << n << ", " << n + 1;
            }
        }
    }
}

TEST(ArtGenerator, DrawsTheSamePackOnEveryRun)
{
    // no clock, no unseeded randomness, nothing read from uninitialised memory:
    // a second run writes the very bytes the build wrote
    const std::string tool = std::string(ZEPHYRION_BINARY_DIR) + "/tools/art/zephyrion-art";
    const std::string built = std::string(ZEPHYRION_BINARY_DIR) + "/Data/Data.pp";
    const std::filesystem::path folder =
        std::filesystem::path(testing::TempDir()) / ("zephyrion-art-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string again = (folder / "Data.pp").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        execl(tool.c_str(), tool.c_str(), again.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the art generator failed: " << tool;
    const std::vector<uint8_t> first = ReadFile(built), second = ReadFile(again);
    std::filesystem::remove_all(folder);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.size(), second.size());
    EXPECT_TRUE(first == second) << "a second run drew a different pack";
}

} // namespace
