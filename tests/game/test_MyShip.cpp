#include "GameFixture.h"

using Ship = GameTest;

TEST_F(Ship, DamageIsHalvedByArmourAndLosesTheOddRemainder)
{
    struct Row {
        int16_t Armor;
        uint8_t Amount;
        int16_t ArmorAfter, EnergyAfter;
    };
    // clang-format off
    const Row rows[] = {
        {0, 11, 0, 113}, {3, 11, -2, 119}, {62, 10, 57, 119}, {62, 1, 62, 124}, {0, 255, 0, -131},
        {62, 184, -30, 32}, {1, 232, -115, 8},
    };
    // clang-format on
    for (const Row& r : rows) {
        Game->Armor = r.Armor;
        Game->Energy = 124;
        Game->Ship->TakeDamage(r.Amount);
        EXPECT_EQ(Game->Armor, r.ArmorAfter) << int(r.Amount) << " with " << r.Armor;
        EXPECT_EQ(Game->Energy, r.EnergyAfter) << int(r.Amount) << " with " << r.Armor;
    }
}

TEST_F(Ship, NegativeArmourIsClearedByTheNextUpdate)
{
    StartPlay();
    Game->Armor = 3;
    Game->Ship->TakeDamage(11);
    EXPECT_EQ(Game->Armor, -2);
    Frame();
    EXPECT_EQ(Game->Armor, 0);
}

struct TMoveCase {
    const char* Name;
    std::vector<uint8_t> Keys;
    int32_t MouseDX, MouseDY;
    int16_t DX, DY;
    int8_t Bank;
};

class ShipMoves : public GameTest, public ::testing::WithParamInterface<TMoveCase> {};

