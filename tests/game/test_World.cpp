// The whole game world in pictures: a pack whose every sheet is one flat
// colour of its own, one object of each sort on the screen, one play frame,
// and the pixels say who was drawn over whom and where. Then the command
// ship's finer rules and the heads-up marker's rounding, each a table.
#include <filesystem>

#include "GameFixture.h"
#include "FlatPack.h"
#include "graphics/Draw.h"

namespace {

using namespace packtest;
using namespace flatpack;

class World : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Folder = MakeTempFolder("world");
        SavedPath = AssetPackPath;
        LoadFlatPack(DD, Folder);
    }
    void TearDown() override
    {
        Game.reset();
        CurrentGame = nullptr;
        ReleaseAssets();
        AssetPackPath = SavedPath;
        std::filesystem::remove_all(Folder);
        GameTest::TearDown();
    }
    uint32_t At(int32_t x, int32_t y) const { return BackBuffer->GetPixel(x, y) & 0x00FFFFFF; }

    std::filesystem::path Folder;
    std::string SavedPath;
};

struct TProbe {
    const char* What;
    int32_t X, Y;
    uint32_t Color;
    bool Is; // the pixel has the colour (true) or has not (false)
};

TEST_F(World, OnePlayFrameDrawsEveryObjectOverTheRightOnesAtItsPlace)
{
    StartPlay();
    TGame& g = *Game;
    const uint32_t now = P.Clock.Now;
    g.Engine->LastSpawnCheck = now; // no wave and no asteroid this frame
    g.Distance = 1000;
    g.Armor = 10;
    g.Ship->MegaSkullReady = true;
    g.Ship->X = 100;
    g.Ship->Y = 450;
    g.Ship->Gun->LastShot = now;
    g.NearLayer->OffsetX = -250; // beyond a tile's width: the right band still has its tiles
    g.NearLayer->OffsetY = 5;
    g.FarLayer->OffsetX = -37;
    g.FarLayer->OffsetY = 11;

    // The ship's shots: one strikes enemy C this frame (an impact flash where
    // it struck), one lies under the ship's nose.
    g.Ship->Gun->Shots[0] = std::make_unique<TPulya>(0, 690, 260, 3.15);
    g.Ship->Gun->Shots[1] = std::make_unique<TPulya>(0, 120, 440, 3.15);
    // Enemy A flies straight down, shows its life bar and has a shot over its lower edge.
    TEnemyShip* a = AddEnemy(2, 0, 300, 100);
    a->HitPoints = 15;
    a->LifeBar->Visible = true;
    a->Gun->Shots[0] = std::make_unique<TPulya>(2, 320, 190, 0.0);
    // Enemy B lies partly under the command ship; enemy C takes the shot.
    AddEnemy(0, 0, 480, 150);
    TEnemyShip* c = AddEnemy(4, 0, 650, 200);
    // The command ship, still, with its life bar shown.
    g.Engine->Boss = std::make_unique<TBaseBoss>(&g, 0);
    TBaseBoss& boss = *g.Engine->Boss;
    boss.X = 500;
    boss.Y = 100;
    boss.LifeBar->Visible = true;
    // A bonus, an asteroid over it and an explosion over the asteroid.
    g.Bonuses[0] = std::make_unique<TBonus>(&g, 0, 560, 470);
    g.Bonuses[0]->Kind = 5;
    g.Bonuses[0]->LastFrameTick = now;
    g.Asteroids[0] = std::make_unique<TAsteroid>(&g, 0);
    TAsteroid& rock = *g.Asteroids[0];
    rock.Kind = 1, rock.X = 580, rock.Y = 490, rock.DX = 1, rock.DY = 4, rock.LastFrameTick = now;
    g.AddHit(590, 500, 0, 9);

    // The frame's draws: the command ship's speed (no new speed with this
    // seed) and its gun.
    RandSeed = 77;
    TLcg draws{77};
    ASSERT_NE(draws.Next(200), 3) << "the seed must leave the command ship's speed alone";

    BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
    Frame();
    ASSERT_EQ(g.Phase, PhasePlay);
    ASSERT_EQ(c->HitPoints, 40) << "the ship's shot struck enemy C";
    ASSERT_EQ(boss.Y, 100);

    const uint32_t ship = GameColor(SheetPlayerShip), myShot = FlippedColor(0), far = GameColor(SheetBackgroundFar);
    const uint32_t near = GameColor(g.NearLayer->Sheet), enemyA = GameColor(SheetEnemy + 2);
    const uint32_t enemyB = GameColor(SheetEnemy), enemyC = GameColor(SheetEnemy + 4);
    const uint32_t shotA = GameColor(SheetShot + 2), bar = ColorDarkGreen, cmd = GameColor(SheetBoss);
    const uint32_t bonus = GameColor(SheetBonus + 5), asteroid = GameColor(SheetAsteroid + 1);
    const uint32_t flash = GameColor(SheetHit), blast = GameColor(SheetHit + 3);
    const int32_t marker = 245 - RoundHalfEven(g.Distance * 0.038 / 2);
    const TProbe probes[] = {
        // Both layers: the far tile's transparent corner at (-37 + 512, 11 + 486).
        {"far layer", 10, 300, far, true},
        {"far tile corner", 475, 497, Black, true},
        {"far tile corner, last pixel", 482, 504, Black, true},
        {"far tile left of its corner", 474, 497, far, true},
        {"far tile above its corner", 475, 496, far, true},
        {"far tile right of its corner", 483, 504, far, true},
        // The near layer over it: squares at x = -250 + 300 c, y = 5 + 200 r.
        {"near tile", 50, 205, near, true},
        {"near tile at the right", 650, 405, near, true},
        {"near tile's last pixel", 669, 424, near, true},
        {"left of the near tile", 649, 405, near, false},
        {"above the near tile", 650, 404, near, false},
        {"right of the near tile", 670, 424, near, false},
        // The ship over its own shot.
        {"ship", 100, 450, ship, true},
        {"ship's last pixel", 164, 549, ship, true},
        {"left of the ship", 99, 450, ship, false},
        {"above the ship", 100, 449, ship, false},
        {"right of the ship", 165, 549, ship, false},
        {"below the ship", 164, 550, ship, false},
        {"ship's shot", 120, 440, myShot, true},
        {"left of the ship's shot", 119, 440, myShot, false},
        {"above the ship's shot", 120, 439, myShot, false},
        {"ship's shot, last row before the ship", 145, 449, myShot, true},
        {"the ship over its shot", 145, 450, ship, true},
        {"right of the ship's shot", 146, 449, myShot, false},
        {"the struck shot is gone", 700, 250, myShot, false},
        // Enemy A two pixels down from where it was, its shot over it, its bar above.
        {"enemy", 300, 102, enemyA, true},
        {"enemy's last pixel", 374, 203, enemyA, true},
        {"above the enemy", 300, 101, enemyA, false},
        {"left of the enemy", 299, 102, enemyA, false},
        {"right of the enemy", 375, 203, enemyA, false},
        {"below the enemy", 374, 204, enemyA, false},
        {"enemy shot over the enemy", 320, 190, shotA, true},
        {"enemy beside its shot", 319, 190, enemyA, true},
        {"enemy shot's last pixel", 345, 215, shotA, true},
        {"right of the enemy shot", 346, 215, shotA, false},
        {"below the enemy shot", 345, 216, shotA, false},
        {"life bar", 302, 92, bar, true},
        {"life bar's last pixel", 339, 94, bar, true},
        {"left of the life bar", 301, 92, bar, false},
        {"above the life bar", 302, 91, bar, false},
        {"right of the life bar", 340, 94, bar, false},
        {"below the life bar", 302, 95, bar, false},
        // Enemy B under the command ship; enemy C under the impact flash.
        {"enemy B", 480, 152, enemyB, true},
        {"above enemy B", 480, 151, enemyB, false},
        {"left of enemy B", 479, 152, enemyB, false},
        {"enemy B beside the command ship", 498, 152, enemyB, true},
        {"the command ship over enemy B", 499, 152, cmd, true},
        {"enemy C", 650, 202, enemyC, true},
        {"enemy C's bar, hit this frame", 652, 192, bar, true},
        {"left of enemy C's bar", 651, 192, bar, false},
        {"impact flash", 690, 260, flash, true},
        {"impact flash's last pixel", 705, 275, flash, true},
        {"enemy C left of the flash", 689, 260, enemyC, true},
        {"enemy C above the flash", 690, 259, enemyC, true},
        {"enemy C right of the flash", 706, 275, enemyC, true},
        {"enemy C below the flash", 705, 276, enemyC, true},
        // The command ship one pixel towards the ship, its bar above it.
        {"command ship", 499, 100, cmd, true},
        {"command ship's last pixel", 648, 279, cmd, true},
        {"left of the command ship", 498, 100, cmd, false},
        {"above the command ship", 499, 99, cmd, false},
        {"right of the command ship", 649, 279, cmd, false},
        {"below the command ship", 648, 280, cmd, false},
        {"command ship's bar", 501, 90, bar, true},
        {"command ship's bar, last pixel", 650, 92, bar, true},
        {"left of the command ship's bar", 500, 90, bar, false},
        // The bonus under the asteroid, the explosion over the asteroid.
        {"bonus", 560, 473, bonus, true},
        {"bonus's last row", 560, 530, bonus, true},
        {"left of the bonus", 559, 473, bonus, false},
        {"above the bonus", 560, 472, bonus, false},
        {"below the bonus", 560, 531, bonus, false},
        {"the asteroid over the bonus", 581, 494, asteroid, true},
        {"bonus left of the asteroid", 580, 494, bonus, true},
        {"bonus above the asteroid", 581, 493, bonus, true},
        {"asteroid's last pixel", 654, 545, asteroid, true},
        {"right of the asteroid", 655, 545, asteroid, false},
        {"below the asteroid", 654, 546, asteroid, false},
        {"explosion over the asteroid", 590, 500, blast, true},
        {"asteroid left of the explosion", 589, 500, asteroid, true},
        {"asteroid above the explosion", 590, 499, asteroid, true},
        {"explosion's last pixel", 653, 563, blast, true},
        {"right of the explosion", 654, 563, blast, false},
        {"below the explosion", 653, 564, blast, false},
        // The heads-up display over everything.
        {"frame", 0, 0, MenuColor(SheetHudFrame), true},
        {"frame's last pixel", 15, 15, MenuColor(SheetHudFrame), true},
        {"top piece", 80, 4, MenuColor(SheetHudTop), true},
        {"left of the top piece", 79, 4, MenuColor(SheetHudTop), false},
        {"right-hand piece", 652, 37, MenuColor(SheetHudRight), true},
        {"above the right-hand piece", 652, 36, MenuColor(SheetHudRight), false},
        {"level marker", 760, marker, MenuColor(SheetLevelMarker), true},
        {"above the level marker", 760, marker - 1, MenuColor(SheetLevelMarker), false},
        {"energy bar top", 780, 330, GameColor(SheetEnergyBar), true},
        {"above the energy bar", 780, 329, GameColor(SheetEnergyBar), false},
        {"energy bar bottom", 789, 453, GameColor(SheetEnergyBar), true},
        {"below the energy bar", 789, 454, GameColor(SheetEnergyBar), false},
        {"armour bar top", 747, 434, GameColor(SheetArmorBar), true},
        {"above the armour bar", 747, 433, GameColor(SheetArmorBar), false},
        {"armour bar bottom", 756, 453, GameColor(SheetArmorBar), true},
        {"mega-skull icon", 733, 545, MenuColor(SheetMegaSkullIcon), true},
        {"left of the mega-skull icon", 732, 545, MenuColor(SheetMegaSkullIcon), false},
        {"weapon icon", 663, 518, GameColor(59), true},
        {"above the weapon icon", 663, 517, GameColor(59), false},
        {"score caption", 533, 5, ColorBrightGreen, true},
        {"left of the score caption", 532, 5, ColorBrightGreen, false},
    };
    for (const TProbe& p : probes)
        EXPECT_EQ(At(p.X, p.Y) == p.Color, p.Is)
            << p.What << " at (" << p.X << ", " << p.Y << "): 0x" << std::hex << At(p.X, p.Y);
}

