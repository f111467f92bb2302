// The game's sprite sheets as the art generator writes them into the pack:
// sizes, transparency, seamless background tiles and real animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/art/ArtSizes.h"

namespace {

constexpr uint32_t Magenta = 0x00FF00FF;

struct TSheet {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;   // 0x00RRGGBB, rows top to bottom
    uint32_t At(int x, int y) const { return Pixels[size_t(y) * Width + x]; }
};

uint32_t Le32(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}

// The generator writes plain 24-bit bottom-up BMPs; that is all this reads.
bool ReadBmp24(const std::vector<uint8_t>& v, size_t at, size_t length, TSheet& out)
{
    if (length < 54 || at + length > v.size() || v[at] != 'B' || v[at + 1] != 'M')
        return false;
    const uint32_t dataAt = Le32(v, at + 10);
    const int32_t w = int32_t(Le32(v, at + 18)), h = int32_t(Le32(v, at + 22));
    const uint16_t bits = uint16_t(v[at + 28] | v[at + 29] << 8);
    if (bits != 24 || w <= 0 || h <= 0)
        return false;
    const size_t rowBytes = (size_t(w) * 3 + 3) & ~size_t(3);
    if (dataAt + rowBytes * h > length)
        return false;
    out.Width = w;
    out.Height = h;
    out.Pixels.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = v.data() + at + dataAt + rowBytes * size_t(h - 1 - y);
        for (int x = 0; x < w; ++x)
            out.Pixels[size_t(y) * w + x] = uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 |
                                            uint32_t(row[3 * x + 2]) << 16;
    }
    return true;
}

class GameArtPack : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string path = std::string(ZEPHYRION_BINARY_DIR) + "/Data/Data.pp";
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << "no pack at " << path;
        const std::vector<uint8_t> pack((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t at = 0;
        for (int entry = 0; entry < 60; ++entry) {
            ASSERT_LE(at + 4, pack.size()) << "pack ends before entry " << entry;
            const size_t length = Le32(pack, at);
            TSheet sheet;
            ASSERT_TRUE(ReadBmp24(pack, at + 4, length, sheet)) << "entry " << entry << " is not a 24-bit BMP";
            Sheets.push_back(std::move(sheet));
            at += 4 + length;
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

const TFrames Animated[] = {
    {8, 10, 65},
    {22, 2, 26}, {23, 2, 15}, {27, 4, 14}, {28, 8, 35}, {31, 8, 32}, {32, 5, 75},
    {37, 8, 36}, {38, 8, 74},
    {45, 8, 58}, {46, 8, 60}, {47, 8, 56}, {48, 8, 62}, {49, 8, 58}, {50, 8, 56}, {51, 8, 56},
    {52, 8, 70}, {53, 8, 58},
};

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

} // namespace
