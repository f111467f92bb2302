#include <cmath>

#include "GameFixture.h"
#include "game/Collision.h"

using Shots = GameTest;

TEST(Collision, TouchingEdgesDoNotCollide)
{
    struct Row {
        TRect A, B;
        bool Hit;
    };
    // clang-format off
    const Row rows[] = {
        {Bounds(0, 0, 10, 10), Bounds(10, 0, 10, 10), false},  // touching on the right
        {Bounds(0, 0, 10, 10), Bounds(0, 10, 10, 10), false},  // touching below
        {Bounds(0, 0, 10, 10), Bounds(9, 9, 10, 10), true},    // one pixel shared
        {Bounds(0, 0, 10, 10), Bounds(-10, -10, 10, 10), false},
        {Bounds(0, 0, 10, 10), Bounds(-9, -9, 10, 10), true},
        {Bounds(0, 0, 100, 100), Bounds(40, 40, 5, 5), true},  // inside
        {Bounds(5, 5, 0, 10), Bounds(0, 0, 20, 20), false},    // an empty box meets nothing
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(Collide(r.A, r.B), r.Hit) << r.B.Left << "," << r.B.Top;
        EXPECT_EQ(Collide(r.B, r.A), r.Hit);
    }
}

TEST(HitKinds, FollowTheHitType)
{
    struct Row {
        uint8_t Type, Kind;
    };
    for (const Row& r : {Row{0, 0}, Row{1, 1}, Row{2, 2}, Row{3, 0}, Row{8, 2}, Row{9, 3}, Row{11, 5}, Row{13, 4},
                         Row{15, 3}, Row{17, 5}, Row{18, 0}, Row{255, 0}})
        EXPECT_EQ(THit::KindOfType(r.Type), r.Kind) << int(r.Type);
}

TEST_F(Shots, HitStartsAfterItsDelayAndShowsSixteenFrames)
{
    // One step per more than 30 ms: at 15.625 ms a tick, every other tick.
    THit hit(9, -2, 100, 100, 0);
    hit.LastFrameTick = P.Clock.Now;
    int steps = 0, draws = 0;
    bool alive = true;
    while (alive && steps < 200) {
        P.Clock.NextTick();
        const int16_t before = hit.Frame;
        alive = hit.UpdateAndDraw(BackBuffer);
        if (alive && hit.Frame >= 0 && before >= 0)
            ++draws;
        ++steps;
    }
    EXPECT_FALSE(alive);
    EXPECT_EQ(hit.Frame, 16);
    EXPECT_EQ(draws, 2 * 16 - 1); // frames 0..15, two ticks each, less the tick of the first step
}

TEST_F(Shots, ShotMotionFollowsTheAngle)
{
    struct Row {
        double Angle;
        uint8_t Kind;
        float DX, DY;
    };
    // clang-format off
    const Row rows[] = {
        {0.0, 0, 0.0f, 10.0f},            // falls straight down
        {3.15, 0, 0.0841f, -9.9996f},     // the player's: up with a slight drift right
        {0.0, 8, 0.0f, 15.0f},
        {0.5, 4, -4.794f, 8.776f},
    };
    // clang-format on
    for (const Row& r : rows) {
        TPulya s(r.Kind, 400, 300, r.Angle);
        s.UpdateAndDraw(BackBuffer, false);
        EXPECT_NEAR(s.X - 400.0f, r.DX, 0.001f) << r.Angle;
        EXPECT_NEAR(s.Y - 300.0f, r.DY, 0.001f) << r.Angle;
    }
}

TEST_F(Shots, ShotsRoundHalvesToEven)
{
    TPulya s(0, 0, 0, 0.0);
    struct Row {
        float V;
        int16_t R;
    };
    for (const Row& r : {Row{0.5f, 0}, Row{1.5f, 2}, Row{2.5f, 2}, Row{2.51f, 3}, Row{-0.5f, 0}, Row{-1.5f, -2}}) {
        s.X = r.V;
        EXPECT_EQ(s.RoundX(), r.R) << r.V;
    }
}

TEST_F(Shots, ShotAnimationCyclesThroughItsFrames)
{
    struct Row {
        uint8_t Kind;
        int Frames;
    };
    for (const Row& r : {Row{10, 5}, Row{6, 8}, Row{9, 8}, Row{0, 2}, Row{3, 1}}) {
        TPulya s(r.Kind, 400, 300, 0.0);
        int maxFrame = 0;
        for (int i = 0; i < 200; ++i) {
            s.Y = 300;
            P.Clock.Advance(201);
            s.UpdateAndDraw(BackBuffer, false);
            maxFrame = std::max<int>(maxFrame, s.Frame);
            if (s.Frame == 0)
                break;
        }
        EXPECT_EQ(maxFrame, r.Frames - 1) << int(r.Kind);
    }
}