TEST_F(World, TheNearLayerCoversTheScreenForAnyShift)
{
    // Carried over across lives and stages, the shift can grow far beyond a
    // tile's width either way; every tile corner of the layer still shows.
    for (int16_t shift : {int16_t(0), int16_t(-100), int16_t(-462), int16_t(-901), int16_t(300), int16_t(750),
                          int16_t(4003), int16_t(-32000)}) {
        for (int16_t scroll : {int16_t(0), int16_t(199)}) {
            BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
            TRunBackground& layer = *Game->NearLayer;
            layer.OffsetX = shift;
            layer.OffsetY = scroll;
            layer.LastStep = P.Clock.Now; // no step: the offsets stay as set
            layer.ScrollAndDraw(BackBuffer);
            const uint32_t near = GameColor(layer.Sheet);
            // The first corner at or left of x = 0, then every 300 pixels.
            const int32_t firstX = ((shift % 300) + 300) % 300 - 300;
            int corners = 0;
            for (int32_t x = firstX; x < 800; x += 300)
                for (int32_t y = scroll - 200; y < 598; y += 200)
                    for (const auto& [px, py] : {std::pair{x, y}, std::pair{x + 19, y + 19}})
                        if (px >= 0 && px < 800 && py >= 0 && py < 598) {
                            ++corners;
                            EXPECT_EQ(At(px, py), near) << "shift " << shift << " scroll " << scroll << " at ("
                                                        << px << ", " << py << ")";
                        }
            EXPECT_GE(corners, 10) << shift;
            EXPECT_EQ(At(firstX + 320, scroll + 20), Black) << "between the squares the tile is transparent";
        }
    }
}