TEST_P(ShipMoves, OneStepOfSixPixelsPerFrame)
{
    const TMoveCase c = GetParam();
    StartPlay();
    const int16_t x0 = Game->Ship->X, y0 = Game->Ship->Y;
    const int16_t near0 = Game->NearLayer->OffsetX, far0 = Game->FarLayer->OffsetX;
    for (uint8_t k : c.Keys)
        P.Keyboard.Press(k);
    P.Mouse.DX = c.MouseDX;
    P.Mouse.DY = c.MouseDY;
    Frame();
    EXPECT_EQ(Game->Ship->X - x0, c.DX);
    EXPECT_EQ(Game->Ship->Y - y0, c.DY);
    EXPECT_EQ(Game->Ship->Bank, c.Bank);
    EXPECT_EQ(Game->NearLayer->OffsetX - near0, -c.DX / 3);
    EXPECT_EQ(Game->FarLayer->OffsetX - far0, -c.DX / 6);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ShipMoves,
    ::testing::Values(TMoveCase{"none", {}, 0, 0, 0, 0, 2}, TMoveCase{"left", {203}, 0, 0, -6, 0, 1},
                      TMoveCase{"right", {205}, 0, 0, 6, 0, 3},
                      TMoveCase{"leftAndRight", {203, 205}, 0, 0, -6, 0, 1},
                      TMoveCase{"up", {200}, 0, 0, 0, -6, 2},
                      TMoveCase{"upAndDown", {200, 208}, 0, 0, 0, 0, 2},
                      TMoveCase{"mouseFarLeft", {}, -5000, 0, -6, 0, 1},
                      TMoveCase{"mouseOneRight", {}, 1, 0, 6, 0, 3},
                      TMoveCase{"mouseDownKeyDown", {208}, 0, 300, 0, 0, 2}, // the ship is at the bottom
                      TMoveCase{"mouseUpKeyUp", {200}, 0, -1, 0, -6, 2},     // no adding up
                      TMoveCase{"keyLeftMouseRight", {203}, 70, 0, -6, 0, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Ship, TiltLeansOneFramePerFrameAndSnapsBack)
{
    StartPlay();
    P.Keyboard.Press(203);
    const int8_t expected[] = {1, 0, 0, 0};
    for (int8_t e : expected) {
        Frame();
        EXPECT_EQ(Game->Ship->Bank, e);
    }
    P.Keyboard.ReleaseAll();
    Frame();
    EXPECT_EQ(Game->Ship->Bank, 2);
}

TEST_F(Ship, BlockedMovesAtTheEdgesGiveTheLayersTheirShiftBack)
{
    StartPlay();
    struct Row {
        int16_t X;
        uint8_t Key;
        int16_t XAfter;
        int NearShift;
    };
    for (const Row& r : {Row{0, 203, 0, 0}, Row{3, 203, 0, 0}, Row{734, 205, 734, 0}, Row{732, 205, 734, 0},
                         Row{6, 203, 0, 2}, Row{728, 205, 734, -2}}) {
        Game->Ship->X = r.X;
        const int16_t near0 = Game->NearLayer->OffsetX;
        P.Keyboard.ReleaseAll();
        P.Keyboard.Press(r.Key);
        Frame();
        EXPECT_EQ(Game->Ship->X, r.XAfter) << r.X;
        EXPECT_EQ(Game->NearLayer->OffsetX - near0, r.NearShift) << r.X;
    }
}

TEST_F(Ship, NoMovingOrFiringOutsidePlay)
{
    P.Keyboard.Press(203);
    P.Keyboard.Press(29);
    Frame(); // settle
    Frame(); // title
    EXPECT_EQ(Game->Phase, PhaseStageTitle);
    EXPECT_EQ(Game->Ship->X, 390);
    EXPECT_EQ(Game->Ship->Gun->FreeSlots(), GunShotSlots);
    EXPECT_EQ(Game->Ship->Bank, 2);
}

TEST_F(Ship, BasicGunNeverRunsOutAndABonusWeaponLastsAboutThirtyOneSeconds)
{
    StartPlay();
    Frame();
    EXPECT_EQ(Game->Ship->WeaponTimer, 99);
    Game->Ship->Gun->RateKind = Game->Ship->Gun->Pattern = 8;
    Game->Ship->WeaponTimer = 30;
    const uint32_t start = P.Clock.Now;
    Game->Ship->LastTimerTick = start;
    while (Game->Ship->Gun->RateKind == 8 && P.Clock.Now - start < 60000) {
        Game->Ship->UpdateAndDraw(BackBuffer);
        P.Clock.NextTick();
        Game->Energy = 124;
    }
    const uint32_t lasted = P.Clock.Now - start;
    EXPECT_GT(lasted, 31000u);
    EXPECT_LT(lasted, 31600u); // a decrement needs more than 1000 ms: 65 ticks
    EXPECT_EQ(Game->Ship->WeaponTimer, 99);
}

TEST_F(Ship, BothSpecialsHeldFireTheSalvoFirstAndTheBombSeventyFramesLater)
{
    StartPlay();
    Game->Ship->X = 300;
    Game->Ship->Y = 400;
    Game->Ship->MegaSkullReady = Game->Ship->MegaBombReady = true;
    Game->Ship->SpecialCooldown = 69;
    P.Keyboard.Press(57);
    Frame();
    EXPECT_FALSE(Game->Ship->MegaSkullReady);
    EXPECT_TRUE(Game->Ship->MegaBombReady);
    int rockets = 0;
    for (const auto& s : Game->Ship->Gun->Shots)
        if (s && s->Kind == 6) {
            EXPECT_EQ(s->X, static_cast<float>(80 * rockets));
            EXPECT_EQ(s->Y, 400.0f - 5.0f);
            ++rockets;
        }
    EXPECT_EQ(rockets, 10);
    int frames = 0;
    while (Game->Ship->MegaBombReady && frames < 200) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 70);
}

TEST_F(Ship, MegaBombEndsEveryEnemyAndAsteroidAndHurtsTheBoss)
{
    StartPlay();
    Game->Ship->MegaBombReady = true;
    Game->Ship->SpecialCooldown = 70;
    AddEnemy(6, 1, 100, 100);
    AddEnemy(0, 1, 300, 100);
    Game->Asteroids[3] = std::make_unique<TAsteroid>(Game.get(), 3);
    Game->Asteroids[3]->Y = 100;
    Game->Engine->Boss = std::make_unique<TBaseBoss>(Game.get(), 1);
    P.Mouse.Buttons[1] = 0x80;
    Frame();
    EXPECT_FALSE(Game->Ship->MegaBombReady);
    EXPECT_EQ(Game->Engine->Boss->HitPoints, 1900);
    Frame();
    EXPECT_EQ(CountEnemies(), 0);
    EXPECT_FALSE(Game->Asteroids[3]);
    EXPECT_EQ(Game->Score, 60); // the ships score, the asteroid does not
}

TEST_F(Ship, SalvoIsLimitedByFreeShotSlots)
{
    StartPlay();
    Game->Ship->MegaSkullReady = true;
    Game->Ship->SpecialCooldown = 70;
    TGunner& gun = *Game->Ship->Gun;
    for (int i = 0; i < 14; ++i)
        gun.Shots[i] = std::make_unique<TPulya>(0, 400, 300, 3.15);
    P.Keyboard.Press(57);
    Frame();
    int rockets = 0;
    for (const auto& s : gun.Shots)
        rockets += (s && s->Kind == 6) ? 1 : 0;
    EXPECT_EQ(rockets, 7);
    EXPECT_FALSE(Game->Ship->MegaSkullReady);
}

TEST_F(Ship, LostShipClearsTheHitsAndLeavesFiveDelayedExplosions)
{
    StartPlay();
    Game->AddHit(5, 5, 0, 0);
    Game->Ship->X = 200;
    Game->Ship->Y = 300;
    Game->Energy = 0;
    const uint32_t seed = RandSeed;
    Frame();
    EXPECT_EQ(Game->Phase, PhaseSettle);
    EXPECT_EQ(Game->Lives, 2);
    TLcg model{seed};
    const int8_t starts[] = {-40, -30, -20, -10, 0};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Game->Hits[i]) << i;
        const int16_t y = static_cast<int16_t>(300 + model.Next(20));
        const int16_t x = static_cast<int16_t>(200 + model.Next(25));
        EXPECT_EQ(Game->Hits[i]->Kind, 5);
        EXPECT_EQ(Game->Hits[i]->X, x);
        EXPECT_EQ(Game->Hits[i]->Y, y);
        EXPECT_GE(Game->Hits[i]->Frame, starts[i]);
        EXPECT_LE(Game->Hits[i]->Frame, starts[i] + 1);
    }
    EXPECT_EQ(CountHits(), 5);
    // The game settles until the last explosion has ended, then shows the title again.
    int frames = 0;
    while (Game->Phase == PhaseSettle && frames < 1000) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(Game->Phase, PhaseStageTitle);
    EXPECT_EQ(frames, 2 * 55); // the first explosion: from -39 to 16, a step every other tick
    EXPECT_EQ(Game->Stage, 1);
}

