#include <cmath>
#include <vector>

#include "GameFixture.h"

using Guns = GameTest;

namespace {

struct TShotSeen {
    uint8_t Kind;
    float X, Y;
    double Angle;
};

std::vector<TShotSeen> ShotsOf(const TGunner& gun)
{
    std::vector<TShotSeen> out;
    for (const auto& s : gun.Shots)
        if (s)
            out.push_back({s->Kind, s->X, s->Y, s->Angle});
    return out;
}

} // namespace

TEST_F(Guns, HeldFireLeavesAVolleyOnlyAfterTheMinimumInterval)
{
    struct Row { uint8_t Gun; uint32_t Interval; };
    for (const Row& r : {Row{0, 400}, Row{8, 150}, Row{1, 500}, Row{3, 300}, Row{5, 300}}) {
        int16_t x = 100, y = 300;
        TGunner gun(Game.get(), r.Gun, r.Gun, true, x, y);
        P.Clock.Advance(r.Interval);
        EXPECT_FALSE(gun.Fire()) << "exactly the interval is not enough, gun " << int(r.Gun);
        P.Clock.Advance(1);
        EXPECT_TRUE(gun.Fire());
        const uint32_t fired = P.Clock.Now;
        int volleys = 1;
        while (P.Clock.Now - fired < 2 * (r.Interval + 1) + 5) {
            P.Clock.Advance(1);
            volleys += gun.Fire() ? 1 : 0;
        }
        EXPECT_EQ(volleys, 3) << "gun " << int(r.Gun);
    }
}

TEST_F(Guns, VolleyPatternsPlaceTheirShots)
{
    // Owner at (100, 200), gun angle a = 0 (an enemy gun). The muzzle point
    // is the centre of a shot of the pattern's own row.
    struct Row {
        uint8_t Pattern;
        std::vector<TShotSeen> Shots;
        int8_t Count;
    };
    const Row rows[] = {
        {0, {{0, 100 + 13 + 5, 200 + 14, 0.0}}, 1},
        {1, {{1, 100 + 7 + 20, 200 + 14, 0.0}, {1, 127, 214, 0.3}, {1, 127, 214, 6.0}}, 3},
        {2, {{2, 113, 213, 0.0}}, 1},
        {3, {{3, 100 + 30 - 30, 200 + 30 - 80, 0.0}}, 1},
        {4, {{4, 112, 212, 0.0}, {4, 112, 212, 0.5}, {4, 112, 212, -0.5}}, 3},
        {5, {{5, 100 + 7 + 36, 200 + 69, 0.0}, {5, 107, 269, 0.0}}, 2},
        {6, {{6, 100 + 17 + 5, 217, 0.0}}, 1},
        {7, {{7, 118, 213, 0.0}}, 1},
        {8, {{8, 115, 222, 0.0}}, 1},
        {9, {{9, 100 + 16 + 50, 216, 0.0}}, 1},
        {10, {{10, 137, 410, 0.0}}, 1},
        {11, {{11, 217, 425, 0.0}}, 1},
        {12, {{12, 100, 200, 0.0}}, 1},
        {13, {{13, 214, 480, 0.0}}, 1},
        {14, {{13, 214, 480, 0.0}}, 1},
    };
    for (const Row& r : rows) {
        int16_t x = 100, y = 200;
        TGunner gun(Game.get(), 7, r.Pattern, false, x, y);
        P.Clock.Advance(1000);
        ASSERT_TRUE(gun.Fire());
        const auto shots = ShotsOf(gun);
        ASSERT_EQ(shots.size(), r.Shots.size()) << "pattern " << int(r.Pattern);
        for (size_t i = 0; i < shots.size(); ++i) {
            EXPECT_EQ(shots[i].Kind, r.Shots[i].Kind) << "pattern " << int(r.Pattern) << " shot " << i;
            EXPECT_EQ(shots[i].X, r.Shots[i].X) << "pattern " << int(r.Pattern) << " shot " << i;
            EXPECT_EQ(shots[i].Y, r.Shots[i].Y) << "pattern " << int(r.Pattern) << " shot " << i;
            EXPECT_DOUBLE_EQ(shots[i].Angle, r.Shots[i].Angle) << "pattern " << int(r.Pattern) << " shot " << i;
        }
        EXPECT_EQ(gun.ShotCount, r.Count) << "pattern " << int(r.Pattern);
    }
}

TEST_F(Guns, OnlyShotsLeavingTheAreaAreCountedOff)
{
    struct Row { float X, Y; bool Kept; };
    const Row rows[] = {
        {400, 598.0f, true}, {400, 598.5f, false}, {400, 0.0f, true}, {400, -0.01f, false},
        {0.0f, 300, true}, {-0.5f, 300, false}, {802.0f, 300, true}, {802.5f, 300, false},
    };
    for (const Row& r : rows) {
        int16_t x = 0, y = 0;
        TGunner gun(Game.get(), 0, 0, false, x, y);
        Game->Ship->X = 0; // far from every test shot
        Game->Ship->Y = 40;
        gun.ShotCount = 3;
        gun.Shots[0] = std::make_unique<TPulya>(0, 0, 0, 0.0);
        gun.Shots[0]->X = r.X;
        gun.Shots[0]->Y = r.Y;
        gun.CheckShot(0);
        EXPECT_EQ(gun.Shots[0] != nullptr, r.Kept) << r.X << "," << r.Y;
        EXPECT_EQ(gun.ShotCount, r.Kept ? 3 : 2);
    }
}