// ---- The command ship ----

TEST_F(World, CommandShipExplosionsDrawTheirYBeforeTheirX)
{
    for (uint8_t kind = 0; kind < BossKindCount; ++kind) {
        TBaseBoss boss(Game.get(), kind);
        boss.X = 200;
        boss.Y = 100;
        boss.HitPoints = 0;
        Game->Ship->X = static_cast<int16_t>(200 - 32 + BossSize[kind].W / 2); // right under it: no sideways step
        Game->Ship->Y = 500;
        for (auto& h : Game->Hits) h.reset();
        RandSeed = 4242u + kind;
        TLcg g{4242u + kind};
        if (g.Next(200) == 3)
            g.Next(4);
        g.Next(20);
        ASSERT_EQ(boss.VerticalSpeed, 0);
        EXPECT_FALSE(boss.UpdateAndDraw(BackBuffer));
        const int16_t w = BossSize[kind].W, h = BossSize[kind].H;
        for (int i = 0; i < 10; ++i) {
            const int y = 100 + boss.VerticalSpeed + 10 + g.Next(h - 20);
            const int x = 200 + 10 + g.Next(w - 20);
            ASSERT_TRUE(Game->Hits[i]) << i;
            EXPECT_EQ(Game->Hits[i]->X, x) << "kind " << int(kind) << " explosion " << i;
            EXPECT_EQ(Game->Hits[i]->Y, y) << "kind " << int(kind) << " explosion " << i;
            EXPECT_EQ(Game->Hits[i]->Frame, BossExplosionFrames[i]);
            EXPECT_EQ(Game->Hits[i]->Kind, 3 + kind);
        }
        EXPECT_EQ(RandSeed, g.Seed);
    }
}