TEST_F(Ship, HudBarsShowEnergyAndArmour)
{
    // Real small strips: energy all red, armour all blue; everything else empty.
    TSurface* energy = DD.CreateSurface(10, 124);
    TSurface* armour = DD.CreateSurface(10, 124);
    for (int y = 0; y < 124; ++y)
        for (int x = 0; x < 10; ++x) {
            energy->SetPixel(x, y, 0xFF0000);
            armour->SetPixel(x, y, 0x0000FF);
        }
    GameSheets[SheetEnergyBar] = energy;
    GameSheets[SheetArmorBar] = armour;
    struct Row {
        int16_t Energy, Armor;
        int EnergyTop, ArmorTop;
    };
    for (const Row& r : {Row{124, 62, 330, 330}, Row{1, 1, 453, 452}, Row{0, 0, 454, 454}, Row{-5, -2, 454, 454},
                         Row{60, 10, 394, 434}}) {
        BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
        Game->Energy = r.Energy;
        Game->Armor = r.Armor;
        Game->DrawHud();
        for (int y = 300; y < 460; ++y) {
            EXPECT_EQ(BackBuffer->GetPixel(785, y), y >= r.EnergyTop && y < 454 ? 0xFF0000u : 0u) << y;
            EXPECT_EQ(BackBuffer->GetPixel(747, y), y >= r.ArmorTop && y < 454 ? 0x0000FFu : 0u) << y;
            EXPECT_EQ(BackBuffer->GetPixel(757, y), 0u);
        }
    }
    GameSheets[SheetEnergyBar] = GameSheets[SheetArmorBar] = nullptr;
    DD.Release(energy);
    DD.Release(armour);
}

