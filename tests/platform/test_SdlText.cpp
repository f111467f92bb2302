// Text through SDL2_ttf: the substituted faces, heights and widths as the
// game asks for them, the font cache, and the blending onto a surface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sdl/SdlText.h"

namespace {

TFontSpec Crystal(int32_t height, int32_t width) { return TFontSpec{"Crystal", height, width, 800}; }

TEST(SdlText, GameFacesFallToPlayBold)
{
    TSdlText text;
    const struct {
        const char* Face;
        int32_t Weight;
        const char* FileHas;
    } cases[] = {
        {"Crystal", 800, "Play-Bold"},
        {"Crystal", 700, "Play-Bold"},
        {"Cranberry Cyr", 800, "Play-Bold"},
        {"Cranberry Cyr", 400, "Play-Regular"},
    };
    for (const auto& c : cases)
        EXPECT_NE(text.FaceFile(c.Face, c.Weight).find(c.FileHas), std::string::npos)
            << c.Face << " " << c.Weight << " -> " << text.FaceFile(c.Face, c.Weight);
    // A face nobody has still finds some installed face.
    EXPECT_FALSE(text.FaceFile("No Such Face At All", 400).empty());
}

TEST(SdlText, CellHeightIsTheHeightAskedFor)
{
    TSdlText text;
    for (const int32_t h : {10, 12, 14, 16, 18, 20, 24, 28, 32, 40, 48})
        for (const int32_t w : {0, 6, 10, 14, 20})
            EXPECT_EQ(text.CellHeight(Crystal(h, w)), h) << "height " << h << " width " << w;
}

TEST(SdlText, AverageWidthIsHonouredIndependentlyOfHeight)
{
    TSdlText text;
    const std::string sample = "Zephyrion high scores";
    const int32_t w10 = text.MeasureText(sample, Crystal(20, 10));
    const int32_t w14 = text.MeasureText(sample, Crystal(20, 14));
    ASSERT_GT(w10, 0);
    EXPECT_LT(w10, w14);
    // The widths scale with the width asked for (within rounding of the glyphs).
    EXPECT_NEAR(static_cast<double>(w10) / w14, 10.0 / 14.0, 0.06);
    // The same width at another height keeps the text about as wide.
    const int32_t tall = text.MeasureText(sample, Crystal(32, 10));
    EXPECT_NEAR(static_cast<double>(tall) / w10, 1.0, 0.1);
    // Longer text is wider; empty text has no width.
    EXPECT_GT(text.MeasureText(sample + "!!!", Crystal(20, 10)), w10);
    EXPECT_EQ(text.MeasureText("", Crystal(20, 10)), 0);
}

TEST(SdlText, FontsAreOpenedOnceAndFilesReadOnce)
{
    TSdlText text;
    TDirectDraw dd;
    TSurface* s = dd.CreateSurface(200, 100);
    const TFontSpec specs[] = {Crystal(16, 8), Crystal(32, 20), Crystal(16, 10)};
    for (const TFontSpec& f : specs)
        text.DrawText(*s, 0, 0, "Warm up", f, 0x00FF00, TA_LEFT);
    const int opens = text.OpenCount();
    const int reads = text.FileReads();
    EXPECT_EQ(reads, 1);     // all three are Play Bold
    EXPECT_EQ(opens, 1 + 3); // one measuring probe per face, one font per size
    for (int frame = 0; frame < 100; ++frame)
        for (const TFontSpec& f : specs) {
            text.DrawText(*s, 5, 5, "Score 123456", f, 0x228822, TA_RIGHT);
            text.MeasureText("Score", f);
        }
    EXPECT_EQ(text.OpenCount(), opens);
    EXPECT_EQ(text.FileReads(), reads);
    dd.Release(s);
}

struct TInk {
    int32_t Left = 1 << 30, Right = -1, Top = 1 << 30, Bottom = -1;
    int Full = 0, Partial = 0;
};

TInk InkOf(const TSurface& s, uint32_t background)
{
    TInk ink;
    for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) != background) {
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x);
                ink.Top = std::min(ink.Top, y);
                ink.Bottom = std::max(ink.Bottom, y);
            }
    return ink;
}