TEST_F(World, CommandShipAimsItsCentreAtTheShipsCentre)
{
    // The aim is ship x + 32 - width div 2; the command ship steps one pixel to it.
    struct Row {
        uint8_t Kind;
        int16_t ShipX;
        int16_t XAfter;
    };
    // clang-format off
    const Row rows[] = {
        {0, 300 + 75 - 32, 300}, {0, 300 + 75 - 32 + 1, 301}, {0, 300 + 75 - 32 - 1, 299},
        {1, 300 + 117 - 32, 300}, {1, 300 + 117 - 32 + 1, 301}, {1, 300 + 117 - 32 - 1, 299},
        {2, 300 + 112 - 32, 300}, {2, 300 + 112 - 32 + 1, 301}, {2, 300 + 112 - 32 - 1, 299},
        {0, 0, 299}, {0, 734, 301},
    };
    // clang-format on
    for (const Row& r : rows) {
        TBaseBoss boss(Game.get(), r.Kind);
        boss.X = 300;
        boss.Y = 50;
        Game->Ship->X = r.ShipX;
        Game->Ship->Y = 500;
        boss.Move();
        EXPECT_EQ(boss.X, r.XAfter) << "kind " << int(r.Kind) << ", ship at " << r.ShipX;
    }
}

TEST_F(World, CommandShipTurnsBelow350AndAboveTheTop)
{
    struct Row {
        int16_t Y;
        uint8_t Dir;
        uint8_t DirAfter;
        int16_t YAfter;
    };
    // clang-format off
    const Row rows[] = {
        {349, 0, 0, 351}, {350, 0, 0, 352}, {351, 0, 1, 349}, {352, 1, 1, 350},
        {0, 1, 1, -2}, {-1, 1, 0, 1}, {-2, 0, 0, 0}, {100, 1, 1, 98},
    };
    // clang-format on
    for (const Row& r : rows) {
        TBaseBoss boss(Game.get(), 0);
        boss.X = 300;
        boss.Y = r.Y;
        boss.VerticalDir = r.Dir;
        boss.VerticalSpeed = 2;
        Game->Ship->X = 300 + 75 - 32;
        Game->Ship->Y = 560; // out of its reach: no ram
        RandSeed = 1;
        ASSERT_NE(TLcg{1}.Next(200), 3);
        boss.Move();
        EXPECT_EQ(boss.VerticalDir, r.DirAfter) << r.Y;
        EXPECT_EQ(boss.Y, r.YAfter) << r.Y;
    }
}

