// The menu and interface pictures of the generated asset pack, held against
// the places the screens draw them: lit images the size of their buttons and
// covering the unlit labels under them, opaque sheets without the transparent
// colour, HUD overlays that leave the play area visible.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/PackFile.h"
#include "tools/art/ArtSizes.h"

namespace {

constexpr uint32_t KeyColour = 0x00FF00FF;

// The art tool writes 24-bit BMPs; anything else fails the test.
using packfile::TPackPicture;

class MenuArtPack : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Pictures.clear();
        std::ifstream in(std::string(ZEPHYRION_BINARY_DIR) + "/Data/Data.pp", std::ios::binary);
        const std::vector<uint8_t> pack((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bool damaged = false;
        for (packfile::TEntry& e : packfile::ReadPack(pack, 0, 101, damaged)) {
            if (!e.Error.empty() || e.Picture.Bits != 24)
                break;
            Pictures.push_back(std::move(e.Picture));
        }
    }
    void SetUp() override { ASSERT_EQ(Pictures.size(), 102u) << "the generated pack is missing or damaged"; }

    static const TPackPicture& Entry(int n) { return Pictures[size_t(n)]; }
    static size_t KeyedCount(const TPackPicture& p)
    {
        size_t n = 0;
        for (uint32_t c : p.Pixels)
            n += c == KeyColour;
        return n;
    }
    static std::vector<TPackPicture> Pictures;
};

std::vector<TPackPicture> MenuArtPack::Pictures;

TEST_F(MenuArtPack, EveryMenuPictureHasItsSize)
{
    for (int n = 60; n <= 101; ++n) {
        EXPECT_EQ(Entry(n).Width, PackSizes[n].Width) << "entry " << n;
        EXPECT_EQ(Entry(n).Height, PackSizes[n].Height) << "entry " << n;
    }
}

// A lit image is drawn at its button's top-left corner and must be exactly the button.
struct TLitButton {
    int Entry;
    int Left, Top, Right, Bottom;
};
// clang-format off
constexpr TLitButton LitButtons[] = {
    {61, 470, 337, 786, 375}, {62, 470, 376, 786, 413}, {63, 470, 415, 786, 451}, // main menu
    {64, 470, 452, 786, 491}, {65, 470, 492, 786, 532}, {66, 470, 533, 786, 573},
    {71, 43, 133, 230, 208},  {72, 44, 203, 229, 279},  {74, 114, 453, 230, 504}, // high scores
    {75, 434, 523, 550, 574}, {76, 544, 523, 660, 574}, {74, 653, 523, 769, 574}, // help
    {96, 295, 226, 437, 256}, {95, 322, 287, 390, 317}, {98, 305, 473, 491, 509}, // options
    {74, 614, 533, 730, 584}, {97, 305, 409, 677, 450},
};
// clang-format on

TEST_F(MenuArtPack, LitImagesAreTheSizeOfTheirButtons)
{
    for (const TLitButton& b : LitButtons) {
        EXPECT_EQ(Entry(b.Entry).Width, b.Right - b.Left) << "entry " << b.Entry;
        EXPECT_EQ(Entry(b.Entry).Height, b.Bottom - b.Top) << "entry " << b.Entry;
    }
}

// Where the unlit picture of a button is drawn, and the lit image over it.
struct TCover {
    int Lit, LitX, LitY;
    int Unlit, UnlitX, UnlitY;
};
// clang-format off
constexpr TCover Covers[] = {
    {61, 470, 337, 91, 461, 327}, {62, 470, 376, 91, 461, 327}, {63, 470, 415, 91, 461, 327},
    {64, 470, 452, 91, 461, 327}, {65, 470, 492, 91, 461, 327}, {66, 470, 533, 91, 461, 327},
    {71, 43, 133, 92, 50, 140},   {72, 44, 203, 93, 50, 210},   {74, 114, 453, 94, 121, 460},
    {75, 434, 523, 84, 440, 530}, {76, 544, 523, 83, 550, 530}, {74, 653, 523, 94, 660, 530},
    {74, 614, 533, 94, 621, 540}, {96, 295, 226, 77, 300, 230}, {95, 322, 287, 78, 327, 292},
    {95, 322, 347, 78, 327, 352}, {98, 305, 473, 69, 309, 477},
};
// clang-format on

TEST_F(MenuArtPack, LitImagesHideTheUnlitPictureUnderThem)
{
    // within the lit image's rectangle no pixel of the unlit picture may show through
    for (const TCover& c : Covers) {
        const TPackPicture& lit = Entry(c.Lit);
        const TPackPicture& unlit = Entry(c.Unlit);
        int showing = 0;
        for (int y = 0; y < lit.Height; ++y)
            for (int x = 0; x < lit.Width; ++x) {
                const int ux = c.LitX + x - c.UnlitX, uy = c.LitY + y - c.UnlitY;
                if (ux < 0 || uy < 0 || ux >= unlit.Width || uy >= unlit.Height)
                    continue;
                showing += lit.At(x, y) == KeyColour && unlit.At(ux, uy) != KeyColour;
            }
        EXPECT_EQ(showing, 0) << "lit entry " << c.Lit << " over entry " << c.Unlit << " at " << c.UnlitX << ", "
                              << c.UnlitY;
    }
}

TEST_F(MenuArtPack, SheetsDrawnOpaqueHoldNoTransparentColour)
{
    // backdrop, idle field, score row, dialog panel, the Next badge of the
    // connection dialogs, the Back label of the high-score screen, HUD icons
    for (int n : {60, 68, 70, 79, 83, 94, 99, 100})
        EXPECT_EQ(KeyedCount(Entry(n)), 0u) << "entry " << n;
}

TEST_F(MenuArtPack, HudOverlaysLeaveThePlayAreaVisible)
{
    const TPackPicture& frame = Entry(81);
    for (int y = 40; y < 560; ++y)
        for (int x = 40; x < 640; ++x)
            ASSERT_EQ(frame.At(x, y), KeyColour) << "the HUD frame covers the play area at " << x << ", " << y;
    EXPECT_GT(KeyedCount(Entry(82)), Entry(82).Pixels.size() / 2) << "the right panel is mostly see-through";
    // the gauge slots must stay dark so the armour and energy bars read on them
    const TPackPicture& right = Entry(82);
    for (int gaugeX : {747, 780})
        for (int y = 330; y < 454; y += 8) {
            const uint32_t c = right.At(gaugeX + 5 - 652, y - 37);
            EXPECT_NE(c, KeyColour);
            EXPECT_LT((c >> 8) & 0xFF, 0x40u) << "gauge slot at " << gaugeX << ", " << y;
        }
}

TEST_F(MenuArtPack, EditFieldsReadBehindBrightText)
{
    // the field's text is bright green: the wells behind it must be dark
    for (int n : {68, 97}) {
        const TPackPicture& p = Entry(n);
        for (int x = 20; x < p.Width - 20; x += 10) {
            const uint32_t c = p.At(x, p.Height / 2);
            EXPECT_LT((c >> 8) & 0xFF, 0x50u) << "entry " << n << " at " << x;
        }
    }
}

} // namespace