TEST(SdlText, TextIsBlendedOverThePictureInItsBox)
{
    TSdlText text;
    TDirectDraw dd;
    TSurface* s = dd.CreateSurface(400, 100);
    const uint32_t red = 0xFF0000;
    s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, red);
    const TFontSpec font = Crystal(32, 20);
    text.DrawText(*s, 50, 20, "Game Over", font, 0x00FF00, TA_LEFT);
    const TInk ink = InkOf(*s, red);
    const int32_t width = text.MeasureText("Game Over", font);
    ASSERT_GE(ink.Right, 0) << "nothing drawn";
    EXPECT_GE(ink.Left, 50);
    EXPECT_LE(ink.Left, 50 + 4);
    EXPECT_LE(ink.Right, 50 + width + 2);
    EXPECT_GE(ink.Right, 50 + width - 8);
    EXPECT_GE(ink.Top, 20);
    EXPECT_LT(ink.Bottom, 20 + 32);
    int full = 0, blended = 0;
    for (int32_t y = 0; y < s->Height(); ++y)
        for (int32_t x = 0; x < s->Width(); ++x) {
            const uint32_t p = s->GetPixel(x, y);
            EXPECT_EQ(p >> 24, 0u) << "alpha leaked at " << x << "," << y;
            EXPECT_EQ(p & 0xFF, 0u); // no blue anywhere
            if (p == 0x00FF00)
                ++full;
            else if (p != red) {
                ++blended; // an anti-aliased edge: part text, part background
                EXPECT_GT(p & 0x00FF00, 0u);
                EXPECT_GT(p & 0xFF0000, 0u);
            }
        }
    EXPECT_GT(full, 100);
    EXPECT_GT(blended, 20);
    dd.Release(s);
}

TEST(SdlText, RightAlignedTextEndsAtItsReferencePoint)
{
    TSdlText text;
    TDirectDraw dd;
    TSurface* s = dd.CreateSurface(400, 60);
    const TFontSpec font = Crystal(20, 10);
    text.DrawText(*s, 300, 10, "12345", font, 0x00FF00, TA_RIGHT);
    const TInk ink = InkOf(*s, 0);
    ASSERT_GE(ink.Right, 0);
    EXPECT_LE(ink.Right, 300 + 1);
    EXPECT_GE(ink.Right, 300 - 4);
    EXPECT_NEAR(ink.Left, 300 - text.MeasureText("12345", font), 4);
    dd.Release(s);
}

TEST(SdlText, TextAcrossTheEdgesIsClippedAndEmptyTextDrawsNothing)
{
    TSdlText text;
    TDirectDraw dd;
    TSurface* s = dd.CreateSurface(60, 20);
    const TFontSpec font = Crystal(32, 20);
    // clang-format off
    const struct {
        int32_t X, Y;
        uint32_t Align;
    } places[] = {{-30, -10, TA_LEFT}, {40, 5, TA_LEFT}, {-5000, 0, TA_LEFT}, {5000, 5000, TA_LEFT},
                  {10, 10, TA_RIGHT}, {INT32_MIN / 2, INT32_MAX / 2, TA_LEFT}};
    // clang-format on
    for (const auto& p : places)
        text.DrawText(*s, p.X, p.Y, "Clipped text", font, 0x00FF00, p.Align);
    TSurface* blank = dd.CreateSurface(60, 20);
    text.DrawText(*blank, 10, 5, "", font, 0x00FF00, TA_LEFT);
    text.DrawText(*blank, 10, 5, std::string("\0abc", 4), font, 0x00FF00, TA_LEFT);
    EXPECT_EQ(InkOf(*blank, 0).Right, -1);
    // A lost surface takes no text until it is restored.
    blank->MarkLost();
    text.DrawText(*blank, 10, 5, "Lost", font, 0x00FF00, TA_LEFT);
    EXPECT_EQ(InkOf(*blank, 0).Right, -1);
    blank->Restore();
    text.DrawText(*blank, 10, 5, "Lost", font, 0x00FF00, TA_LEFT);
    EXPECT_GE(InkOf(*blank, 0).Right, 0);
    dd.Release(s);
    dd.Release(blank);
}

TEST(SdlText, WithoutAnyFaceNothingIsDrawnAndNothingBreaks)
{
    // A font configuration that knows no fonts at all.
    const std::string dir = ::testing::TempDir();
    const std::string conf = dir + "/zephyrion-no-fonts.conf";
    {
        std::ofstream out(conf);
        out << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" << dir << "/fc-none</cachedir></fontconfig>\n";
    }
    const char* old = std::getenv("FONTCONFIG_FILE");
    const std::string saved = old ? old : "";
    setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    {
        TSdlText text;
        TDirectDraw dd;
        TSurface* s = dd.CreateSurface(100, 40);
        text.DrawText(*s, 0, 0, "Zephyrion", Crystal(20, 10), 0x00FF00, TA_LEFT);
        EXPECT_EQ(InkOf(*s, 0).Right, -1);
        EXPECT_EQ(text.MeasureText("Zephyrion", Crystal(20, 10)), 0);
        EXPECT_EQ(text.CellHeight(Crystal(20, 10)), 0);
        dd.Release(s);
    }
    if (old)
        setenv("FONTCONFIG_FILE", saved.c_str(), 1);
    else
        unsetenv("FONTCONFIG_FILE");
}

} // namespace
