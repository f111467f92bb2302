// The software surfaces the whole game draws on.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/DDraw.h"

namespace {

// A 4 x 3 source whose pixels are numbered 1..12 row by row, with 5 as the
// transparent colour where a key is set.
class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Src = DD.CreateSurface(4, 3);
        Dst = DD.CreateSurface(6, 5);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x)
                Src->SetPixel(x, y, static_cast<uint32_t>(1 + y * 4 + x));
        Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0xEE);
    }
    void TearDown() override
    {
        DD.Release(Src);
        DD.Release(Dst);
    }
    std::vector<uint32_t> Pixels(const TSurface* s) const
    {
        return std::vector<uint32_t>(s->Pixels(), s->Pixels() + s->Width() * s->Height());
    }
    TDirectDraw DD;
    TSurface* Src = nullptr;
    TSurface* Dst = nullptr;
};

constexpr uint32_t E = 0xEE; // destination background

struct TBltFastCase {
    const char* Name;
    int32_t X, Y;
    bool WholeSource;
    TRect SrcRect;
    bool SetKey;
    uint32_t Flags;
    HRESULT Result;
    std::vector<uint32_t> Expected; // 6 x 5 destination afterwards
};

TEST_F(SurfaceTest, BltFastCopiesKeysAndRefusesRectanglesThatLeaveASurface)
{
    const std::vector<uint32_t> untouched(30, E);
    // clang-format off
    const TBltFastCase cases[] = {
        {"whole source at 1,1", 1, 1, true, {}, false, DDBLTFAST_WAIT, DD_OK,
         {E, E, E, E, E, E,  E, 1, 2, 3, 4, E,  E, 5, 6, 7, 8, E,  E, 9, 10, 11, 12, E,  E, E, E, E, E, E}},
        {"part of the source at 0,0", 0, 0, false, {1, 1, 3, 3}, false, DDBLTFAST_WAIT, DD_OK,
         {6, 7, E, E, E, E,  10, 11, E, E, E, E,  E, E, E, E, E, E,  E, E, E, E, E, E,  E, E, E, E, E, E}},
        {"key set and asked for: 5 is skipped", 2, 2, true, {}, true, DDBLTFAST_SRCCOLORKEY, DD_OK,
         {E, E, E, E, E, E,  E, E, E, E, E, E,  E, E, 1, 2, 3, 4,  E, E, E, 6, 7, 8,  E, E, 9, 10, 11, 12}},
        {"key set but not asked for: copied", 2, 2, true, {}, true, DDBLTFAST_WAIT, DD_OK,
         {E, E, E, E, E, E,  E, E, E, E, E, E,  E, E, 1, 2, 3, 4,  E, E, 5, 6, 7, 8,  E, E, 9, 10, 11, 12}},
        {"key asked for but none set: copied", 2, 2, false, {0, 1, 2, 2}, false, DDBLTFAST_SRCCOLORKEY, DD_OK,
         {E, E, E, E, E, E,  E, E, E, E, E, E,  E, E, 5, 6, E, E,  E, E, E, E, E, E,  E, E, E, E, E, E}},
        {"one column past the right edge", 3, 0, true, {}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT, untouched},
        {"one row past the bottom", 0, 3, true, {}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT, untouched},
        {"left of the surface", -1, 0, true, {}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT, untouched},
        {"above the surface", 0, -1, true, {}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT, untouched},
        {"far out", INT32_MAX - 1, INT32_MAX - 1, true, {}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT, untouched},
        {"source rectangle past the source", 0, 0, false, {2, 0, 5, 1}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT,
         untouched},
        {"empty source rectangle", 0, 0, false, {2, 1, 2, 3}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT, untouched},
        {"inverted source rectangle", 0, 0, false, {3, 2, 1, 0}, false, DDBLTFAST_WAIT, DDERR_INVALIDRECT,
         untouched},
    };
    // clang-format on
    for (const TBltFastCase& c : cases) {
        Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, E);
        const DDCOLORKEY key{5, 5};
        Src->SetColorKey(DDCKEY_SRCBLT, c.SetKey ? &key : nullptr);
        const TRect* rect = c.WholeSource ? nullptr : &c.SrcRect;
        EXPECT_EQ(Dst->BltFast(c.X, c.Y, Src, rect, c.Flags), c.Result) << c.Name;
        EXPECT_EQ(Pixels(Dst), c.Expected) << c.Name;
    }
}