TEST_F(Guns, EnemyShotStrikesThePlayerWithTheBoxOfTheCurrentPattern)
{
    // Pattern 14 shoots kind-13 shots (50 x 70) but tests them with the
    // 15 x 35 box of row 14; the damage is the shot kind's.
    Game->Ship->X = 300;
    Game->Ship->Y = 300;
    struct Row { uint8_t Pattern; int16_t ShotX; bool Struck; };
    for (const Row& r : {Row{14, 300 - 15, false}, Row{14, 300 - 14, true}, Row{13, 300 - 49, true},
                         Row{13, 300 - 50, false}}) {
        int16_t x = 0, y = 0;
        TGunner gun(Game.get(), r.Pattern, r.Pattern, false, x, y);
        Game->Energy = 124;
        gun.ShotCount = 1;
        gun.Shots[0] = std::make_unique<TPulya>(13, r.ShotX, 320, 0.0);
        gun.CheckShot(0);
        EXPECT_EQ(gun.Shots[0] == nullptr, r.Struck) << int(r.Pattern) << " at " << r.ShotX;
        EXPECT_EQ(Game->Energy, r.Struck ? 124 - 60 : 124);
        EXPECT_EQ(gun.ShotCount, 1); // a shot that strikes is not counted off
        EXPECT_EQ(CountHits(), r.Struck ? 1 : 0);
        for (auto& h : Game->Hits) h.reset();
    }
}

TEST_F(Guns, PlayerShotsStrikeEnemiesThenAsteroidsThenTheBoss)
{
    StartPlay();
    TEnemyShip* enemy = AddEnemy(2, 0, 300, 100);
    Game->Asteroids[0] = std::make_unique<TAsteroid>(Game.get(), 0);
    Game->Asteroids[0]->X = 300;
    Game->Asteroids[0]->Y = 100;
    Game->Engine->Boss = std::make_unique<TBaseBoss>(Game.get(), 0);
    Game->Engine->Boss->X = 250;
    Game->Engine->Boss->Y = 50;
    TGunner& gun = *Game->Ship->Gun;
    auto shootAt = [&](int16_t sx, int16_t sy) {
        gun.Shots[0] = std::make_unique<TPulya>(0, sx, sy, 3.15);
        gun.CheckShot(0);
        EXPECT_FALSE(gun.Shots[0]);
    };
    shootAt(310, 110);
    EXPECT_EQ(enemy->HitPoints, 20);
    EXPECT_TRUE(enemy->LifeBar->Visible);
    EXPECT_EQ(Game->Asteroids[0]->HitPoints, 5);
    Game->Engine->Enemies[0]->X = 600;
    shootAt(310, 110);
    EXPECT_EQ(Game->Asteroids[0]->HitPoints, -5);
    EXPECT_EQ(Game->Score, 10);
    Game->Asteroids[0].reset();
    shootAt(310, 110);
    EXPECT_EQ(Game->Engine->Boss->HitPoints, 990);
    EXPECT_TRUE(Game->Engine->Boss->LifeBar->Visible);
    EXPECT_EQ(CountHits(), 3);
}

TEST_F(Guns, AsteroidHitPointsWrapInEightBits)
{
    StartPlay();
    Game->Asteroids[0] = std::make_unique<TAsteroid>(Game.get(), 0);
    Game->Asteroids[0]->X = 300;
    Game->Asteroids[0]->Y = 100;
    Game->Asteroids[0]->HitPoints = -100;
    TGunner& gun = *Game->Ship->Gun;
    gun.Shots[0] = std::make_unique<TPulya>(8, 310, 110, 3.15); // 90 damage
    gun.CheckShot(0);
    EXPECT_EQ(Game->Asteroids[0]->HitPoints, 66); // -190 in 8 bits
}

TEST_F(Guns, EnemyGunFiresOnItsOwnAfterOneSecondAtTheEarliest)
{
    Game->Ship->X = 0;
    Game->Ship->Y = 40;
    int16_t x = 400, y = 100;
    TGunner gun(Game.get(), 0, 0, false, x, y);
    const uint32_t created = P.Clock.Now;
    // Before the second has passed no number is drawn at all.
    const uint32_t seed = RandSeed;
    while (P.Clock.Now - created <= 1000) {
        gun.UpdateShots(BackBuffer);
        P.Clock.NextTick();
    }
    EXPECT_EQ(RandSeed, seed);
    EXPECT_EQ(gun.ShotCount, 0);
    // Afterwards a volley leaves on a draw of 1 (of 0..99).
    uint32_t s = 1;
    for (;; ++s) {
        TLcg g{s};
        if (g.Next(100) == 1)
            break;
    }
    RandSeed = s;
    gun.UpdateShots(BackBuffer);
    EXPECT_EQ(gun.ShotCount, 1);
    EXPECT_EQ(gun.LastShot, P.Clock.Now);
    // Five counted shots stop it, although the number is still drawn.
    gun.ShotCount = 5;
    P.Clock.Advance(1001);
    RandSeed = s;
    gun.UpdateShots(BackBuffer);
    EXPECT_EQ(gun.ShotCount, 5);
    EXPECT_NE(RandSeed, s);
}

TEST_F(Guns, FullShotSlotsDropTheShot)
{
    int16_t x = 100, y = 200;
    TGunner gun(Game.get(), 0, 0, true, x, y);
    for (int i = 0; i < 25; ++i)
        gun.AddShot(0, 2, static_cast<int16_t>(i), 300, 3.15);
    EXPECT_EQ(gun.FreeSlots(), 0);
    EXPECT_EQ(gun.Shots[20]->X, 20.0f);
}