TEST_F(Ship, HudMarkerIconsAndWeaponIconSitAtTheirPlaces)
{
    TSurface* marker = DD.CreateSurface(4, 4);
    TSurface* skull = DD.CreateSurface(4, 4);
    TSurface* icons[5];
    for (int i = 0; i < 5; ++i) {
        icons[i] = DD.CreateSurface(4, 4);
        GameSheets[SheetWeaponIcon + i] = icons[i];
        icons[i]->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0x100 + i);
    }
    marker->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0xAA);
    skull->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0xBB);
    MenuSheets[SheetLevelMarker] = marker;
    MenuSheets[SheetMegaSkullIcon] = skull;
    struct Row {
        uint8_t Stage;
        uint32_t Distance;
        int MarkerY;
        uint8_t Gun;
        int IconSheet;
        int IconY;
    };
    for (const Row& r : {Row{1, 0, 245, 0, 59, 518}, Row{1, 10000, 55, 1, 56, 518}, Row{2, 15000, 55, 3, 57, 518},
                         Row{1, 5000, 150, 8, 55, 518}, Row{3, 50, 245, 5, 58, 508}, Row{1, 1250, 221, 2, -1, 0}}) {
        BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
        Game->Stage = r.Stage;
        Game->Distance = r.Distance;
        Game->Ship->Gun->RateKind = r.Gun;
        Game->Ship->MegaSkullReady = true;
        Game->DrawHud();
        EXPECT_EQ(BackBuffer->GetPixel(760, r.MarkerY), 0xAAu) << r.Distance;
        EXPECT_EQ(BackBuffer->GetPixel(760, r.MarkerY - 1), 0u) << r.Distance;
        EXPECT_EQ(BackBuffer->GetPixel(733, 545), 0xBBu);
        if (r.IconSheet >= 0)
            EXPECT_EQ(BackBuffer->GetPixel(663, r.IconY), 0x100u + (r.IconSheet - SheetWeaponIcon)) << int(r.Gun);
        else
            EXPECT_EQ(BackBuffer->GetPixel(663, 518), 0u);
    }
    MenuSheets[SheetLevelMarker] = MenuSheets[SheetMegaSkullIcon] = nullptr;
    for (int i = 0; i < 5; ++i) {
        GameSheets[SheetWeaponIcon + i] = nullptr;
        DD.Release(icons[i]);
    }
    DD.Release(marker);
    DD.Release(skull);
}

TEST_F(Ship, NoLossInTheFrameThatCoversTheStageDistance)
{
    // The stage ends at the start of that frame: the ship is then settling
    // and the next stage start refills its energy.
    StartPlay();
    Game->Distance = Game->StageDistance();
    Game->Energy = 0;
    Frame();
    EXPECT_EQ(Game->Phase, PhaseSettle);
    EXPECT_EQ(Game->Stage, 2);
    EXPECT_EQ(Game->Lives, 3);
    EXPECT_EQ(CountHits(), 0);
    StartPlay();
    EXPECT_EQ(Game->Energy, 124);
    EXPECT_EQ(Game->Lives, 3);
}