TEST_F(SurfaceTest, FillStretchAndShrink)
{
    const TRect area{1, 1, 4, 3};
    EXPECT_EQ(Dst->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, 7), DD_OK);
    EXPECT_EQ(Pixels(Dst), (std::vector<uint32_t>{E, E, E, E, E, E, E, 7, 7, 7, E, E, E, 7, 7, 7, E, E,
                                                  E, E, E, E, E, E, E, E, E, E, E, E}));
    // A 2 x 1 source stretched to 6 x 2: each source pixel covers three columns.
    const TRect from{0, 0, 2, 1};
    const TRect to{0, 0, 6, 2};
    EXPECT_EQ(Dst->Blt(&to, Src, &from, DDBLT_WAIT), DD_OK);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(Dst->GetPixel(x, y), x < 3 ? 1u : 2u) << x << "," << y;
    // The whole 4 x 3 source shrunk to 2 x 1 takes every other pixel of the first row.
    const TRect small{4, 4, 6, 5};
    EXPECT_EQ(Dst->Blt(&small, Src, nullptr, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(Dst->GetPixel(4, 4), 1u);
    EXPECT_EQ(Dst->GetPixel(5, 4), 3u);
    // Same size goes straight through; a destination off the surface is refused.
    const TRect off{4, 4, 8, 7};
    EXPECT_EQ(Dst->Blt(&off, Src, nullptr, DDBLT_WAIT), DDERR_INVALIDRECT);
    const TRect inverted{3, 3, 1, 1};
    EXPECT_EQ(Dst->Blt(&inverted, nullptr, nullptr, DDBLT_COLORFILL, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(Dst->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT), DDERR_INVALIDPARAMS);
}

// A keyed copy remembers which pixels of its source are visible; every way
// of changing the source or its key must be seen by the next copy.
TEST_F(SurfaceTest, KeyedCopiesFollowChangesOfTheSourceAndItsKey)
{
    DDCOLORKEY key{5, 5};
    Src->SetColorKey(DDCKEY_SRCBLT, &key);
    const TRect rowOne{0, 1, 4, 2}; // 5 6 7 8
    ASSERT_EQ(Dst->BltFast(0, 0, Src, &rowOne, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(Dst->GetPixel(0, 0), E);
    EXPECT_EQ(Dst->GetPixel(1, 0), 6u);

    // Written through a lock: the key colour now shows at column 1 and column 0 is visible.
    DDSURFACEDESC2 desc;
    ASSERT_EQ(Src->Lock(&rowOne, &desc, DDLOCK_WAIT), DD_OK);
    static_cast<uint32_t*>(desc.lpSurface)[0] = 50;
    static_cast<uint32_t*>(desc.lpSurface)[1] = 5;
    Src->Unlock(&rowOne);
    Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, E);
    ASSERT_EQ(Dst->BltFast(0, 0, Src, &rowOne, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(Dst->GetPixel(0, 0), 50u);
    EXPECT_EQ(Dst->GetPixel(1, 0), E);

    // A new key.
    key = DDCOLORKEY{7, 7};
    Src->SetColorKey(DDCKEY_SRCBLT, &key);
    Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, E);
    ASSERT_EQ(Dst->BltFast(0, 0, Src, &rowOne, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(Dst->GetPixel(1, 0), 5u);
    EXPECT_EQ(Dst->GetPixel(2, 0), E);

    // Drawn onto by another copy, and by a fill.
    TSurface* patch = DD.CreateSurface(1, 1);
    patch->SetPixel(0, 0, 7);
    ASSERT_EQ(Src->BltFast(3, 1, patch, nullptr, 0), DD_OK);
    Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, E);
    ASSERT_EQ(Dst->BltFast(0, 0, Src, &rowOne, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(Dst->GetPixel(3, 0), E);
    const TRect whole{0, 0, 4, 3};
    Src->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL, 9);
    ASSERT_EQ(Dst->BltFast(0, 0, Src, &rowOne, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(Dst->GetPixel(2, 0), 9u);
    DD.Release(patch);
}

TEST_F(SurfaceTest, OverlappingCopyWithinOneSurfaceKeepsTheSource)
{
    // Scrolling a picture down or right by one, as a copy onto itself.
    struct TCase {
        int32_t X, Y;
        TRect From;
    } cases[] = {{0, 1, {0, 0, 4, 2}}, {1, 0, {0, 0, 3, 3}}, {0, 0, {0, 1, 4, 3}}, {0, 0, {1, 0, 4, 3}}};
    for (const TCase& c : cases) {
        TSurface* s = DD.CreateSurface(4, 3);
        for (int32_t i = 0; i < 12; ++i)
            s->Pixels()[i] = static_cast<uint32_t>(i + 1);
        const std::vector<uint32_t> before = Pixels(s);
        ASSERT_EQ(s->BltFast(c.X, c.Y, s, &c.From, DDBLTFAST_WAIT), DD_OK);
        for (int32_t y = 0; y < c.From.Height(); ++y)
            for (int32_t x = 0; x < c.From.Width(); ++x)
                EXPECT_EQ(s->GetPixel(c.X + x, c.Y + y), before[(c.From.Top + y) * 4 + c.From.Left + x])
                    << "moved to " << c.X << "," << c.Y << " pixel " << x << "," << y;
        DD.Release(s);
    }
}

TEST_F(SurfaceTest, LockGivesThePitchAndTheFirstPixelOfTheRectangle)
{
    DDSURFACEDESC2 desc;
    const TRect r{1, 2, 3, 3};
    ASSERT_EQ(Src->Lock(&r, &desc, DDLOCK_WAIT), DD_OK);
    EXPECT_EQ(desc.lPitch, 16);
    EXPECT_EQ(desc.dwWidth, 2u);
    EXPECT_EQ(desc.dwHeight, 1u);
    EXPECT_EQ(desc.dwRGBBitCount, 32u);
    EXPECT_EQ(*static_cast<uint32_t*>(desc.lpSurface), 10u);
    // A locked surface takes no blits until it is unlocked.
    EXPECT_EQ(Dst->BltFast(0, 0, Src, nullptr, DDBLTFAST_WAIT), DDERR_SURFACEBUSY);
    EXPECT_EQ(Src->Unlock(nullptr), DD_OK);
    EXPECT_EQ(Src->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_EQ(Dst->BltFast(0, 0, Src, nullptr, DDBLTFAST_WAIT), DD_OK);
    const TRect outside{2, 2, 5, 3};
    EXPECT_EQ(Src->Lock(&outside, &desc, DDLOCK_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(Src->Lock(nullptr, nullptr, DDLOCK_WAIT), DDERR_INVALIDPARAMS);
}

TEST_F(SurfaceTest, LostSurfacesRefuseWorkUntilRestored)
{
    DD.LoseAllSurfaces();
    DDSURFACEDESC2 desc;
    const DDCOLORKEY key{5, 5};
    EXPECT_EQ(Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0), DDERR_SURFACELOST);
    EXPECT_EQ(Dst->BltFast(0, 0, Src, nullptr, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(Src->Lock(nullptr, &desc, DDLOCK_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(Src->SetColorKey(DDCKEY_SRCBLT, &key), DDERR_SURFACELOST);
    EXPECT_EQ(Src->IsLost(), DDERR_SURFACELOST);
    // Restoring the target alone is not enough while the source is still lost.
    EXPECT_EQ(Dst->Restore(), DD_OK);
    EXPECT_EQ(Dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0), DD_OK);
    EXPECT_EQ(Dst->BltFast(0, 0, Src, nullptr, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(Src->Restore(), DD_OK);
    EXPECT_EQ(Src->IsLost(), DD_OK);
    EXPECT_EQ(Dst->BltFast(0, 0, Src, nullptr, DDBLTFAST_WAIT), DD_OK);
}

TEST(DirectDraw, SurfacesAreCountedReleasedAndThePrimaryHandsFramesOn)
{
    TDirectDraw dd;
    int presented = 0;
    TRect shown;
    TPrimarySurface* primary = dd.CreatePrimarySurface([&](const TSurface&, const TRect& r) {
        ++presented;
        shown = r;
    });
    TSurface* back = dd.CreateSurface(800, 600);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(dd.SurfaceCount(), 2u);
    const TRect client{0, 0, 800, 600};
    EXPECT_EQ(primary->Blt(&client, back, &client, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(shown, client);
    const TRect beyond{0, 0, 801, 600};
    EXPECT_EQ(primary->Blt(nullptr, back, &beyond, DDBLT_WAIT), DDERR_INVALIDRECT);
    back->MarkLost();
    EXPECT_EQ(primary->Blt(nullptr, back, nullptr, DDBLT_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(dd.CreateSurface(0, 10), nullptr);
    EXPECT_EQ(dd.CreateSurface(10, 20000), nullptr);
    dd.FailCreates = true;
    EXPECT_EQ(dd.CreateSurface(10, 10), nullptr);
    dd.Release(back);
    EXPECT_EQ(back, nullptr);
    EXPECT_EQ(dd.SurfaceCount(), 1u);
    TSurface* primarySurface = primary;
    dd.Release(primarySurface);
    EXPECT_EQ(dd.SurfaceCount(), 0u);
}

} // namespace
