// Clipped sprites, the strict hit test, the life-bar box and the texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "fakes/Fakes.h"
#include "graphics/Draw.h"

namespace {

constexpr uint32_t Background = 0x00FFFFFF;
constexpr uint32_t Key = 0x00FF00FF;

// A sheet whose every pixel says where it is: column in the low 16 bits,
// row above it. Column 5 of row 3 is transparent.
struct BlitFixture {
    BlitFixture()
    {
        Sheet = DD.CreateSurface(256, 40);
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 256; ++x)
                Sheet->SetPixel(x, y, PixelAt(x, y));
        Sheet->SetPixel(5, 3, Key);
        DDCOLORKEY key{Key, Key};
        Sheet->SetColorKey(DDCKEY_SRCBLT, &key);
        Target = DD.CreateSurface(800, 600);
        Target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, Background);
    }
    ~BlitFixture()
    {
        DD.Release(Sheet);
        DD.Release(Target);
    }
    static uint32_t PixelAt(int32_t x, int32_t y) { return uint32_t(y) << 16 | uint32_t(x); }
    TDirectDraw DD;
    TSurface* Sheet;
    TSurface* Target;
};

struct TBlitCase {
    const char* Name;
    TRect Src;
    int32_t X, Y;
    // Where the sprite lands and which sheet pixel lands at its top-left corner.
    std::optional<TRect> Drawn;
    int32_t FirstColumn = 0, FirstRow = 0;
};

const TBlitCase BlitCases[] = {
    {"Inside", {0, 0, 64, 32}, 100, 200, TRect{100, 200, 164, 232}, 0, 0},
    {"FrameAtRightEdgeShowsItsFirst40Columns", {128, 0, 192, 32}, 760, 100, TRect{760, 100, 800, 132}, 128, 0},
    {"LastColumn", {0, 0, 64, 32}, 799, 10, TRect{799, 10, 800, 42}, 0, 0},
    {"PastTheRightEdge", {0, 0, 64, 32}, 800, 10, std::nullopt},
    {"FarPastTheRightEdge", {0, 0, 64, 32}, 5000, 10, std::nullopt},
    {"LeftCut", {0, 0, 64, 32}, -10, 100, TRect{0, 100, 54, 132}, 10, 0},
    {"LeftCutOfALaterFrame", {64, 0, 128, 32}, -60, 100, TRect{0, 100, 4, 132}, 124, 0},
    {"WhollyLeft", {0, 0, 64, 32}, -64, 100, std::nullopt},
    {"TopCut", {0, 0, 64, 32}, 50, -5, TRect{50, 0, 114, 27}, 0, 5},
    {"WhollyAbove", {0, 0, 64, 32}, 50, -32, std::nullopt},
    {"BottomStopsAbove598", {0, 0, 64, 32}, 50, 590, TRect{50, 590, 114, 598}, 0, 0},
    {"TwoRowsShortOfTheBottom", {0, 0, 64, 32}, 50, 568, TRect{50, 568, 114, 598}, 0, 0},
    {"AtRow597", {0, 0, 64, 32}, 50, 597, TRect{50, 597, 114, 598}, 0, 0},
    {"AtRow598", {0, 0, 64, 32}, 50, 598, std::nullopt},
    {"BelowTheScreen", {0, 0, 64, 32}, 50, 700, std::nullopt},
    {"CornerCut", {0, 0, 64, 32}, -4, -6, TRect{0, 0, 60, 26}, 4, 6},
    {"SixteenBitX70000Is4464", {0, 0, 64, 32}, 70000, 10, std::nullopt},
    {"SixteenBitWrapsBackOnScreen", {0, 0, 64, 32}, 65536 + 100, 65536 + 20, TRect{100, 20, 164, 52}, 0, 0},
    {"SixteenBitNegative", {0, 0, 64, 32}, 65536 - 10, 100, TRect{0, 100, 54, 132}, 10, 0},
    {"LongStripFromTheLeft", {0, 0, 256, 8}, -100, 0, TRect{0, 0, 156, 8}, 100, 0},
};