// ---- Hits and the heads-up marker ----

TEST_F(World, AHitDrawsTheFrameBeforeItsStepAndNothingOnItsFirstStep)
{
    // A sheet whose sixteen frames each have their own colour.
    TSurface* sheet = DD.CreateSurface(16 * 16, 16);
    for (int f = 0; f < 16; ++f) {
        const TRect r = Bounds(16 * f, 0, 16, 16);
        sheet->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, 0x101000u + f);
    }
    TSurface* saved = GameSheets[SheetHit];
    GameSheets[SheetHit] = sheet;
    struct Row {
        int8_t Start;
        bool Step;
        int Drawn;
    }; // Drawn: the frame drawn, or -1 for none
    // clang-format off
    const Row rows[] = {
        {-1, true, -1},  // the step from -1 to 0: the frame before it does not exist
        {-1, false, -1}, // not started
        {-2, true, -1},
        {0, true, 0},    // the step from 0 to 1 draws frame 0
        {0, false, 0},
        {5, true, 5},
        {15, false, 15},
    };
    // clang-format on
    for (const Row& r : rows) {
        BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
        THit hit(0, r.Start, 100, 200, 0);
        P.Clock.NextTick();
        P.Clock.NextTick();
        hit.LastFrameTick = r.Step ? P.Clock.Now - 31 : P.Clock.Now - 30;
        EXPECT_TRUE(hit.UpdateAndDraw(BackBuffer));
        EXPECT_EQ(hit.Frame, r.Start + (r.Step ? 1 : 0));
        const uint32_t expected = r.Drawn < 0 ? 0u : 0x101000u + uint32_t(r.Drawn);
        EXPECT_EQ(At(100, 200), expected) << "start " << int(r.Start) << (r.Step ? ", stepping" : "");
        EXPECT_EQ(At(115, 215), expected);
        EXPECT_EQ(At(99, 200), 0u);
        EXPECT_EQ(At(100, 199), 0u);
    }
    GameSheets[SheetHit] = saved;
    DD.Release(sheet);
}

TEST_F(World, HudMarkerRoundsHalvesToEvenWithItsOwnFactor)
{
    // 245 - round(distance x 0.038 / (stage + 1)); rows where a factor of
    // 0.0381, or rounding halves up, would put the marker elsewhere.
    struct Row {
        uint8_t Stage;
        uint32_t Distance;
        int32_t Y;
    };
    const Row rows[] = {
        {1, 184, 242},  // 3.496: 3 (0.0381 gives 3.5052: 4)
        {1, 289, 240},  // 5.491
        {2, 197, 243},  // 2.495
        {3, 263, 243},  // 2.4985
        {1, 1500, 217}, // 28.5: 28
        {1, 2500, 197}, // 47.5: 48
        {1, 10000, 55}, // the stage's whole distance
        {1, 0, 245},
    };
    for (const Row& r : rows) {
        BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
        Game->Stage = r.Stage;
        Game->Distance = r.Distance;
        Game->DrawHud();
        EXPECT_EQ(At(760, r.Y), MenuColor(SheetLevelMarker)) << r.Distance;
        EXPECT_NE(At(760, r.Y - 1), MenuColor(SheetLevelMarker)) << r.Distance;
    }
}

} // namespace