TEST_F(Shots, BonusFallsAndAnimatesThroughEightFrames)
{
    Game->Ship->X = 0;
    Game->Ship->Y = 40;
    TBonus bonus(Game.get(), 0, 500, 100);
    bonus.LastFrameTick = P.Clock.Now;
    int maxFrame = 0;
    for (int i = 0; i < 40; ++i) {
        P.Clock.Advance(201);
        ASSERT_TRUE(bonus.UpdateAndDraw(BackBuffer));
        maxFrame = std::max<int>(maxFrame, bonus.Frame);
    }
    EXPECT_EQ(bonus.Y, 100 + 40 * 3);
    EXPECT_EQ(maxFrame, 7);
    bonus.Y = 597;
    EXPECT_TRUE(bonus.UpdateAndDraw(BackBuffer));  // at 600 it is still there
    EXPECT_FALSE(bonus.UpdateAndDraw(BackBuffer)); // at 603 it has fallen out
    EXPECT_EQ(bonus.Y, 603);
}

TEST_F(Shots, CaughtBonusesApplyTheirEffect)
{
    Game->Ship->X = 300;
    Game->Ship->Y = 400;
    for (uint8_t kind = 0; kind < BonusKindCount; ++kind) {
        Game->Lives = 3;
        Game->Energy = 20;
        Game->Armor = 5;
        Game->Ship->Gun->RateKind = Game->Ship->Gun->Pattern = 8;
        Game->Ship->WeaponTimer = 4;
        Game->Ship->MegaBombReady = Game->Ship->MegaSkullReady = false;
        TBonus bonus(Game.get(), 0, 300, 350);
        bonus.Kind = kind;
        EXPECT_FALSE(bonus.UpdateAndDraw(BackBuffer)) << int(kind);
        EXPECT_EQ(Game->Armor, kind == BonusArmor ? 62 : 5);
        EXPECT_EQ(Game->Lives, kind == BonusLive ? 4 : 3);
        EXPECT_EQ(Game->Energy, kind == BonusEnergy ? 124 : 20);
        const uint8_t gun[] = {8, 8, 8, 1, 8, 3, 5, 8, 8};
        EXPECT_EQ(Game->Ship->Gun->RateKind, gun[kind]);
        EXPECT_EQ(Game->Ship->Gun->Pattern, gun[kind]);
        EXPECT_EQ(Game->Ship->WeaponTimer, kind >= 3 && kind <= 6 ? 30 : 4);
        EXPECT_EQ(Game->Ship->MegaSkullReady, kind == BonusMegaSkull);
        EXPECT_EQ(Game->Ship->MegaBombReady, kind == BonusMegaBomb);
    }
}

TEST_F(Shots, LifeBarIsAsWideAsItsOwnerAtFullHitPoints)
{
    struct Row {
        int16_t Width;
        int32_t Start, Now, Bar;
    };
    for (const Row& r : {Row{75, 50, 50, 75}, Row{75, 50, 20, 30}, Row{59, 10, 10, 59}, Row{150, 1000, 995, 149},
                         Row{225, 3000, 1, 0}}) {
        int16_t x = 0, y = 0;
        int32_t hp = r.Now;
        TLineLive bar(x, y, hp, r.Width, r.Start);
        EXPECT_EQ(bar.BarWidth(), r.Bar) << r.Width << " " << r.Now;
    }
}

TEST_F(Shots, LifeBarShowsForOneHundredAndOneDraws)
{
    int16_t x = 100, y = 100;
    int32_t hp = 10;
    TLineLive bar(x, y, hp, 59, 10);
    bar.Visible = true;
    int draws = 0;
    while (bar.Visible && draws < 1000) {
        bar.Draw(BackBuffer);
        ++draws;
    }
    EXPECT_EQ(draws, 101);
}

TEST_F(Shots, PlayerShotsAreDrawnFromTheUpsideDownSheetsFrameByFrame)
{
    // Shot kind 0: two 26 x 28 frames; frame 0 red, frame 1 green in the
    // upside-down sheet, blue everywhere in the enemies' sheet.
    TSurface* flipped = DD.CreateSurface(52, 28);
    TSurface* normal = DD.CreateSurface(52, 28);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 52; ++x) {
            flipped->SetPixel(x, y, x < 26 ? 0xFF0000u : 0x00FF00u);
            normal->SetPixel(x, y, 0x0000FFu);
        }
    FlippedShotSheets[0] = flipped;
    GameSheets[SheetShot] = normal;
    struct Row {
        bool Player;
        uint32_t Advance;
        uint32_t Color;
    };
    for (const Row& r : {Row{true, 0, 0xFF0000u}, Row{true, 201, 0x00FF00u}, Row{false, 0, 0x0000FFu},
                         Row{true, 200, 0xFF0000u}}) {
        BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
        TPulya s(0, 100, 200, 3.15);
        s.X = 100.5f; // drawn at 100: halves go to even
        P.Clock.Advance(r.Advance);
        s.UpdateAndDraw(BackBuffer, r.Player);
        EXPECT_EQ(BackBuffer->GetPixel(100, 200), r.Color) << r.Player << " " << r.Advance;
        EXPECT_EQ(BackBuffer->GetPixel(125, 227), r.Color);
        EXPECT_EQ(BackBuffer->GetPixel(126, 200), 0u);
        EXPECT_EQ(BackBuffer->GetPixel(99, 200), 0u);
    }
    FlippedShotSheets[0] = GameSheets[SheetShot] = nullptr;
    DD.Release(flipped);
    DD.Release(normal);
}