void PrintTo(const TBlitCase& c, std::ostream* os) { *os << c.Name; }

class BlitClippedTest : public ::testing::TestWithParam<TBlitCase> {};

TEST_P(BlitClippedTest, DrawsTheVisiblePartOnly)
{
    const TBlitCase& c = GetParam();
    BlitFixture f;
    const HRESULT hr = BlitClipped(f.Sheet, f.Target, c.Src, c.X, c.Y);
    EXPECT_EQ(Succeeded(hr), c.Drawn.has_value());
    const TRect d = c.Drawn.value_or(TRect{});
    std::vector<uint32_t> want(800 * 600, Background);
    for (int32_t y = d.Top; y < d.Bottom; ++y)
        for (int32_t x = d.Left; x < d.Right; ++x) {
            const int32_t sx = c.FirstColumn + x - d.Left, sy = c.FirstRow + y - d.Top;
            want[size_t(y) * 800 + x] = (sx == 5 && sy == 3) ? Background : BlitFixture::PixelAt(sx, sy);
        }
    const std::vector<uint32_t> got(f.Target->Pixels(), f.Target->Pixels() + 800 * 600);
    const auto diff = std::mismatch(got.begin(), got.end(), want.begin());
    if (diff.first != got.end()) {
        const auto at = diff.first - got.begin();
        ADD_FAILURE() << "first difference at " << at % 800 << ", " << at / 800 << ": " << std::hex << *diff.first
                      << " instead of " << *diff.second;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BlitClippedTest, ::testing::ValuesIn(BlitCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(BlitClipped, NullSheetOrTargetDrawsNothing)
{
    BlitFixture f;
    EXPECT_TRUE(Failed(BlitClipped(nullptr, f.Target, TRect{0, 0, 8, 8}, 0, 0)));
    EXPECT_TRUE(Failed(BlitClipped(f.Sheet, nullptr, TRect{0, 0, 8, 8}, 0, 0)));
    EXPECT_EQ(f.Target->GetPixel(0, 0), Background);
}

TEST(PointInRect, EveryBorderIsOutside)
{
    const TRect r{10, 20, 30, 40};
    // clang-format off
    struct { int32_t X, Y; bool Inside; } cases[] = {
        {20, 30, true},  {11, 21, true},  {29, 39, true},   {11, 39, true},  {29, 21, true},
        {10, 30, false}, {30, 30, false}, {20, 20, false},  {20, 40, false},
        {10, 20, false}, {30, 40, false}, {10, 40, false},  {30, 20, false},
        {9, 30, false},  {31, 30, false}, {20, 19, false},  {20, 41, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(PointInRect(r.Left, r.Top, r.Right, r.Bottom, c.X, c.Y), c.Inside) << c.X << ", " << c.Y;
        EXPECT_EQ(PointInRect(r, c.X, c.Y), c.Inside) << c.X << ", " << c.Y;
    }
}

TEST(FillRoundRect, FillsTheBoxCutToTheSurface)
{
    // clang-format off
    struct { int32_t X, Y, W, H; TRect Filled; } cases[] = {
        {10, 20, 5, 3, {10, 20, 15, 23}},
        {-2, 0, 5, 3, {0, 0, 3, 3}},
        {95, 48, 10, 5, {95, 48, 100, 50}},
        {10, 10, 0, 3, {}},
        {10, 10, -4, 3, {}},
        {200, 10, 5, 3, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        TDirectDraw dd;
        TSurface* s = dd.CreateSurface(100, 50);
        FillRoundRect(c.X, c.Y, c.W, c.H, 0x00228822, s);
        for (int32_t y = 0; y < 50; ++y)
            for (int32_t x = 0; x < 100; ++x) {
                const bool in = x >= c.Filled.Left && x < c.Filled.Right && y >= c.Filled.Top && y < c.Filled.Bottom;
                ASSERT_EQ(s->GetPixel(x, y), in ? 0x00228822u : 0u) << c.X << "," << c.Y << " at " << x << "," << y;
            }
        dd.Release(s);
    }
    FillRoundRect(0, 0, 5, 5, 1, nullptr);
}

struct TextFixture : ::testing::Test {
    FakePlatform Fake;
    TDirectDraw DD;
    TSurface* Target = DD.CreateSurface(800, 600);
    ~TextFixture() override { DD.Release(Target); }
    const std::vector<FakeTextRenderer::Call>& Calls() const { return Fake.Text.Calls; }
};

TEST_F(TextFixture, ShadowColourFollowsTheTextColour)
{
    // clang-format off
    struct { uint32_t Color, Shadow; } cases[] = {
        {ColorBrightGreen, ColorLightGreen},
        {ColorDarkGreen, ColorMidGreen},
        {ColorRed, ColorMidGreen},
        {ColorLightGreen, ColorMidGreen},
    };
    // clang-format on
    for (const auto& c : cases) {
        Fake.Text.Calls.clear();
        DrawTextShadowed(Target, 300, 260, "Exit game?", 46, 20, c.Color);
        ASSERT_EQ(Calls().size(), 2u);
        const TFontSpec crystal{"Crystal", 46, 20, 800};
        EXPECT_EQ(Calls()[0].X, 301);
        EXPECT_EQ(Calls()[0].Y, 261);
        EXPECT_EQ(Calls()[0].Color, c.Shadow);
        EXPECT_EQ(Calls()[1].X, 300);
        EXPECT_EQ(Calls()[1].Y, 260);
        EXPECT_EQ(Calls()[1].Color, c.Color);
        for (const auto& call : Calls()) {
            EXPECT_EQ(call.Font, crystal);
            EXPECT_EQ(call.Text, "Exit game?");
            EXPECT_EQ(call.Align, TA_LEFT | TA_TOP);
        }
    }
    // The text itself lies over its shadow.
    EXPECT_EQ(Target->GetPixel(301, 261), ColorLightGreen) << "the last case's colour, not its shadow";
}

TEST_F(TextFixture, OptionalShadowIsAlwaysLightGreen)
{
    // clang-format off
    struct { bool Shadow; uint32_t Align; bool Aligned; } cases[] = {
        {false, TA_LEFT, false}, {true, TA_LEFT, false}, {false, TA_RIGHT, true}, {true, TA_RIGHT, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        Fake.Text.Calls.clear();
        if (c.Aligned)
            DrawTextAligned(Target, 700, 100, "12345", 18, 12, ColorRed, c.Align, c.Shadow);
        else
            DrawText(Target, 700, 100, "12345", 18, 12, ColorRed, c.Shadow);
        ASSERT_EQ(Calls().size(), c.Shadow ? 2u : 1u);
        if (c.Shadow) {
            EXPECT_EQ(Calls()[0].Color, ColorLightGreen);
            EXPECT_EQ(Calls()[0].X, 701);
            EXPECT_EQ(Calls()[0].Y, 101);
        }
        EXPECT_EQ(Calls().back().Color, ColorRed);
        EXPECT_EQ(Calls().back().X, 700);
        for (const auto& call : Calls()) {
            EXPECT_EQ(call.Align, c.Align);
            EXPECT_EQ(call.Font, (TFontSpec{"Crystal", 18, 12, 800}));
        }
    }
}

TEST_F(TextFixture, NoTargetNoText)
{
    DrawTextShadowed(nullptr, 0, 0, "Pause", 32, 20, ColorDarkGreen);
    DrawText(nullptr, 0, 0, "Pause", 32, 20, ColorDarkGreen, true);
    EXPECT_TRUE(Calls().empty());
}

} // namespace
